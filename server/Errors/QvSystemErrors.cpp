#include "Errors/QvSystemErrors.h"

#include "Errors/QvException.h"

namespace {

struct StatusText {
    long status;
    const char* text;
};

const std::string supportLine = std::string(" ") + QvSupportAddress() + ".\n";

// Multi-line texts continue on lines indented by three blanks.
const StatusText statusTexts[] = {
    {-34, "Disk is full\n"},
    {-35, "No such volume.\n"},
    {-36, "I/O Error\n"},
    {-37, "Bad filename.\n"},
    {-43, "File not found.\n"},
    {-45, "File is locked.\n"},
    {-47, "File is busy.\n"},
    {-108, "Out of memory\n"},
    {-120, "Directory not found.\n"},
    {-5000, "AppleTalk: User does not have the correct access privileges.\n"},
    {-5025, "AppleTalk: Directory not found or incomplete pathname.\n"},
    {-5029, "AppleTalk: Directory not found.\n"},
    {-5031, "AppleTalk: Volume is Locked.\n"},
    {-9403, "Insufficient memory is available to record.\n"},
    {-9404, "Insufficient disk space is available to record.\n"},
    {-9405, "The video source is not available.\n"
            "   Please check your camera installation,\n"
            "   or choose another camera in the preferences dialog.\n"},
};

// Texts that end by asking for a report to the support address.
const StatusText supportTexts[] = {
    {-2207, "The video source cannot work with your current monitor color settings!\n"
            "   Try reducing the number of colors from millions to thousands (and restarting),\n"
            "   If this fails please inform"},
    {-2208, "The video source cannot work offscreen.\n"
            "   Try reducing the number of colors from millions to thousands,\n"
            "   If this fails please inform"},
    {-8961, "The chosen compressor cound not be found.\n"
            "   (1) Try setting temporal_quality to zero. Some codec's don't like nonzero values.\n"
            "   (2) Try choosing a different compressor.\n"
            "   (3) Please send report to"},
};

[[noreturn]] void raiseIndex(long value, const char* problem, long bound) {
    QvException* error = new QvException;
    error->stream() << "Index \"" << value << "\" is too " << problem << bound << ").";
    throw error;
}

}  // namespace

const char* QvSupportAddress() { return QV_SUPPORT_ADDRESS; }

std::string systemErrorText(long status) {
    for (const StatusText& entry : statusTexts)
        if (entry.status == status)
            return entry.text;
    for (const StatusText& entry : supportTexts)
        if (entry.status == status)
            return entry.text + supportLine;
    return "unknown";
}

void QvCheckSystemError(long status, long sourceLine, const char* sourceFile) {
    if (status == 0)
        return;
    std::string text = systemErrorText(status);
    if (text != "unknown")
        throw new QvException(text);
    QvException* error = new QvException;
    error->stream() << "Caught System Error (" << status << ") at line " << sourceLine << " in file "
                    << (sourceFile ? sourceFile : "") << "\nPlease send report to" << supportLine;
    throw error;
}

void QvCheckIndexRange(long value, long minimum, long maximum) {
    if (value > maximum)
        raiseIndex(value, "large (> ", maximum);
    if (value < minimum)
        raiseIndex(value, "small (< ", minimum);
}
