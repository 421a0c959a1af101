#pragma once
#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "Values/QvValue.h"

// What the engine can build for each type code without knowing the class: read a
// value file's body, make an empty result for arithmetic, and build a value from
// plain data for coercions. Types whose class has not been written yet have no
// entry and report so.
// The rows of a monochrome picture, row after row; rows shorter than the widest
// one are padded with zeros.
struct QvMonoRows {
    size_t width = 0;
    size_t height = 0;
    std::vector<float> samples;
};

namespace QvValueKinds {

// The value stored in a value file body of the given type; null when the type has no reader.
QvValue* readData(QvTypeEnum type, std::istream& in);

// An empty value of the result type, shaped after `shape` (sizes, element counts).
// Raises the coercion error " doesn't have ShallowConstruct implemented." otherwise.
QvValue* shallowConstruct(QvTypeEnum type, QvValue* shape);

// A vector of the numbers, or a colour of the first three; `source` names the type
// being converted in the error raised when the target cannot be built yet.
QvValue* fromNumbers(QvTypeEnum target, const std::vector<double>& numbers, QvTypeEnum source);

// A list holding one text value per word.
QvValue* fromWords(QvTypeEnum target, const std::vector<std::string>& words, QvTypeEnum source);

// A picture of the rows (image_mono).
QvValue* fromMonoRows(QvTypeEnum target, const QvMonoRows& rows, QvTypeEnum source);

}  // namespace QvValueKinds
