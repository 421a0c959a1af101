#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Plugins/QvFunctionContainer.h"
#include "Values/QvType.h"
#include "Values/qv_auto_value.h"
#include "Values/QvValue.h"

// One parameter of a function signature.
struct QV_EXPORT QvPluginParameter {
    qv_auto_value<QvValue> defaultValue;
    bool dynamic = true;     // the function computes the default itself
    bool required = true;
    bool isConst = true;
    bool unnamed = true;
    bool byReference = false;
    std::string name;
    QvType acceptedTypes;
};

// A function's typed signature: parameters in call order, what it returns, its help
// text and the container that runs it.
class QV_EXPORT QvPluginSignature {
public:
    QvPluginSignature(uint32_t parameterCount, QvType returnType,
                      std::unique_ptr<QvFunctionContainer> callable);

    std::vector<QvPluginParameter>& parameters() { return parameters_; }
    const std::vector<QvPluginParameter>& parameters() const { return parameters_; }
    uint32_t declaredCount() const { return static_cast<uint32_t>(parameters_.size()); }
    uint32_t describedCount() const { return describedCount_; }
    // The next parameter to describe; null when all declared ones are described.
    QvPluginParameter* nextParameter();

    QvFunctionContainer* callable() const { return callable_.get(); }
    const QvType& returnType() const { return returnType_; }
    const std::string& helpText() const { return helpText_; }
    void setHelpText(const std::string& text) { helpText_ = text; }

private:
    std::vector<QvPluginParameter> parameters_;
    uint32_t describedCount_ = 0;
    std::unique_ptr<QvFunctionContainer> callable_;
    QvType returnType_;
    std::string helpText_;
};
