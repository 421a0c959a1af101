#include "Media/QvSettingsBlob.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "Errors/QvErrors.h"

namespace {
const char* const kInvalid = "old preferences data is invalid";
constexpr size_t kHeaderBytes = 8;
}

void QvSettingsBlobWriter::number(uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) body_.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void QvSettingsBlobWriter::real(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    number(static_cast<uint32_t>(bits), 4);
    number(static_cast<uint32_t>(bits >> 32), 4);
}

void QvSettingsBlobWriter::text(const std::string& value) {
    size_t length = std::min<size_t>(value.size(), 255);
    number(static_cast<uint32_t>(length), 1);
    body_.insert(body_.end(), value.begin(), value.begin() + static_cast<ptrdiff_t>(length));
}

std::vector<uint8_t> QvSettingsBlobWriter::finish(const char (&kind)[5], uint16_t version) const {
    std::vector<uint8_t> blob(kind, kind + 4);
    for (uint32_t value : {uint32_t(version), static_cast<uint32_t>(body_.size())}) {
        blob.push_back(static_cast<uint8_t>(value));
        blob.push_back(static_cast<uint8_t>(value >> 8));
    }
    blob.insert(blob.end(), body_.begin(), body_.end());
    return blob;
}

QvSettingsBlobReader::QvSettingsBlobReader(const uint8_t* bytes, size_t size, const char (&kind)[5],
                                           uint16_t version)
    : bytes_(bytes), size_(size) {
    if (!bytes || size < kHeaderBytes || std::memcmp(bytes, kind, 4) != 0) QvError(kInvalid);
    position_ = 4;
    if (number(2) != version || number(2) + kHeaderBytes != size) QvError(kInvalid);
}

uint32_t QvSettingsBlobReader::number(int bytes) {
    if (position_ + static_cast<size_t>(bytes) > size_) QvError(kInvalid);
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint32_t(bytes_[position_++]) << (8 * i);
    return value;
}

double QvSettingsBlobReader::real() {
    uint64_t bits = number(4);
    bits |= uint64_t(number(4)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string QvSettingsBlobReader::text() {
    size_t length = number(1);
    if (position_ + length > size_) QvError(kInvalid);
    std::string value(reinterpret_cast<const char*>(bytes_ + position_), length);
    position_ += length;
    return value;
}

void QvSettingsBlobReader::finish() const {
    if (position_ != size_) QvError(kInvalid);
}
