#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The settings records hosts keep as opaque bytes (compression, capture, output): four
// bytes naming the kind, a 2-byte version, a 2-byte length of what follows, then the
// fields, little-endian. A record of another kind, version or length is refused with
// "old preferences data is invalid".
class QvSettingsBlobWriter {
public:
    void number(uint32_t value, int bytes);
    void real(double value);
    // At most 255 bytes.
    void text(const std::string& value);
    std::vector<uint8_t> finish(const char (&kind)[5], uint16_t version) const;

private:
    std::vector<uint8_t> body_;
};

class QvSettingsBlobReader {
public:
    QvSettingsBlobReader(const uint8_t* bytes, size_t size, const char (&kind)[5], uint16_t version);
    uint32_t number(int bytes);
    double real();
    std::string text();
    // Raises unless every byte has been read.
    void finish() const;

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t position_ = 0;
};
