// qvregsvr MODULE: loads an in-process server module, calls its DllRegisterServer and
// prints the result. The exit status is 0 exactly when registration succeeded.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "com/QvHresultText.h"

namespace {
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 64;
constexpr int kExitNoModule = 66;
}

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: qvregsvr MODULE\n");
        return kExitUsage;
    }
    // dlopen searches the library path for a bare name; a module given here is a file.
    std::string path = argv[1];
    if (path.find('/') == std::string::npos) path = "./" + path;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "qvregsvr: cannot load %s: %s\n", argv[1], dlerror());
        return kExitNoModule;
    }
    using RegisterServer = HRESULT (*)();
    auto registerServer = reinterpret_cast<RegisterServer>(dlsym(module, "DllRegisterServer"));
    if (!registerServer) {
        std::fprintf(stderr, "qvregsvr: %s has no DllRegisterServer\n", argv[1]);
        return kExitNoModule;
    }
    HRESULT result = registerServer();
    std::printf("DllRegisterServer: %s\n", QvHresultText(result).c_str());
    return SUCCEEDED(result) ? 0 : kExitFailed;
}
