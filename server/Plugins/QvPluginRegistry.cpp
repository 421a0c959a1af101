#include "Plugins/QvPluginRegistry.h"

#include "Errors/QvErrors.h"

const char* const QvPluginRegistry::kInternalNamespace = "__QuarvelInternal";

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

void QvPluginRegistry::addSignature(const char* nameSpace, const char* name,
                                    std::unique_ptr<QvPluginSignature> signature) {
    if (signature->describedCount() != signature->declaredCount()) {
        std::string message = "Plugin \"";
        if (nameSpace) message += std::string(nameSpace) + ".";
        message += std::string(name ? name : "") + "\" initialized with wrong number of parameters.";
        QvError(message.c_str());
    }
    namespaces_[nameSpace ? nameSpace : ""][name ? name : ""].push_back(std::move(signature));
}

bool QvPluginRegistry::hasFunction(const std::string& nameSpace, const std::string& name) const {
    return overloads(nameSpace, name) != nullptr;
}

bool QvPluginRegistry::hasInternalFunction(const std::string& name) const {
    return hasFunction(kInternalNamespace, name);
}

const QvPluginRegistry::Overloads* QvPluginRegistry::overloads(const std::string& nameSpace,
                                                               const std::string& name) const {
    auto space = namespaces_.find(nameSpace);
    if (space == namespaces_.end()) return nullptr;
    auto function = space->second.find(name);
    return function == space->second.end() ? nullptr : &function->second;
}

void QvDeletePluginRegistry() { QvPluginRegistry::deleteProcessRegistry(); }
