// Registry listings for hosts (the IDE's function browser): one item per call. Nothing
// is thrown to a host: an absent namespace or function lists as nothing.
#include "Errors/QvException.h"
#include "Plugins/QvPluginRegistry.h"
#include "Values/QvTextValue.h"

namespace {
const QvPluginRegistry& processRegistry() { return QvPluginRegistry::THE_PluginRegistry(); }

int itemAt(const QvPluginRegistry::Texts& items, long index, QvTextValue* out) {
    if (index < 0 || static_cast<size_t>(index) >= items.size()) return 0;
    if (out) *out = QvTextValue(items[index]);
    return 1;
}

template <class List>
QvPluginRegistry::Texts listOrNothing(List list) {
    QvPluginRegistry::Texts items;
    try {
        list(items);
    } catch (QvException* error) {
        delete error;
        items.clear();
    }
    return items;
}

// A list's text form: its items, one per line.
void setListText(const QvPluginRegistry::Texts& items, QvTextValue* out) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) text += (i ? "\n" : "") + items[i];
    if (out) *out = QvTextValue(text);
}
}

int QvPluginRegistryGetNameSpace(long index, QvTextValue* out) {
    return itemAt(listOrNothing([](auto& names) { processRegistry().GetNameSpaceNames(names); }), index, out);
}

int QvPluginRegistryGetFunctionName(const char* nameSpace, long index, QvTextValue* out) {
    std::string space = nameSpace ? nameSpace : "";
    return itemAt(listOrNothing([&](auto& names) { processRegistry().GetFunctionNames(space, names); }), index,
                  out);
}

int QvPluginRegistryGetFunctionNamesInternal(long index, QvTextValue* out) {
    return itemAt(listOrNothing([](auto& names) { processRegistry().GetFunctionNamesInternal(names); }), index,
                  out);
}

void QvPluginRegistryGetSignature(const char* nameSpace, const char* name, QvTextValue* out) {
    std::string space = nameSpace ? nameSpace : "", function = name ? name : "";
    setListText(listOrNothing([&](auto& texts) { processRegistry().GetSignatures(space, function, texts); }), out);
}

void QvPluginRegistryGetSignatureInternal(const char* name, QvTextValue* out) {
    QvPluginRegistryGetSignature(QvPluginRegistry::kInternalNamespace, name, out);
}
