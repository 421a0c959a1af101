#include "Media/QvMovieSettings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Errors/QvErrors.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaPictures.h"
#include "Media/QvSettingsBlob.h"

namespace {
const char kBlobKind[5] = "QvMS";
constexpr uint16_t kBlobVersion = 1;

struct NamedType {
    const char* name;
    uint32_t type;
};
const NamedType kTypes[] = {
    {"Cinepak", QvMovieSettings::fourCharacters("cvid")}, {"Animation", QvMovieSettings::fourCharacters("rle ")},
    {"Photo - JPEG", QvMovieSettings::fourCharacters("jpeg")}, {"PNG", QvMovieSettings::fourCharacters("png ")},
    {"TIFF", QvMovieSettings::fourCharacters("tiff")}, {"H.264", QvMovieSettings::fourCharacters("avc1")},
    {"None", QvMovieSettings::fourCharacters("raw ")},
};

// Other compressors are typed by the first four characters of their names.
uint32_t typeOf(const std::string& name) {
    for (const NamedType& known : kTypes)
        if (name == known.name) return known.type;
    char code[5] = "    ";
    std::memcpy(code, name.data(), std::min<size_t>(4, name.size()));
    return QvMovieSettings::fourCharacters(code);
}

void checkCompressor(const std::string& name) {
    std::vector<std::string> names = QvMovieCompressorNames();
    if (std::find(names.begin(), names.end(), name) != names.end()) return;
    std::string message = "Unknown movie compressor: \"" + name + "\"\nAvailable compressors are:";
    for (const std::string& offered : names) message += "\n    \"" + offered + "\"";
    QvError(message.c_str());
}

int32_t fixed(double value, double scale) {
    double scaled = std::trunc(value * scale);
    if (!(scaled >= INT32_MIN && scaled <= INT32_MAX)) QvError("Movie compression preferences appear invalid.");
    return static_cast<int32_t>(scaled);
}

}  // namespace

std::vector<std::string> QvMovieCompressorNames() {
    return QvCollectNames(QvMediaModule::functions().movieCompressorNames);
}

void QvMovieSettings::setSpatial(double quality) { spatialQuality = fixed(quality, 1024); }
void QvMovieSettings::setTemporal(double quality) { temporalQuality = fixed(quality, 1024); }
void QvMovieSettings::setRate(double framesPerSecond) { frameRate = fixed(framesPerSecond, 65536); }
void QvMovieSettings::setKeyFrameInterval(double frames) { keyFrameInterval = fixed(std::floor(frames), 1); }

void QvMovieSettings::setCompressor(const std::string& name) {
    checkCompressor(name);
    compressor = name;
    compressorType = typeOf(name);
}

void QvMovieSettings::setOverlayCompressor(const std::string& name) {
    checkCompressor(name);
    overlayCompressor = name;
}

void QvMovieSettings::setGraphicsMode(const std::string& name) {
    QvGraphicsModeNamed(name);
    graphicsMode = name;
}

int64_t QvMovieSettings::frameDuration() const {
    if (frameRate <= 0) QvError("Movie frame rate must be greater than zero");
    return std::max<int64_t>(1, std::llround(double(kTimeScale) * 65536.0 / frameRate));
}

QvMediaCompression QvMovieSettings::compression() const {
    return QvMediaCompression{compressor.c_str(), spatial(), temporal(), std::max(0, keyFrameInterval), depth};
}

QvMediaCompression QvMovieSettings::overlayCompression() const {
    return QvMediaCompression{overlayCompressor.c_str(), spatial(), 0, 1, 32};
}

std::vector<uint8_t> QvMovieSettings::toBlob() const {
    QvSettingsBlobWriter blob;
    blob.text(compressor);
    blob.number(compressorType, 4);
    blob.text(overlayCompressor);
    blob.text(graphicsMode);
    for (int32_t value : {spatialQuality, temporalQuality, frameRate, keyFrameInterval, depth})
        blob.number(static_cast<uint32_t>(value), 4);
    return blob.finish(kBlobKind, kBlobVersion);
}

QvMovieSettings QvMovieSettings::fromBlob(const uint8_t* bytes, size_t size) {
    QvSettingsBlobReader blob(bytes, size, kBlobKind, kBlobVersion);
    QvMovieSettings settings;
    settings.compressor = blob.text();
    settings.compressorType = blob.number(4);
    settings.overlayCompressor = blob.text();
    settings.graphicsMode = blob.text();
    for (int32_t* field : {&settings.spatialQuality, &settings.temporalQuality, &settings.frameRate,
                           &settings.keyFrameInterval, &settings.depth})
        *field = static_cast<int32_t>(blob.number(4));
    blob.finish();
    return settings;
}

std::vector<std::string> QvGraphicsModeNames() {
    return {"copy", "dither copy", "straight alpha", "premul white alpha"};
}

QvGraphicsMode QvGraphicsModeNamed(const std::string& name) {
    const std::vector<std::string> names = QvGraphicsModeNames();
    for (size_t mode = 0; mode < names.size(); ++mode)
        if (name == names[mode]) return static_cast<QvGraphicsMode>(mode);
    QvError("Unknown Graphics Mode: available modes are 'copy', 'dither copy', 'straight alpha', 'premul white alpha'");
}
