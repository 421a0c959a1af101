#include "Library/QvBuiltinTable.h"

#include "Values/QvColorValue.h"
#include "Values/QvVectorValue.h"

QvValue* QvBuiltinDefault::create() const {
    switch (kind) {
    case Kind::Required: return QvParameterRequired;
    case Kind::Dynamic: return QvParameterDynamic;
    case Kind::Number: return QvNumberCreate(number);
    case Kind::Boolean: return QvBooleanCreate(boolean);
    case Kind::Text: return QvTextCreate(text);
    case Kind::Vector: return new QvVectorValue(vector);
    case Kind::Color: return new QvColorValue(QvColor{vector[0], vector[1], vector[2]});
    }
    return QvParameterRequired;
}

QvBuiltinDefault QvDefaultNumber(double number) {
    QvBuiltinDefault value;
    value.kind = QvBuiltinDefault::Kind::Number;
    value.number = number;
    return value;
}

QvBuiltinDefault QvDefaultBoolean(bool boolean) {
    QvBuiltinDefault value;
    value.kind = QvBuiltinDefault::Kind::Boolean;
    value.boolean = boolean;
    return value;
}

QvBuiltinDefault QvDefaultText(const char* text) {
    QvBuiltinDefault value;
    value.kind = QvBuiltinDefault::Kind::Text;
    value.text = text;
    return value;
}

QvBuiltinDefault QvDefaultVector(std::vector<double> elements) {
    QvBuiltinDefault value;
    value.kind = QvBuiltinDefault::Kind::Vector;
    value.vector = std::move(elements);
    return value;
}

QvBuiltinDefault QvDefaultColor(double red, double green, double blue) {
    QvBuiltinDefault value = QvDefaultVector({red, green, blue});
    value.kind = QvBuiltinDefault::Kind::Color;
    return value;
}

QvBuiltinParameter QvRequired(QvType types, const char* name) { return {types, name, QvBuiltinDefault{}}; }

QvBuiltinParameter QvDynamic(QvType types, const char* name) {
    QvBuiltinDefault dynamic;
    dynamic.kind = QvBuiltinDefault::Kind::Dynamic;
    return {types, name, dynamic};
}

QvBuiltinParameter QvOptional(QvType types, const char* name, QvBuiltinDefault value) {
    return {types, name, std::move(value)};
}

QvBuiltinParameter QvByReference(QvType types, const char* name) {
    return {types, name, QvBuiltinDefault{}, QvArgumentByReference};
}

void QvRegisterBuiltins(const std::vector<QvBuiltinRow>& rows) {
    for (const QvBuiltinRow& row : rows) {
        QvPluginSignature* signature = QvPluginSignatureCreate(row.parameters.size(), row.returns, row.function);
        for (const QvBuiltinParameter& parameter : row.parameters)
            QvPluginSignatureSetParam(signature, parameter.types, parameter.name, parameter.value.create(),
                                      parameter.mode);
        QvPluginSignatureCommit(signature, row.nameSpace, row.name, row.help);
    }
}
