#include "Plugins/QvFunctionContainerPlugin.h"

#include "Plugins/QvPluginErrorBlock.h"

QvFunctionContainerPlugin::QvFunctionContainerPlugin(QvPluginFunction function) : function_(function) {
    if (!function_) QvError("Nil function pointer in plug-in registration");
}

// The result is adopted, not copied; a failure reported through the error block
// discards it.
QvValueRef QvFunctionContainerPlugin::invoke(QvParameterBlock& parameters) {
    QvPluginErrorBlock error;
    QvValueRef result(function_(&error, &parameters));
    if (error.failed()) {
        result.reset();
        QvError(error.failureText().c_str());
    }
    return result;
}
