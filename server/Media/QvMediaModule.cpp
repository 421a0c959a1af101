#include "Media/QvMediaModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvYieldScope.h"

namespace {
const char* const kNotAvailable = "QuickTime not available.";

struct ModuleState {
    std::mutex lock;
    std::string path;
    const QvMediaModuleFunctions* table = nullptr;
    std::string failure;
};

ModuleState& state() {
    static ModuleState shared;
    return shared;
}

// The folder of the object this code is linked into: the engine library, or a program
// that links the engine in.
std::string engineFolder() {
    Dl_info info{};
    std::string file;
    if (dladdr(reinterpret_cast<void*>(&QvMediaModule::functions), &info) && info.dli_fname &&
        std::string(info.dli_fname).find('/') != std::string::npos)
        file = info.dli_fname;
    else {
        char buffer[4096];
        ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (length > 0) file.assign(buffer, static_cast<size_t>(length));
    }
    size_t slash = file.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// Beside the engine in a build folder; in the engine's own "quarvel" folder of an
// installed prefix (lib/quarvel/, with the script-host module and the plug-ins), which
// is the place named when neither holds it.
std::string defaultModulePath() {
    std::string folder = engineFolder();
    std::string beside = folder + "/" + QvMediaModule::kFileName;
    if (access(beside.c_str(), F_OK) == 0) return beside;
    return folder + "/" + QvMediaModule::kInstalledFolder + "/" + QvMediaModule::kFileName;
}

std::string modulePath(const std::string& chosen) {
    if (!chosen.empty()) return chosen;
    const char* fromEnvironment = std::getenv("QUARVEL_MEDIA_MODULE");
    if (fromEnvironment && *fromEnvironment) return fromEnvironment;
    return defaultModulePath();
}

// Loads and starts the module; the library stays loaded for the life of the process.
const QvMediaModuleFunctions* load(const std::string& path, std::string& failure) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        failure = "The media module " + path + " could not be loaded: " + (reason ? reason : "unknown reason") + ".";
        return nullptr;
    }
    auto entry = reinterpret_cast<QvMediaModuleEntry>(dlsym(library, QV_MEDIA_MODULE_ENTRY));
    const QvMediaModuleFunctions* table = entry ? entry(QV_MEDIA_ABI_VERSION) : nullptr;
    if (!table || table->size < sizeof(QvMediaModuleFunctions)) {
        failure = "The media module " + path + " is of another version.";
        return nullptr;
    }
    QvMediaResult result{};
    if (table->start(&result) != QV_MEDIA_OK) {
        failure = std::string("The media libraries could not be started: ") + result.message;
        return nullptr;
    }
    return table;
}
}  // namespace

const QvMediaModuleFunctions& QvMediaModule::functions() {
    ModuleState& module = state();
    std::lock_guard<std::mutex> guard(module.lock);
    if (!module.table && module.failure.empty()) module.table = load(modulePath(module.path), module.failure);
    if (!module.table) QvError((std::string(kNotAvailable) + "\n" + module.failure).c_str());
    return *module.table;
}

bool QvMediaModule::loaded() {
    ModuleState& module = state();
    std::lock_guard<std::mutex> guard(module.lock);
    return module.table != nullptr;
}

void QvMediaModule::setPath(const std::string& path) {
    ModuleState& module = state();
    std::lock_guard<std::mutex> guard(module.lock);
    module.path = path;
    module.table = nullptr;
    module.failure.clear();
}

void QvMediaModule::raise(const QvMediaResult& result, const char* fallback) {
    if (result.code == QV_MEDIA_STOPPED) {
        QvYield();
        QvError("Execution cancelled by user.");
    }
    if (result.code == QV_MEDIA_OUT_OF_MEMORY) throw new QvMemoryException("media");
    QvError(result.message[0] ? result.message : fallback);
}
