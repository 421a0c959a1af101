#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Plugins/QvPluginSignature.h"
#include "QvExport.h"

class QvTextValue;

// Namespaces, their functions and each function's overloads in registration order.
// Names compare byte-wise, so listings come out in that order. One instance holds the
// process's built-in and plug-in functions; each session has one for its script's own.
// Listings append one text per item to the given list of texts.
class QV_EXPORT QvPluginRegistry {
public:
    using Overloads = std::vector<std::unique_ptr<QvPluginSignature>>;
    using Namespace = std::map<std::string, Overloads, std::less<>>;
    using Texts = std::vector<std::string>;

    // The namespace that stands for "no namespace".
    static const char* const kInternalNamespace;

    QvPluginRegistry() = default;
    ~QvPluginRegistry();
    QvPluginRegistry(const QvPluginRegistry&) = delete;
    QvPluginRegistry& operator=(const QvPluginRegistry&) = delete;

    static QvPluginRegistry& THE_PluginRegistry();
    static void deleteProcessRegistry();
    // Changes whenever any registry gains a signature or goes away, so that what was
    // found in the registries may be kept until it changes.
    static uint64_t version() { return version_.load(std::memory_order_acquire); }

    // Files the signature; raises the "wrong number of parameters" error when not
    // every declared parameter was described.
    void addSignature(const char* nameSpace, const char* name,
                      std::unique_ptr<QvPluginSignature> signature);
    bool hasFunction(std::string_view nameSpace, std::string_view name) const;
    bool hasInternalFunction(std::string_view name) const;
    const Overloads* overloads(std::string_view nameSpace, std::string_view name) const;
    const std::map<std::string, Namespace, std::less<>>& namespaces() const { return namespaces_; }

    // Every namespace but the reserved one.
    Texts& GetNameSpaceNames(Texts& list) const;
    // "Namespace.name" per function (the bare name in the reserved namespace).
    Texts& GetFunctionNames(Texts& list) const;
    // Bare names; raises "NameSpace doesn't exist".
    Texts& GetFunctionNames(std::string_view nameSpace, Texts& list) const;
    Texts& GetFunctionNamesInternal(Texts& list) const;
    // The text form of every overload, the reserved namespace included.
    Texts& GetSignatures(Texts& list) const;
    Texts& GetSignatures(std::string_view nameSpace, Texts& list) const;
    // Raises "NameSpace doesn't exist" or "Function doesn't exist".
    Texts& GetSignatures(std::string_view nameSpace, std::string_view name, Texts& list) const;

private:
    const Namespace& existingNamespace(std::string_view nameSpace) const;
    static void appendSignatures(const std::string& nameSpace, const std::string& name,
                                 const Overloads& overloads, Texts& list);

    std::map<std::string, Namespace, std::less<>> namespaces_;
    static std::atomic<uint64_t> version_;
};

QV_C_EXPORT void QvDeletePluginRegistry();
QV_C_EXPORT int QvPluginRegistryGetNameSpace(long index, QvTextValue* out);
QV_C_EXPORT int QvPluginRegistryGetFunctionName(const char* nameSpace, long index, QvTextValue* out);
QV_C_EXPORT int QvPluginRegistryGetFunctionNamesInternal(long index, QvTextValue* out);
QV_C_EXPORT void QvPluginRegistryGetSignature(const char* nameSpace, const char* name, QvTextValue* out);
QV_C_EXPORT void QvPluginRegistryGetSignatureInternal(const char* name, QvTextValue* out);
// Registers every built-in function, in the order listings show them.
QV_C_EXPORT void QvPluginRegistryInitInternal();
