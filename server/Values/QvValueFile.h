#pragma once
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "QvExport.h"
#include "Values/QvValue.h"

// The binary value file: the magic bytes AA AA AA AA, the 32-bit little-endian type
// code, then the value's own data (WriteData). Files without the magic load as text.
class QV_EXPORT QvValueFile {
public:
    // Returns a new value for paths it recognises (a movie, an image file), else null;
    // `shownPath` is the path as the script wrote it, for messages.
    using Opener = QvValue* (*)(const std::string& path, const std::string& shownPath);

    // Writes the header and the value's data; raises a file error when the file cannot
    // be written, leaving an earlier file of that name as it was.
    static void save(const QvValue& value, const std::string& path);
    // Writes text bytes as they are, without a header.
    static void saveText(const std::string& text, const std::string& path);
    // Tries the registered openers in order, then the value file, then plain text.
    // Reads regular files only: others "cannot be found".
    static QvValue* load(const std::string& path);
    static QvValue* load(const std::string& path, const std::string& shownPath);
    // The value that a file's whole content holds (taking the content for a text);
    // `path` names the file in errors.
    static QvValue* decode(std::string& content, const std::string& path);

    // Openers for media files, tried in order; `first` puts this one before the others.
    static void addOpener(Opener opener, bool first = false);

    // Little-endian helpers for the classes' WriteData and readers; the readers raise
    // a file error when the stream ends early.
    static void writeBytes(std::ostream& out, const void* bytes, size_t count);
    static void readBytes(std::istream& in, void* bytes, size_t count);
    static void writeInt32(std::ostream& out, int32_t number);
    static int32_t readInt32(std::istream& in);
    static void writeDouble(std::ostream& out, double number);
    static double readDouble(std::istream& in);
    // Runs of doubles, converted in blocks. The reader appends `count` numbers to
    // `numbers`, growing it only as the data actually arrives, so a count that the
    // file cannot back fails at its end instead of allocating the claimed size.
    static void writeDoubles(std::ostream& out, const double* numbers, size_t count);
    static void readDoubles(std::istream& in, std::vector<double>& numbers, size_t count);
    // An element count: a 32-bit little-endian unsigned integer.
    static void writeCount(std::ostream& out, size_t count);
    static uint32_t readCount(std::istream& in);
};
