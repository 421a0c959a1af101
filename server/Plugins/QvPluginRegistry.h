#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Plugins/QvPluginSignature.h"
#include "QvExport.h"

// Namespaces, their functions and each function's overloads in registration order.
// Names compare byte-wise, so listings come out in that order. One instance holds the
// process's built-in and plug-in functions; each session has one for its script's own.
class QV_EXPORT QvPluginRegistry {
public:
    using Overloads = std::vector<std::unique_ptr<QvPluginSignature>>;
    using Namespace = std::map<std::string, Overloads>;

    // The namespace that stands for "no namespace".
    static const char* const kInternalNamespace;

    static QvPluginRegistry& THE_PluginRegistry();
    static void deleteProcessRegistry();

    // Files the signature; raises the "wrong number of parameters" error when not
    // every declared parameter was described.
    void addSignature(const char* nameSpace, const char* name,
                      std::unique_ptr<QvPluginSignature> signature);
    bool hasFunction(const std::string& nameSpace, const std::string& name) const;
    bool hasInternalFunction(const std::string& name) const;
    const Overloads* overloads(const std::string& nameSpace, const std::string& name) const;
    const std::map<std::string, Namespace>& namespaces() const { return namespaces_; }

private:
    std::map<std::string, Namespace> namespaces_;
};

QV_C_EXPORT void QvDeletePluginRegistry();
