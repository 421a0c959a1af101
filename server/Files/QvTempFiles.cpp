#include "Files/QvTempFiles.h"

#include <filesystem>
#include <mutex>

#include "Files/QvFile.h"
#include "Media/QvMediaLayer.h"

namespace fs = std::filesystem;

namespace {
const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::mutex folderLock;
std::string chosenFolder;

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm fields{};
    localtime_r(&now, &fields);
    return fields;
}
}

std::string QvTempFileName(const std::tm& time, long number) {
    return "QvTemp_" + std::string(kMonths[time.tm_mon % 12]) + std::to_string(time.tm_mday) + "_" +
           std::to_string(time.tm_hour) + std::to_string(time.tm_min) + std::to_string(time.tm_sec) + "_" +
           std::to_string(number) + ".mov";
}

std::string QvTempFileFolder() {
    {
        std::lock_guard<std::mutex> guard(folderLock);
        if (!chosenFolder.empty()) return chosenFolder;
    }
    std::error_code error;
    fs::path system = fs::temp_directory_path(error);
    return error ? std::string("/tmp") : system.string();
}

void QvSetTempFileFolder(const char* folder) {
    std::lock_guard<std::mutex> guard(folderLock);
    chosenFolder = folder ? QvFile(folder).path() : std::string();
}

short QvSetTempFileLocation(short volume, long directory) {
    std::error_code error;
    fs::path folder = fs::read_symlink("/proc/self/fd/" + std::to_string(directory), error);
    bool isFolder = !error && fs::is_directory(folder, error);
    QvSetTempFileFolder(isFolder ? folder.c_str() : nullptr);
    return volume;
}

void QvCreateTempFileSpec(long number, QvMediaFileLocation* fileSpec) {
    QvFile file(QvFile(QvTempFileFolder()).resolve(QvTempFileName(localNow(), number)));
    file.deleteFile();
    file.getFSSpec(fileSpec);
}
