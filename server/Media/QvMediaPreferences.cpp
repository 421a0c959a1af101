#include "Media/QvMediaPreferences.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "Errors/QvException.h"
#include "Media/QvCaptureDevice.h"
#include "Media/QvVideoOutputDevice.h"

namespace {
struct PreferredMovie {
    std::mutex lock;
    QvMovieSettings settings;
};

PreferredMovie& preferredMovie() {
    static PreferredMovie shared;
    return shared;
}

// Decodes the blob with `decode`, which raises for a blob it refuses.
template <class Decode>
int take(Decode decode) {
    try {
        decode();
        return 1;
    } catch (QvException* refused) {
        delete refused;
        return 0;
    }
}

size_t copyOut(const std::vector<uint8_t>& blob, uint8_t* bytes, size_t capacity) {
    if (bytes && capacity >= blob.size()) std::copy(blob.begin(), blob.end(), bytes);
    return blob.size();
}
}  // namespace

QvMovieSettings QvPreferredMovieSettings() {
    PreferredMovie& preferred = preferredMovie();
    std::lock_guard<std::mutex> guard(preferred.lock);
    return preferred.settings;
}

int QvMovieSetPreferences(const uint8_t* bytes, size_t size) {
    return take([&] {
        QvMovieSettings settings = QvMovieSettings::fromBlob(bytes, size);
        PreferredMovie& preferred = preferredMovie();
        std::lock_guard<std::mutex> guard(preferred.lock);
        preferred.settings = std::move(settings);
    });
}

size_t QvMovieGetPreferences(uint8_t* bytes, size_t capacity) {
    return copyOut(QvPreferredMovieSettings().toBlob(), bytes, capacity);
}

int QvVideoSourceSetPreferences(const uint8_t* bytes, size_t size) {
    return take([&] { QvCaptureSettings::processWide() = QvCaptureSettings::fromBlob(bytes, size); });
}

size_t QvVideoSourceGetPreferences(uint8_t* bytes, size_t capacity) {
    return copyOut(QvCaptureSettings::processWide().toBlob(), bytes, capacity);
}

int QvVideoOutputSetPreferences(const uint8_t* bytes, size_t size) {
    return take([&] { QvOutputSettings::processWide() = QvOutputSettings::fromBlob(bytes, size); });
}

size_t QvVideoOutputGetPreferences(uint8_t* bytes, size_t capacity) {
    return copyOut(QvOutputSettings::processWide().toBlob(), bytes, capacity);
}
