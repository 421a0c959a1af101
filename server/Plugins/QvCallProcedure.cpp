#include "Plugins/QvCallProcedure.h"

#include <cstring>

#include "Errors/QvErrors.h"
#include "Interpreter/QvValueContainer.h"
#include "Plugins/QvPluginRegistry.h"
#include "Session/QvParser.h"
#include "Values/QvNoValue.h"

QvValueRef QvCallProcedure::callFunction(QvCallSite& call) {
    std::optional<QvParameterBlock> block;
    if (!bindArguments(QvPluginRegistry::THE_PluginRegistry(), call, block) &&
        !bindArguments(call.session()->registry(), call, block))
        call.raiseIncorrectArguments();
    const QvPluginSignature& signature = block->signature();
    QvValueRef result = signature.callable()->invoke(*block);
    if (!result) result = new QvNoValue;
    QvTypeEnum type = result->GetType();
    if (type != QV_UNDEFINED && !signature.returnType().contains(type)) QvError("Function returned illegal type");
    return result;
}

bool QvCallProcedure::bindArguments(const QvPluginRegistry& registry, QvCallSite& call,
                                    std::optional<QvParameterBlock>& block) {
    const QvPluginRegistry::Overloads* overloads = registry.overloads(call.nameSpace(), call.function());
    if (!overloads) return false;
    for (const std::unique_ptr<QvPluginSignature>& signature : *overloads) {
        if (call.size() > signature->declaredCount()) continue;
        block.emplace(*signature, call.session(), call.caller());
        if (bindTo(call, *block)) {
            call.releaseValues();
            makePrivateCopies(*block);
            return true;
        }
        block.reset();
    }
    return false;
}

// Named arguments take their parameters first; each positional one then takes the
// first parameter still free. An entry that holds something is taken.
bool QvCallProcedure::bindTo(QvCallSite& call, QvParameterBlock& block) {
    const std::vector<QvPluginParameter>& parameters = block.signature().parameters();
    QvArgumentSlot* entries = block.entries();
    for (size_t a = 0; a < call.size(); ++a) {
        const char* name = call.name(a);
        if (!name) continue;
        size_t p = 0;
        while (p < parameters.size() &&
               (entries[p].kind != QvArgumentSlot::Empty || std::strcmp(parameters[p].name.c_str(), name) != 0))
            ++p;
        if (p == parameters.size() || !bindArgument(call, a, block, p)) return false;
    }
    size_t p = 0;
    for (size_t a = 0; a < call.size(); ++a) {
        if (call.name(a)) continue;
        while (p < parameters.size() && entries[p].kind != QvArgumentSlot::Empty) ++p;
        if (p == parameters.size() || !bindArgument(call, a, block, p)) return false;
    }
    return fillOmitted(block);
}

// The argument's type must be accepted, and it must be a variable exactly when the
// parameter is by reference.
bool QvCallProcedure::bindArgument(QvCallSite& call, size_t argument, QvParameterBlock& block, size_t parameter) {
    const QvPluginParameter& p = block.signature().parameters()[parameter];
    const QvArgumentSlot& slot = call.argument(argument);
    const QvValue* value = nullptr;
    if (slot.kind == QvArgumentSlot::Value) value = slot.value.get();
    else if (slot.kind == QvArgumentSlot::Reference) value = slot.referee->getValue().get();
    else return false;
    QvTypeEnum type = value ? value->GetType() : QV_UNDEFINED;
    if (!p.acceptedTypes.contains(type) || (slot.kind == QvArgumentSlot::Reference) != p.byReference) return false;
    block.entries()[parameter] = slot;
    return true;
}

// Dynamic parameters stay empty (the function computes their defaults itself), and so
// does a parameter registered without any default: reading it raises the error.
bool QvCallProcedure::fillOmitted(QvParameterBlock& block) {
    const std::vector<QvPluginParameter>& parameters = block.signature().parameters();
    QvArgumentSlot* entries = block.entries();
    for (size_t p = 0; p < parameters.size(); ++p) {
        if (entries[p].kind != QvArgumentSlot::Empty) continue;
        const QvPluginParameter& parameter = parameters[p];
        if (parameter.required) return false;
        if (parameter.dynamic || !parameter.defaultValue) continue;
        entries[p].value = parameter.isConst ? parameter.defaultValue.get() : parameter.defaultValue->Clone();
        entries[p].kind = QvArgumentSlot::Value;
    }
    return true;
}

// A function may change a value it was given, unless it promised not to, without the
// caller seeing the change.
void QvCallProcedure::makePrivateCopies(QvParameterBlock& block) {
    const std::vector<QvPluginParameter>& parameters = block.signature().parameters();
    for (size_t p = 0; p < parameters.size(); ++p) {
        QvArgumentSlot& entry = block.entries()[p];
        if (!parameters[p].isConst && entry.kind == QvArgumentSlot::Value) entry.value.makeUnique();
    }
}
