#include "Plugins/QvPluginRegistry.h"

#include "Errors/QvErrors.h"
#include "Plugins/QvSignatureText.h"

const char* const QvPluginRegistry::kInternalNamespace = "__QuarvelInternal";
std::atomic<uint64_t> QvPluginRegistry::version_{0};

namespace {
// Made at first use (thread-safe); after QvDeletePluginRegistry the next use makes a
// new one. Hosts fill and delete it on their start-up thread only.
std::unique_ptr<QvPluginRegistry>& processRegistry() {
    static std::unique_ptr<QvPluginRegistry> registry(new QvPluginRegistry);
    return registry;
}
}

QvPluginRegistry& QvPluginRegistry::THE_PluginRegistry() {
    std::unique_ptr<QvPluginRegistry>& registry = processRegistry();
    if (!registry) registry.reset(new QvPluginRegistry);
    return *registry;
}

void QvPluginRegistry::deleteProcessRegistry() { processRegistry().reset(); }

QvPluginRegistry::~QvPluginRegistry() { version_.fetch_add(1, std::memory_order_acq_rel); }

void QvPluginRegistry::addSignature(const char* nameSpace, const char* name,
                                    std::unique_ptr<QvPluginSignature> signature) {
    if (signature->describedCount() != signature->declaredCount()) {
        std::string message = "Plugin \"";
        if (nameSpace) message += std::string(nameSpace) + ".";
        message += std::string(name ? name : "") + "\" initialized with wrong number of parameters.";
        QvError(message.c_str());
    }
    namespaces_[nameSpace ? nameSpace : ""][name ? name : ""].push_back(std::move(signature));
    version_.fetch_add(1, std::memory_order_acq_rel);
}

bool QvPluginRegistry::hasFunction(std::string_view nameSpace, std::string_view name) const {
    return overloads(nameSpace, name) != nullptr;
}

bool QvPluginRegistry::hasInternalFunction(std::string_view name) const {
    return hasFunction(kInternalNamespace, name);
}

const QvPluginRegistry::Overloads* QvPluginRegistry::overloads(std::string_view nameSpace,
                                                               std::string_view name) const {
    auto space = namespaces_.find(nameSpace);
    if (space == namespaces_.end()) return nullptr;
    auto function = space->second.find(name);
    return function == space->second.end() ? nullptr : &function->second;
}

const QvPluginRegistry::Namespace& QvPluginRegistry::existingNamespace(std::string_view nameSpace) const {
    auto space = namespaces_.find(nameSpace);
    if (space == namespaces_.end()) QvError("NameSpace doesn't exist");
    return space->second;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetNameSpaceNames(Texts& list) const {
    for (const auto& [nameSpace, functions] : namespaces_)
        if (nameSpace != kInternalNamespace) list.push_back(nameSpace);
    return list;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetFunctionNames(Texts& list) const {
    for (const auto& [nameSpace, functions] : namespaces_) {
        std::string prefix = nameSpace == kInternalNamespace ? "" : nameSpace + ".";
        for (const auto& function : functions) list.push_back(prefix + function.first);
    }
    return list;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetFunctionNames(std::string_view nameSpace, Texts& list) const {
    for (const auto& function : existingNamespace(nameSpace)) list.push_back(function.first);
    return list;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetFunctionNamesInternal(Texts& list) const {
    auto space = namespaces_.find(std::string_view(kInternalNamespace));
    if (space != namespaces_.end())
        for (const auto& function : space->second) list.push_back(function.first);
    return list;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetSignatures(Texts& list) const {
    for (const auto& [nameSpace, functions] : namespaces_)
        for (const auto& [name, overloads] : functions) appendSignatures(nameSpace, name, overloads, list);
    return list;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetSignatures(std::string_view nameSpace, Texts& list) const {
    const Namespace& functions = existingNamespace(nameSpace);
    for (const auto& [name, overloads] : functions) appendSignatures(std::string(nameSpace), name, overloads, list);
    return list;
}

QvPluginRegistry::Texts& QvPluginRegistry::GetSignatures(std::string_view nameSpace, std::string_view name,
                                                         Texts& list) const {
    const Namespace& functions = existingNamespace(nameSpace);
    auto function = functions.find(name);
    if (function == functions.end()) QvError("Function doesn't exist");
    appendSignatures(std::string(nameSpace), function->first, function->second, list);
    return list;
}

void QvPluginRegistry::appendSignatures(const std::string& nameSpace, const std::string& name,
                                        const Overloads& overloads, Texts& list) {
    for (const std::unique_ptr<QvPluginSignature>& signature : overloads)
        list.push_back(QvSignatureText(nameSpace, name, *signature));
}

void QvDeletePluginRegistry() { QvPluginRegistry::deleteProcessRegistry(); }
