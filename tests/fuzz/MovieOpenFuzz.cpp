// Fuzz target: arbitrary bytes as a movie file through the media module's opener: the
// frame table is scanned to its end and the first, middle and last frames are drawn.
// A movie or a refusal are both fine; a crash, a hang or a runaway allocation is a fault.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"

extern "C" const QvMediaModuleFunctions* QvMediaModuleOpen(uint32_t abiVersion);

namespace {
const QvMediaModuleFunctions* module = nullptr;
std::string path;

void draw(QvMediaTrack* track, int64_t index) {
    std::vector<uint32_t> pixels(64 * 48);
    QvMediaPicture picture{reinterpret_cast<uint8_t*>(pixels.data()), 64 * 4, 64, 48};
    QvMediaResult result{};
    module->trackDraw(track, index, &picture, nullptr, &result);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    module = QvMediaModuleOpen(QV_MEDIA_ABI_VERSION);
    path = "/dev/shm/quarvel_movie_fuzz_" + std::to_string(::getpid());
    QvMediaResult result{};
    return module->start(&result);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    QvMediaTrack* track = nullptr;
    QvMediaResult result{};
    if (module->trackOpenFile(path.c_str(), nullptr, &track, &result) == QV_MEDIA_OK) {
        int64_t frames = 0;
        int32_t complete = 0;
        module->trackScan(track, -1, nullptr, &frames, &complete, &result);
        for (int64_t index : {int64_t(0), frames / 2, frames - 1})
            if (index >= 0 && index < frames) draw(track, index);
        module->trackClose(track);
    }
    std::remove(path.c_str());
    return 0;
}
