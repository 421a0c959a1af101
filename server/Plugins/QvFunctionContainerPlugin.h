#pragma once
#include "Plugins/QvFunctionContainer.h"
#include "Plugins/QvPluginInterface.h"

// A built-in or plug-in function, called with a fresh error block.
class QV_EXPORT QvFunctionContainerPlugin : public QvFunctionContainer {
public:
    // Raises "Nil function pointer in plug-in registration" for a null function.
    explicit QvFunctionContainerPlugin(QvPluginFunction function);
    QvValueRef invoke(QvParameterBlock& parameters) override;

private:
    QvPluginFunction function_;
};
