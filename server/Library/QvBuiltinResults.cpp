#include "Library/QvBuiltinNamespaces.h"

#include "Values/QvListValue.h"

QvValue* QvBuiltinTextList(const std::vector<std::string>& items) {
    QvListValue* list = new QvListValue;
    for (const std::string& item : items) {
        QvValueRef text = new QvTextValue(item);
        list->Append(text.get());
    }
    return list;
}

QvValue* QvBuiltinFailure(QvPluginErrorBlock* error, const char* message) {
    QvPluginErrorBlockSetMessage(error, message);
    return nullptr;
}
