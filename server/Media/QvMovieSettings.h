#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "QvExport.h"

// How a movie compresses what is added to it: the record that the movie's compression
// properties set and that QvMovieGetPreferences / QvMovieSetPreferences copy. Qualities
// are kept as trunc(q x 1024) and the frame rate in 16.16 fixed point, so that they read
// back as those numbers do (0.3 reads back as 0.2998046875).
struct QV_EXPORT QvMovieSettings {
    static constexpr const char* kDefaultCompressor = "Cinepak";
    static constexpr const char* kDefaultOverlayCompressor = "TIFF";
    static constexpr const char* kDefaultGraphicsMode = "copy";
    // Units of time of the frames movies compress: 1/30000 s, in which 29.97, 25, 10
    // and 5 frames per second are whole numbers.
    static constexpr int kTimeScale = 30000;

    std::string compressor = kDefaultCompressor;
    uint32_t compressorType = fourCharacters("cvid");
    std::string overlayCompressor = kDefaultOverlayCompressor;
    std::string graphicsMode = kDefaultGraphicsMode;
    int32_t spatialQuality = 512;
    int32_t temporalQuality = 0;
    int32_t frameRate = 1964113;  // 29.97 in 16.16
    int32_t keyFrameInterval = 24;
    int32_t depth = 0;

    double spatial() const { return spatialQuality / 1024.0; }
    double temporal() const { return temporalQuality / 1024.0; }
    double rate() const { return frameRate / 65536.0; }
    void setSpatial(double quality);
    void setTemporal(double quality);
    void setRate(double framesPerSecond);
    // The floor of the number.
    void setKeyFrameInterval(double frames);
    // Raises the unknown-compressor message for a name the module does not offer.
    void setCompressor(const std::string& name);
    void setOverlayCompressor(const std::string& name);
    // Raises the unknown-mode message for another name.
    void setGraphicsMode(const std::string& name);

    // How long one frame appended now lasts: 1 / rate, in units of kTimeScale (at least
    // one). Raises "Movie frame rate must be greater than zero" for a rate of 0 or less.
    int64_t frameDuration() const;
    // The record the module compresses by; valid while these settings live.
    QvMediaCompression compression() const;
    QvMediaCompression overlayCompression() const;

    // A small versioned record that hosts keep as opaque bytes; fromBlob refuses another
    // version or length with "old preferences data is invalid".
    std::vector<uint8_t> toBlob() const;
    static QvMovieSettings fromBlob(const uint8_t* bytes, size_t size);

    static constexpr uint32_t fourCharacters(const char (&code)[5]) {
        return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 | uint32_t(uint8_t(code[2])) << 8 |
               uint32_t(uint8_t(code[3]));
    }
};

// The compressors movies can use, the default first.
QV_EXPORT std::vector<std::string> QvMovieCompressorNames();

// How an overlay is laid over the frames below it.
enum class QvGraphicsMode { Copy, DitherCopy, StraightAlpha, PremulWhiteAlpha };
// Raises "Unknown Graphics Mode: available modes are ..." for another name.
QvGraphicsMode QvGraphicsModeNamed(const std::string& name);
// The names of the graphics modes, in the order of the enumeration.
QV_EXPORT std::vector<std::string> QvGraphicsModeNames();
