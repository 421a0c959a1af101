#pragma once
#include <map>
#include <string>
#include <string_view>

// The content of the registry stand-in: keys below the classes root, written as paths
// of names joined by '\', each with named text values; the name "" is the key's
// default value. Names compare exactly. The text form, one section per key:
//
//     [CLSID\{...}\InprocServer32]
//     @="/path/to/Module.so"
//     "ThreadingModel"="Both"
//
// Lines starting with ';' are comments; in quoted text \\, \", \n and \r stand for
// themselves.
class QvRegistryKeys {
public:
    using Values = std::map<std::string, std::string>;

    // A key path is usable when it has no empty component and no line break or NUL.
    static bool isValidKey(std::string_view key);
    static bool isValidText(std::string_view text);

    // Replaces the content by the text's; false (content unchanged) when malformed.
    bool parse(std::string_view text);
    std::string text() const;

    // Creates the key and every key above it.
    void createKey(const std::string& key);
    // Creates the key when needed.
    void setValue(const std::string& key, const std::string& name, const std::string& value);
    // Removes the key with every key below it; false when it did not exist.
    bool deleteKey(const std::string& key);

    bool hasKey(const std::string& key) const { return keys_.count(key) != 0; }
    // The key's values, or null when the key does not exist.
    const Values* values(const std::string& key) const;

    bool operator==(const QvRegistryKeys& other) const { return keys_ == other.keys_; }

private:
    std::map<std::string, Values> keys_;
};
