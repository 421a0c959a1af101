#include "Values/QvListLiteral.h"

#include <algorithm>

#include "Values/QvListValue.h"
#include "Values/QvVectorValue.h"

namespace {
bool allOfType(const std::vector<QvValueRef>& elements, QvTypeEnum type) {
    return std::all_of(elements.begin(), elements.end(),
                       [type](const QvValueRef& element) { return element && element->GetType() == type; });
}
}  // namespace

QvValueRef QvMakeListLiteral(std::vector<QvValueRef>&& elements) {
    if (allOfType(elements, QV_NUMBER)) {
        std::vector<double> numbers;
        numbers.reserve(elements.size());
        for (const QvValueRef& element : elements)
            numbers.push_back(element->AsNumber());
        return new QvVectorValue(std::move(numbers));
    }
    QvValueRef list = new QvListValue;
    for (QvValueRef& element : elements)
        list->Append(element.get());
    if (allOfType(elements, QV_VECTOR)) {
        QvValueRef image;
        list->CoerceTo(image, QV_IMAGE_MONO);
        return image;
    }
    return list;
}
