#include "QvRegistryKeys.h"

#include <optional>

namespace {
constexpr char kSeparator = '\\';

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\', out += c;
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out + "\"";
}

// Reads a quoted text at `at`, moving past it.
std::optional<std::string> readQuoted(std::string_view line, size_t& at) {
    if (at >= line.size() || line[at] != '"') return std::nullopt;
    std::string text;
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            return text;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++at == line.size()) return std::nullopt;
        char escaped = line[at];
        if (escaped == 'n') text += '\n';
        else if (escaped == 'r') text += '\r';
        else if (escaped == '\\' || escaped == '"') text += escaped;
        else return std::nullopt;
    }
    return std::nullopt;
}

std::string_view nextLine(std::string_view text, size_t& at) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}
}

bool QvRegistryKeys::isValidKey(std::string_view key) {
    if (key.empty() || key.front() == kSeparator || key.back() == kSeparator) return false;
    if (key.find(std::string_view("\\\\")) != std::string_view::npos) return false;
    return isValidText(key);
}

bool QvRegistryKeys::isValidText(std::string_view text) {
    return text.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

bool QvRegistryKeys::parse(std::string_view text) {
    std::map<std::string, Values> keys;
    Values* current = nullptr;
    for (size_t at = 0; at < text.size();) {
        std::string_view line = nextLine(text, at);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']') return false;
            std::string key(line.substr(1, line.size() - 2));
            if (!isValidKey(key) || keys.count(key)) return false;
            current = &keys[key];
            continue;
        }
        if (!current) return false;
        size_t position = 0;
        std::optional<std::string> name;
        if (line.front() == '@') {
            name = std::string();
            position = 1;
        } else {
            name = readQuoted(line, position);
        }
        if (!name || position >= line.size() || line[position++] != '=') return false;
        std::optional<std::string> value = readQuoted(line, position);
        if (!value || position != line.size() || current->count(*name)) return false;
        (*current)[*name] = *value;
    }
    keys_ = std::move(keys);
    return true;
}

std::string QvRegistryKeys::text() const {
    std::string out = "; Component registry of Quarvel hosts (classes root). Written by the tools; edit with care.\n";
    for (const auto& [key, values] : keys_) {
        out += "[" + key + "]\n";
        for (const auto& [name, value] : values)
            out += (name.empty() ? std::string("@") : quoted(name)) + "=" + quoted(value) + "\n";
    }
    return out;
}

void QvRegistryKeys::createKey(const std::string& key) {
    for (size_t end = key.find(kSeparator); end != std::string::npos; end = key.find(kSeparator, end + 1))
        keys_[key.substr(0, end)];
    keys_[key];
}

void QvRegistryKeys::setValue(const std::string& key, const std::string& name, const std::string& value) {
    createKey(key);
    keys_[key][name] = value;
}

bool QvRegistryKeys::deleteKey(const std::string& key) {
    if (keys_.erase(key) == 0) return false;
    // Keys that share a prefix sort together.
    std::string prefix = key + kSeparator;
    auto below = keys_.lower_bound(prefix);
    while (below != keys_.end() && below->first.compare(0, prefix.size(), prefix) == 0) below = keys_.erase(below);
    return true;
}

const QvRegistryKeys::Values* QvRegistryKeys::values(const std::string& key) const {
    auto found = keys_.find(key);
    return found == keys_.end() ? nullptr : &found->second;
}
