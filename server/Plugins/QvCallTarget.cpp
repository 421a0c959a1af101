#include "Plugins/QvCallTarget.h"

#include <cstring>

#include "Plugins/QvCallSite.h"
#include "Plugins/QvFunctionContainerLocal.h"
#include "Session/QvParser.h"

const QvCallTarget& QvCallTarget::of(AST* node, const QvCallSite& call) {
    std::unique_ptr<QvNodeObject>& slot = node->evaluatorObject();
    auto* target = static_cast<QvCallTarget*>(slot.get());
    if (!target || target->registryVersion_ != QvPluginRegistry::version()) {
        slot.reset();
        slot.reset(target = new QvCallTarget(call));
    }
    return *target;
}

QvCallTarget::QvCallTarget(const QvCallSite& call) : registryVersion_(QvPluginRegistry::version()) {
    addOverloads(QvPluginRegistry::THE_PluginRegistry().overloads(call.nameSpace(), call.function()), call);
    addOverloads(call.session()->registry().overloads(call.nameSpace(), call.function()), call);
    for (const Overload& overload : overloads_) {
        if (!overload.viable) continue;
        bool takesAnything = overload.scriptFunction != nullptr;
        bool passesVariables = false;
        for (size_t a = 0; takesAnything && a < call.size(); ++a) {
            const Argument& argument = overload.arguments[a];
            const bool variable = call.argument(a).kind == QvArgumentSlot::Reference;
            takesAnything = variable ? argument.anyVariable : argument.anyValue;
            passesVariables |= variable;
        }
        if (takesAnything && (!passesVariables || call.valuesRunNoCode())) scriptCall_ = &overload;
        break;
    }
    for (const Overload& overload : overloads_)
        if (overload.viable && acceptsNumbers(overload, call)) {
            if (overload.scriptFunction) numberCall_ = &overload;
            break;
        }
}

// As the call procedure checks the arguments' types, for numbers.
bool QvCallTarget::acceptsNumbers(const Overload& overload, const QvCallSite& call) {
    const std::vector<QvPluginParameter>& parameters = overload.signature->parameters();
    for (size_t a = 0; a < call.size(); ++a) {
        if (call.argument(a).kind == QvArgumentSlot::Reference) return false;
        const QvPluginParameter& parameter = parameters[overload.arguments[a].parameter];
        if (!overload.arguments[a].anyValue && (parameter.byReference || !parameter.acceptedTypes.contains(QV_NUMBER)))
            return false;
    }
    return true;
}

void QvCallTarget::addOverloads(const std::vector<std::unique_ptr<QvPluginSignature>>* signatures,
                                const QvCallSite& call) {
    if (!signatures) return;
    for (const std::unique_ptr<QvPluginSignature>& signature : *signatures) overloads_.push_back(plan(*signature, call));
}

// Named arguments take their parameters first; each positional one then takes the
// first parameter still free; a required parameter must be taken.
QvCallTarget::Overload QvCallTarget::plan(const QvPluginSignature& signature, const QvCallSite& call) {
    const std::vector<QvPluginParameter>& parameters = signature.parameters();
    Overload overload{&signature, false, std::vector<Argument>(call.size(), Argument{kNoParameter, false, false}),
                      std::vector<int>(parameters.size(), -1),
                      dynamic_cast<QvFunctionContainerLocal*>(signature.callable()),
                      signature.returnType().isAny()};
    if (call.size() > parameters.size() || parameters.size() >= kNoParameter) return overload;
    std::vector<bool> taken(parameters.size(), false);
    for (size_t a = 0; a < call.size(); ++a) {
        const char* name = call.name(a);
        if (!name) continue;
        size_t p = 0;
        while (p < parameters.size() && (taken[p] || std::strcmp(parameters[p].name.c_str(), name) != 0)) ++p;
        if (p == parameters.size()) return overload;
        taken[p] = true;
        overload.arguments[a].parameter = static_cast<uint16_t>(p);
    }
    size_t p = 0;
    for (size_t a = 0; a < call.size(); ++a) {
        if (call.name(a)) continue;
        while (p < parameters.size() && taken[p]) ++p;
        taken[p] = true;
        overload.arguments[a].parameter = static_cast<uint16_t>(p);
    }
    for (size_t a = 0; a < call.size(); ++a) {
        Argument& argument = overload.arguments[a];
        const QvPluginParameter& parameter = parameters[argument.parameter];
        argument.anyValue = !parameter.byReference && parameter.acceptedTypes.isAny();
        argument.anyVariable = parameter.byReference && parameter.acceptedTypes.isAny();
        overload.argumentOf[argument.parameter] = static_cast<int>(a);
    }
    for (size_t q = 0; q < parameters.size(); ++q)
        if (!taken[q] && parameters[q].required) return overload;
    overload.viable = true;
    return overload;
}
