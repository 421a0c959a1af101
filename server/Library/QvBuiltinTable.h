#pragma once
#include <vector>

#include "Plugins/QvPluginInterface.h"

// The built-in functions are described as rows of one table, in registration order
// (which fixes the order of overloads and listings); QvRegisterBuiltins files each row
// through the same create / set-param / commit calls a plug-in module uses.

// What an omitted argument gets: nothing (required), whatever the function decides
// (dynamic), or a fixed value made afresh for the signature.
struct QvBuiltinDefault {
    enum class Kind { Required, Dynamic, Number, Boolean, Text, Vector, Color };

    Kind kind = Kind::Required;
    double number = 0;
    bool boolean = false;
    const char* text = "";
    std::vector<double> vector;

    // The default argument of QvPluginSignatureSetParam: a marker or a new value.
    QvValue* create() const;
};

QvBuiltinDefault QvDefaultNumber(double number);
QvBuiltinDefault QvDefaultBoolean(bool boolean);
QvBuiltinDefault QvDefaultText(const char* text);
QvBuiltinDefault QvDefaultVector(std::vector<double> elements);
QvBuiltinDefault QvDefaultColor(double red, double green, double blue);

struct QvBuiltinParameter {
    QvType types;
    const char* name;
    QvBuiltinDefault value;
    QvEnumArgumentConsumed mode = QvArgumentNotConsumed;
};

QvBuiltinParameter QvRequired(QvType types, const char* name);
QvBuiltinParameter QvDynamic(QvType types, const char* name);
QvBuiltinParameter QvOptional(QvType types, const char* name, QvBuiltinDefault value);
// Required, and passed as the caller's variable.
QvBuiltinParameter QvByReference(QvType types, const char* name);

struct QvBuiltinRow {
    const char* nameSpace;
    const char* name;
    QvPluginFunction function;
    QvType returns;  // the empty set: the function returns nothing
    std::vector<QvBuiltinParameter> parameters;
    const char* help;
};

void QvRegisterBuiltins(const std::vector<QvBuiltinRow>& rows);
