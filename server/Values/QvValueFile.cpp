#include "Values/QvValueFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <streambuf>
#include <vector>

#include "Errors/QvExceptions.h"
#include "Files/QvAtomicFile.h"
#include "Files/QvRegularFile.h"
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

QvValue* openWithRegisteredOpener(const std::string& path, const std::string& shownPath) {
    std::vector<QvValueFile::Opener> candidates;
    {
        std::lock_guard<std::mutex> guard(openersLock);
        candidates = openers();
    }
    for (QvValueFile::Opener opener : candidates)
        if (QvValue* value = opener(path, shownPath))
            return value;
    return nullptr;
}

[[noreturn]] void raiseAboutFile(const std::string& path, const char* complaint) {
    QvException* error = new QvException;
    error->stream() << "file \"" << path << "\" " << complaint;
    throw error;
}

void requireWritten(std::ostream& out) {
    out.flush();
    if (!out)
        throw new QvFileException("Writing Value Data Failed.");
}

bool startsWithMagic(const std::string& content) {
    return content.size() >= sizeof magic && std::memcmp(content.data(), magic, sizeof magic) == 0;
}

// Reads a string where it lies, without the copy an istringstream would make.
class ContentReader : public std::streambuf {
public:
    explicit ContentReader(std::string& content) {
        char* begin = &content[0];
        setg(begin, begin, begin + content.size());
    }
};

}  // namespace

// Both writers replace the file only once the whole content is written, so a failed
// save leaves the earlier file as it was.
void QvValueFile::save(const QvValue& value, const std::string& path) {
    QvAtomicFile::write(path, [&](std::ostream& out) {
        writeBytes(out, magic, sizeof magic);
        writeInt32(out, value.GetType());
        value.WriteData(out);
        requireWritten(out);
    });
}

void QvValueFile::saveText(const std::string& text, const std::string& path) {
    QvAtomicFile::write(path, [&](std::ostream& out) {
        out.write(text.data(), std::streamsize(text.size()));
        requireWritten(out);
    });
}

// Only regular files are read (a device or a pipe could be endless), and only up to
// the size of the largest value file.
QvValue* QvValueFile::load(const std::string& path) { return load(path, path); }

QvValue* QvValueFile::load(const std::string& path, const std::string& shownPath) {
    if (QvValue* media = openWithRegisteredOpener(path, shownPath))
        return media;
    std::string content;
    switch (QvRegularFile::read(path, QvRegularFile::kLargestValueFile, content)) {
    case QvRegularFile::Read: return decode(content, path);
    case QvRegularFile::TooLarge: raiseAboutFile(path, "is too large to load.");
    case QvRegularFile::ReadFailed: throw new QvFileException("Reading Value Data Failed.");
    case QvRegularFile::NotFound: break;
    }
    raiseAboutFile(path, "cannot be found.");
}

QvValue* QvValueFile::decode(std::string& content, const std::string& path) {
    if (!startsWithMagic(content))
        return new QvTextValue(std::move(content));
    ContentReader reader(content);
    std::istream in(&reader);
    in.ignore(sizeof magic);
    QvTypeEnum type = static_cast<QvTypeEnum>(readInt32(in));
    QvValue* value = QvValueKinds::readData(type, in);
    if (!value)
        raiseAboutFile(path, "is of an unknown type.");
    return value;
}

void QvValueFile::addOpener(Opener opener, bool first) {
    std::lock_guard<std::mutex> guard(openersLock);
    openers().insert(first ? openers().begin() : openers().end(), opener);
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
