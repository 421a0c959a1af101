#include "QvScriptArgument.h"

#include <cctype>
#include <charconv>
#include <set>

#include "Session/QvParserApi.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Digits from `at`; answers the position after them.
size_t skipDigits(const std::string& text, size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// An optional sign, digits, then optionally "." digits and an exponent.
bool hasNumberForm(const std::string& text) {
    size_t at = text[0] == '+' || text[0] == '-' ? 1 : 0;
    size_t digitsEnd = skipDigits(text, at);
    if (digitsEnd == at) return false;
    at = digitsEnd;
    if (at < text.size() && text[at] == '.') {
        digitsEnd = skipDigits(text, at + 1);
        if (digitsEnd == at + 1) return false;
        at = digitsEnd;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        digitsEnd = skipDigits(text, at);
        if (digitsEnd == at) return false;
        at = digitsEnd;
    }
    return at == text.size();
}

bool beginsLikeNumber(const std::string& text) {
    size_t at = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (at < text.size() && text[at] == '.') ++at;
    return at < text.size() && isDigit(text[at]);
}

bool isQuoted(const std::string& text) {
    return text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0];
}
}

bool QvScriptArgument::isVariableName(const std::string& name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    // The words of the language are told apart by the parser itself.
    std::string trial = "set " + name + " to 0;";
    QvParser* session = QvParserCreate(trial.c_str(), static_cast<long>(trial.size()), nullptr);
    if (!session) return false;
    QvParserCheckSyntax(session);
    bool accepted = QvParserGetErrorFlag(session) == 0;
    QvParserDelete(session);
    return accepted;
}

bool QvScriptArgument::readValue(const std::string& value, std::string& error) {
    if (value.empty()) {
        error = "no value after '=' (write \"\" for empty text)";
        return false;
    }
    if (isQuoted(value)) {
        kind_ = Kind::Text;
        text_ = value.substr(1, value.size() - 2);
        return true;
    }
    if (value[0] == '"' || value[0] == '\'') {
        error = "the text " + value + " has no closing quote";
        return false;
    }
    if (value == "true" || value == "false") {
        kind_ = Kind::Boolean;
        flag_ = value == "true";
        return true;
    }
    if (hasNumberForm(value)) {
        size_t start = value[0] == '+' ? 1 : 0;
        auto [end, failure] = std::from_chars(value.data() + start, value.data() + value.size(), number_);
        if (failure == std::errc() && end == value.data() + value.size()) {
            kind_ = Kind::Number;
            return true;
        }
        error = "the number " + value + " is out of range";
        return false;
    }
    if (beginsLikeNumber(value)) {
        error = "'" + value + "' is not a number (quote it to pass it as text)";
        return false;
    }
    kind_ = Kind::Text;
    text_ = value;
    return true;
}

bool QvScriptArgument::parse(const std::string& assignment, QvScriptArgument& argument, std::string& error) {
    size_t equals = assignment.find('=');
    if (equals == std::string::npos) {
        error = "--set " + assignment + ": expected NAME=VALUE";
        return false;
    }
    argument.name_ = assignment.substr(0, equals);
    if (!isVariableName(argument.name_)) {
        error = "--set " + assignment + ": '" + argument.name_ + "' is not a variable name";
        return false;
    }
    std::string why;
    if (!argument.readValue(assignment.substr(equals + 1), why)) {
        error = "--set " + assignment + ": " + why;
        return false;
    }
    return true;
}

bool QvScriptArgument::parseAll(const std::vector<std::string>& assignments,
                                std::vector<QvScriptArgument>& arguments, std::string& error) {
    std::set<std::string> names;
    for (const std::string& assignment : assignments) {
        QvScriptArgument argument;
        if (!parse(assignment, argument, error)) return false;
        if (!names.insert(argument.name()).second) {
            error = "--set: '" + argument.name() + "' is given twice";
            return false;
        }
        arguments.push_back(argument);
    }
    return true;
}

std::string QvScriptArgument::textAssignment(const std::string& name, const std::string& text) {
    return name + "=\"" + text + "\"";
}

QvValueRef QvScriptArgument::createValue() const {
    switch (kind_) {
    case Kind::Number: return QvNumberCreate(number_);
    case Kind::Boolean: return QvBooleanCreate(flag_ ? 1 : 0);
    case Kind::Text: break;
    }
    return QvTextCreateFromPointer(text_.data(), static_cast<long>(text_.size()));
}
