#pragma once
#include <string>
#include <vector>

#include "Values/QvValue.h"

// A script argument, `--set NAME=VALUE`: a global variable the script starts with.
// NAME must be a variable name of the language (a letter, then letters, digits or
// '_', and no word of the language). VALUE reads as
//   a number   when it has a number's form: an optional sign, digits, an optional
//              fraction and exponent ("3", "-0.25", "1e6");
//   a boolean  when it is true or false;
//   text       when it is quoted ("..." or '...'), taken exactly as written between
//              the quotes, and otherwise as it stands ("clip.mov").
// A value that begins like a number without being one ("1.2.3", "7up") is refused,
// so that a mistyped number never passes quietly as text; quoted, it is text.
class QvScriptArgument {
public:
    // Reads "NAME=VALUE"; answers false and says why in `error`.
    static bool parse(const std::string& assignment, QvScriptArgument& argument, std::string& error);
    // Reads every assignment in order; refuses a name given twice.
    static bool parseAll(const std::vector<std::string>& assignments, std::vector<QvScriptArgument>& arguments,
                         std::string& error);
    // The assignment that reads back as the text exactly (the command hands text on so).
    static std::string textAssignment(const std::string& name, const std::string& text);

    const std::string& name() const { return name_; }
    QvValueRef createValue() const;

private:
    enum class Kind { Number, Boolean, Text };

    static bool isVariableName(const std::string& name);
    bool readValue(const std::string& value, std::string& error);

    std::string name_;
    Kind kind_ = Kind::Text;
    double number_ = 0;
    bool flag_ = false;
    std::string text_;
};
