#include "Plugins/QvCallProcedure.h"

#include "Errors/QvErrors.h"
#include "Interpreter/QvValueContainer.h"
#include "Plugins/QvFunctionContainerLocal.h"
#include "Plugins/QvPluginSignature.h"
#include "Values/QvNoValue.h"

// Nothing of the target is used once the function runs: a call inside it may find
// the registries changed and replace the target.
// A script function takes its arguments straight from the call.
QvValueRef QvCallProcedure::callFunction(QvCallSite& call, const QvCallTarget& target) {
    for (const QvCallTarget::Overload& overload : target.overloads()) {
        if (!overload.viable || !accepts(call, overload)) continue;
        const QvPluginSignature& signature = *overload.signature;
        if (overload.scriptFunction)
            return checkedResult(signature, overload.scriptFunction
                                                ->call(call.session(), call.caller(), call.arguments(), overload.argumentOf)
                                                .takeValue());
        QvParameterBlock block(signature, call.session(), call.caller());
        bind(call, overload, block);
        return checkedResult(signature, signature.callable()->invoke(block));
    }
    call.raiseIncorrectArguments();
}

// An argument must be a variable exactly when its parameter is by reference, and its
// value (a variable's current one) of a type the parameter accepts.
bool QvCallProcedure::accepts(const QvCallSite& call, const QvCallTarget::Overload& overload) {
    const std::vector<QvPluginParameter>& parameters = overload.signature->parameters();
    for (size_t a = 0; a < call.size(); ++a) {
        const QvArgumentSlot& slot = call.argument(a);
        if (overload.arguments[a].anyValue && slot.kind == QvArgumentSlot::Value) continue;
        const QvPluginParameter& parameter = parameters[overload.arguments[a].parameter];
        const QvValue* value;
        if (slot.kind == QvArgumentSlot::Value)
            value = slot.value.get();
        else if (slot.kind == QvArgumentSlot::Reference)
            value = slot.referee->getValue().get();
        else
            return false;
        QvTypeEnum type = value ? value->GetType() : QV_UNDEFINED;
        if (!parameter.acceptedTypes.contains(type) || (slot.kind == QvArgumentSlot::Reference) != parameter.byReference)
            return false;
    }
    return true;
}

// Dynamic parameters that were left out stay empty (the function computes their
// defaults itself), and so does one registered without any default: reading it
// raises the error. A function may change a value it was given, unless it promised
// not to, without the caller seeing the change: such values are made its own.
void QvCallProcedure::bind(QvCallSite& call, const QvCallTarget::Overload& overload, QvParameterBlock& block) {
    QvArgumentSlot* entries = block.entries();
    for (size_t a = 0; a < call.size(); ++a) {
        QvArgumentSlot& slot = call.argument(a);
        size_t p = overload.arguments[a].parameter;
        if (slot.kind == QvArgumentSlot::Reference) {
            block.setReference(p, slot.referee);
        } else {
            entries[p].value = std::move(slot.value);
            entries[p].kind = QvArgumentSlot::Value;
        }
    }
    const std::vector<QvPluginParameter>& parameters = overload.signature->parameters();
    for (size_t p = 0; p < parameters.size(); ++p) {
        const QvPluginParameter& parameter = parameters[p];
        QvArgumentSlot& entry = entries[p];
        if (entry.kind == QvArgumentSlot::Empty && !parameter.dynamic && parameter.defaultValue) {
            entry.value = parameter.isConst ? parameter.defaultValue.get() : parameter.defaultValue->Clone();
            entry.kind = QvArgumentSlot::Value;
        } else if (entry.kind == QvArgumentSlot::Value && !parameter.isConst) {
            entry.value.makeUnique();
        }
    }
}

QvValueRef QvCallProcedure::checkedResult(const QvPluginSignature& signature, QvValueRef result) {
    if (!result) result = new QvNoValue;
    checkResultType(signature, result->GetType());
    return result;
}

void QvCallProcedure::checkResultType(const QvPluginSignature& signature, QvTypeEnum type) {
    if (type != QV_UNDEFINED && !signature.returnType().contains(type)) QvError("Function returned illegal type");
}
