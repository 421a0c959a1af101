// TextTools: a small plug-in module that shows each part of the plug-in contract.
//
//   TextTools.Repeat(text, count -> 2)      a default value; fails through the error block;
//                                           calls QvYield() in its long loop
//   TextTools.Pad(text, width, fill -> " ") two overloads of one name, told apart by type
//   TextTools.Pad(number, width)
//   TextTools.Swap(&first, &second)         by-reference parameters that change the
//                                           caller's variables
//   TextTools.Count(text, part -> <dynamic>)  a default the function computes itself
//
// Build it as a module named TextTools.qvp with the CMakeLists.txt beside it (against
// an installed Quarvel, or inside Quarvel's source tree) and load it with
// `quarvel --plugins FOLDER`, or put it into lib/quarvel/plugins of the installation,
// where hosts load every *.qvp at start-up.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "Plugins/QvPluginInterface.h"

namespace {
// Results are capped so that a script cannot ask for more memory than a text should
// take (Repeat("x", 1e15) fails at once instead of exhausting the machine).
constexpr double kLongestResult = 1 << 30;

// A failure: fill the error block and return nothing. The script sees "Plugin failed
// with error (#N):" and the message and URL on the next line.
QvValue* fail(QvPluginErrorBlock* error, long number, const char* message) {
    QvPluginErrorBlockSetNumber(error, number);
    QvPluginErrorBlockSetMessage(error, message);
    QvPluginErrorBlockSetURL(error, "docs/plugins.md");
    return nullptr;
}

QvValue* tooLong(QvPluginErrorBlock* error) {
    return fail(error, 2, "The result would be longer than 1073741824 bytes.");
}

// `copies` copies of `piece` in linear time: the result doubles itself, then takes the
// rest from its own front. QvYield() between the steps lets a stopped script end here.
std::string repeated(const std::string& piece, size_t copies) {
    std::string result;
    if (piece.empty() || copies == 0) return result;
    result.reserve(piece.size() * copies);
    result = piece;
    for (size_t made = 1; made < copies; made *= 2) {
        QvYield();
        result.append(result, 0, std::min(made, copies - made) * piece.size());
    }
    return result;
}

// Arguments are read by parameter name; the engine has already checked their types
// against the signature, so the typed getters cannot fail here.
QvValue* Repeat(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    std::string text = QvParameterBlockGetTextValue(parameters, "text");
    double count = QvParameterBlockGetNumberValue(parameters, "count");
    if (!(count >= 0) || count != std::floor(count))
        return fail(error, 1, "The count must be a whole number, 0 or more.");
    if (!text.empty() && count * static_cast<double>(text.size()) > kLongestResult) return tooLong(error);
    // A new value belongs to the engine once it is returned.
    return QvTextCreate(repeated(text, text.empty() ? 0 : static_cast<size_t>(count)).c_str());
}

// Copies of `fill` go before the text while it is shorter than `width` (the last copy
// may pass it). Null when the result would be too long.
QvValue* padded(QvPluginErrorBlock* error, const std::string& text, double width, const std::string& fill) {
    double missing = width - static_cast<double>(text.size());
    if (fill.empty() || !(missing > 0)) return QvTextCreate(text.c_str());
    double copies = std::ceil(missing / static_cast<double>(fill.size()));
    if (static_cast<double>(text.size()) + copies * static_cast<double>(fill.size()) > kLongestResult)
        return tooLong(error);
    return QvTextCreate((repeated(fill, static_cast<size_t>(copies)) + text).c_str());
}

QvValue* PadText(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return padded(error, QvParameterBlockGetTextValue(parameters, "text"),
                  QvParameterBlockGetNumberValue(parameters, "width"),
                  QvParameterBlockGetTextValue(parameters, "fill"));
}

QvValue* PadNumber(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    std::ostringstream digits;
    digits << QvParameterBlockGetNumberValue(parameters, "value");
    return padded(error, digits.str(), QvParameterBlockGetNumberValue(parameters, "width"), "0");
}

// By-reference parameters: the values are the caller's; storing a value with
// QvParameterBlockSetValue changes the caller's variable.
QvValue* Swap(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    std::string first = QvParameterBlockGetTextValue(parameters, "first");
    std::string second = QvParameterBlockGetTextValue(parameters, "second");
    QvParameterBlockSetValue(parameters, "first", QvTextCreate(second.c_str()));
    QvParameterBlockSetValue(parameters, "second", QvTextCreate(first.c_str()));
    return nullptr;  // no result: the call yields the undefined value
}

size_t countWords(const std::string& text) {
    std::istringstream words(text);
    size_t count = 0;
    for (std::string word; words >> word;) ++count;
    return count;
}

size_t countOccurrences(const std::string& text, const std::string& part) {
    if (part.empty()) return 0;
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// A dynamic parameter left out by the caller has no value at all: the function asks
// and decides what the default means.
QvValue* Count(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    std::string text = QvParameterBlockGetTextValue(parameters, "text");
    if (QvParameterBlockIsDynamicGenerationRequired(parameters, "part"))
        return QvNumberCreate(static_cast<double>(countWords(text)));
    return QvNumberCreate(static_cast<double>(countOccurrences(text, QvParameterBlockGetTextValue(parameters, "part"))));
}
}

// The entry point: one create, one set-param per parameter and one commit per
// function. QvArgumentNotConsumed marks a parameter the function only reads.
extern "C" QV_EXPORT void PluginRegisterVersion001() {
    if (!QvIsCompatibleVersion(3)) return;

    QvPluginSignature* repeat = QvPluginSignatureCreate(2, QV_TEXT, Repeat);
    QvPluginSignatureSetParam(repeat, QV_TEXT, "text", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(repeat, QV_NUMBER, "count", QvNumberCreate(2), QvArgumentNotConsumed);
    QvPluginSignatureCommit(repeat, "TextTools", "Repeat", "Repeat the text 'count' times (twice by default).");

    QvPluginSignature* padText = QvPluginSignatureCreate(3, QV_TEXT, PadText);
    QvPluginSignatureSetParam(padText, QV_TEXT, "text", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(padText, QV_NUMBER, "width", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(padText, QV_TEXT, "fill", QvTextCreate(" "), QvArgumentNotConsumed);
    QvPluginSignatureCommit(padText, "TextTools", "Pad", "Put 'fill' before the text until it is 'width' long.");

    QvPluginSignature* padNumber = QvPluginSignatureCreate(2, QV_TEXT, PadNumber);
    QvPluginSignatureSetParam(padNumber, QV_NUMBER, "value", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(padNumber, QV_NUMBER, "width", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureCommit(padNumber, "TextTools", "Pad", "Write the number with leading zeros up to 'width'.");

    QvPluginSignature* swap = QvPluginSignatureCreate(2, QvType(), Swap);
    QvPluginSignatureSetParam(swap, QV_TEXT, "first", QvParameterRequired, QvArgumentByReference);
    QvPluginSignatureSetParam(swap, QV_TEXT, "second", QvParameterRequired, QvArgumentByReference);
    QvPluginSignatureCommit(swap, "TextTools", "Swap", "Exchange the texts of two variables.");

    QvPluginSignature* count = QvPluginSignatureCreate(2, QV_NUMBER, Count);
    QvPluginSignatureSetParam(count, QV_TEXT, "text", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureSetParam(count, QV_TEXT, "part", QvParameterDynamic, QvArgumentNotConsumed);
    QvPluginSignatureCommit(count, "TextTools", "Count",
                            "Count the occurrences of 'part' in the text, or its words when 'part' is left out.");
}
