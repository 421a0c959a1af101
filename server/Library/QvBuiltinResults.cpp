#include "Library/QvBuiltinNamespaces.h"

#include "Values/QvListValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

QvValue* QvBuiltinTextList(const std::vector<std::string>& items) {
    QvListValue* list = new QvListValue;
    for (const std::string& item : items) {
        QvValueRef text = new QvTextValue(item);
        list->Append(text.get());
    }
    return list;
}

QvValue* QvBuiltinNumberVector(const std::vector<double>& numbers) { return new QvVectorValue(numbers); }
