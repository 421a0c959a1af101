// Loading plug-in modules: each is a shared library whose entry point registers its
// functions. Libraries stay loaded for the life of the process.
#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "Errors/QvException.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginLoader.h"

namespace {
constexpr long kLoaded = 0;
constexpr long kNotLoadable = 47;
constexpr long kNoEntryPoint = 48;
constexpr long kRegistrationFailed = 99;

void setStatus(QvTextValue* status, const std::string& text) {
    if (status) *status = QvTextValue(text);
}

// dlopen searches the library path for a bare name; a module is always a file.
std::string loadablePath(const char* directory, const char* fileName) {
    std::filesystem::path path(fileName);
    if (directory) path = std::filesystem::path(directory) / path;
    return std::filesystem::absolute(path).string();
}

long registerModule(QvTextValue* status, const char* directory, const char* fileName) {
    void* library = dlopen(loadablePath(directory, fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        setStatus(status, std::string(fileName) + ": PlugIn could not be loaded.");
        return kNotLoadable;
    }
    auto entryPoint = reinterpret_cast<QvPluginEntryPoint>(dlsym(library, QV_PLUGIN_ENTRY_POINT));
    if (!entryPoint) {
        setStatus(status, "PlugIn does not export the function PluginRegisterVersion001()");
        return kNoEntryPoint;
    }
    entryPoint();
    return kLoaded;
}
}

void QvRegisterPluginFile(QvTextValue* status, long* error, const char* directory, const char* fileName) {
    long code = kLoaded;
    try {
        if (!fileName) fileName = "";
        setStatus(status, fileName);
        code = registerModule(status, directory, fileName);
    } catch (int16_t thrown) {
        code = thrown;
    } catch (uint16_t thrown) {
        code = thrown;
    } catch (QvException* refused) {
        delete refused;
        code = kRegistrationFailed;
    } catch (...) {
        code = kRegistrationFailed;
    }
    if (error) *error = code;
}

void QvRegisterPlugin(QvTextValue* status, long* error, const char* path) {
    QvRegisterPluginFile(status, error, nullptr, path);
}
