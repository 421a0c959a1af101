#include "Values/QvValueFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "Errors/QvExceptions.h"
#include "Values/QvTextValue.h"
#include "Values/QvValueKinds.h"

namespace {

constexpr unsigned char magic[4] = {0xAA, 0xAA, 0xAA, 0xAA};
constexpr size_t doublesPerBlock = 4096;

void encodeDouble(double number, unsigned char* bytes) {
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

double decodeDouble(const unsigned char* bytes) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= uint64_t(bytes[i]) << (8 * i);
    double number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

std::mutex openersLock;
std::vector<QvValueFile::Opener>& openers() {
    static std::vector<QvValueFile::Opener> registered;
    return registered;
}

QvValue* openWithRegisteredOpener(const std::string& path) {
    std::vector<QvValueFile::Opener> candidates;
    {
        std::lock_guard<std::mutex> guard(openersLock);
        candidates = openers();
    }
    for (QvValueFile::Opener opener : candidates)
        if (QvValue* value = opener(path))
            return value;
    return nullptr;
}

[[noreturn]] void raiseAboutFile(const std::string& path, const char* complaint) {
    QvException* error = new QvException;
    error->stream() << "file \"" << path << "\" " << complaint;
    throw error;
}

std::ofstream openForWriting(const std::string& path, std::ios::openmode mode) {
    std::ofstream out(path, mode | std::ios::trunc);
    if (!out.is_open()) {
        std::string detail = "Cannot open file \"" + path + "\" for writing.";
        throw new QvFileException(detail.c_str());
    }
    return out;
}

void finishWriting(std::ofstream& out) {
    out.flush();
    if (!out)
        throw new QvFileException("Writing Value Data Failed.");
}

bool startsWithMagic(std::istream& in) {
    unsigned char head[sizeof magic];
    in.read(reinterpret_cast<char*>(head), sizeof head);
    return in.gcount() == sizeof head && std::memcmp(head, magic, sizeof magic) == 0;
}

QvValue* readWholeFileAsText(const std::string& path) {
    std::ifstream in(path);
    if (!in.is_open())
        raiseAboutFile(path, "cannot be found.");
    return new QvTextValue(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace

void QvValueFile::save(const QvValue& value, const std::string& path) {
    std::ofstream out = openForWriting(path, std::ios::binary);
    writeBytes(out, magic, sizeof magic);
    writeInt32(out, value.GetType());
    value.WriteData(out);
    finishWriting(out);
}

void QvValueFile::saveText(const std::string& text, const std::string& path) {
    std::ofstream out = openForWriting(path, std::ios::out);
    out.write(text.data(), std::streamsize(text.size()));
    finishWriting(out);
}

QvValue* QvValueFile::load(const std::string& path) {
    if (QvValue* media = openWithRegisteredOpener(path))
        return media;
    std::error_code ignored;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open() || std::filesystem::is_directory(path, ignored))
        raiseAboutFile(path, "cannot be found.");
    if (!startsWithMagic(in)) {
        in.close();
        return readWholeFileAsText(path);
    }
    QvTypeEnum type = static_cast<QvTypeEnum>(readInt32(in));
    QvValue* value = QvValueKinds::readData(type, in);
    if (!value)
        raiseAboutFile(path, "is of an unknown type.");
    return value;
}

void QvValueFile::addOpener(Opener opener) {
    std::lock_guard<std::mutex> guard(openersLock);
    openers().push_back(opener);
}

void QvValueFile::writeBytes(std::ostream& out, const void* bytes, size_t count) {
    out.write(static_cast<const char*>(bytes), std::streamsize(count));
}

void QvValueFile::readBytes(std::istream& in, void* bytes, size_t count) {
    in.read(static_cast<char*>(bytes), std::streamsize(count));
    if (size_t(in.gcount()) != count)
        throw new QvFileException("Reading Value Data Failed.");
}

void QvValueFile::writeInt32(std::ostream& out, int32_t number) {
    uint32_t bits = uint32_t(number);
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    writeBytes(out, bytes, sizeof bytes);
}

int32_t QvValueFile::readInt32(std::istream& in) {
    unsigned char bytes[4];
    readBytes(in, bytes, sizeof bytes);
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t(bytes[i]) << (8 * i);
    return int32_t(bits);
}

void QvValueFile::writeDouble(std::ostream& out, double number) {
    unsigned char bytes[8];
    encodeDouble(number, bytes);
    writeBytes(out, bytes, sizeof bytes);
}

double QvValueFile::readDouble(std::istream& in) {
    unsigned char bytes[8];
    readBytes(in, bytes, sizeof bytes);
    return decodeDouble(bytes);
}

void QvValueFile::writeDoubles(std::ostream& out, const double* numbers, size_t count) {
    unsigned char block[doublesPerBlock * 8];
    while (count > 0) {
        size_t run = std::min(count, doublesPerBlock);
        for (size_t i = 0; i < run; ++i)
            encodeDouble(numbers[i], block + 8 * i);
        writeBytes(out, block, run * 8);
        numbers += run;
        count -= run;
    }
}

void QvValueFile::readDoubles(std::istream& in, std::vector<double>& numbers, size_t count) {
    unsigned char block[doublesPerBlock * 8];
    while (count > 0) {
        size_t run = std::min(count, doublesPerBlock);
        readBytes(in, block, run * 8);
        for (size_t i = 0; i < run; ++i)
            numbers.push_back(decodeDouble(block + 8 * i));
        count -= run;
    }
}

void QvValueFile::writeCount(std::ostream& out, size_t count) {
    if (count > UINT32_MAX)
        throw new QvFileException("Too many elements to write.");
    writeInt32(out, int32_t(uint32_t(count)));
}

uint32_t QvValueFile::readCount(std::istream& in) { return uint32_t(readInt32(in)); }
