#include "Plugins/QvPluginSignature.h"

QvPluginSignature::QvPluginSignature(uint32_t parameterCount, QvType returnType,
                                     std::unique_ptr<QvFunctionContainer> callable)
    : parameters_(parameterCount), callable_(std::move(callable)), returnType_(returnType) {}

QvPluginParameter* QvPluginSignature::nextParameter() {
    if (describedCount_ >= parameters_.size()) return nullptr;
    return &parameters_[describedCount_++];
}
