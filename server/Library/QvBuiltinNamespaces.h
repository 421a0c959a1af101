#pragma once
#include <string>
#include <vector>

#include "Values/QvValue.h"

// Registration of the engine's own namespaces (QvPluginRegistryInitInternal calls
// them in listing order).
void QvRegisterFunctionNamespace();
void QvRegisterSystemNamespace();

// Results of built-in functions in the shape their signatures declare.
QvValue* QvBuiltinTextList(const std::vector<std::string>& items);
QvValue* QvBuiltinNumberVector(const std::vector<double>& elements);
