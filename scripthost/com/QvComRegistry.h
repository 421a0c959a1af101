#pragma once
#include <functional>
#include <optional>
#include <string>

#include "QvComTypes.h"
#include "QvRegistryKeys.h"

// The registry stand-in: the classes root kept as a text file (QvRegistryKeys), at
// $QV_COM_REGISTRY when that is set, else "quarvel/com-registry" in the user's config
// folder. Every change reads the file, applies itself and replaces the file at once
// (a new file renamed over the old one) under an exclusive lock on "<file>.lock", so
// concurrent writers in any process never lose each other's keys and readers never
// see half a file. A file that cannot be read as registry text is never rewritten, nor
// is one without write permission (even for a user whom permissions do not bind).
class QvComRegistry {
public:
    static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

    static std::string path();

    // A missing file reads as empty; STG_E_READFAULT when it cannot be read or parsed.
    static HRESULT read(QvRegistryKeys& keys);
    // Applies `change` to the current content and writes the result. Returns the
    // change's failure, STG_E_READFAULT, STG_E_WRITEFAULT, STG_E_MEDIUMFULL, or the
    // change's success when the file holds the result (nothing is written when the
    // content stays the same).
    static HRESULT update(const std::function<HRESULT(QvRegistryKeys&)>& change);

    // E_INVALIDARG for a malformed key, or text with a NUL or line break in a name.
    static HRESULT setValue(const std::string& key, const std::string& name, const std::string& value);
    static HRESULT createKey(const std::string& key);
    // S_FALSE when the key did not exist.
    static HRESULT deleteKey(const std::string& key);

    // The value, or nothing when it, its key or a readable file is missing.
    static std::optional<std::string> value(const std::string& key, const std::string& name = "");
};
