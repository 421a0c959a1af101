#include <algorithm>
#include <cctype>

#include "Errors/QvErrors.h"
#include "Files/QvFileStatus.h"
#include "Media/QvMediaLayer.h"
#include "Media/QvMediaMovie.h"
#include "Movie/QvMovieValue.h"
#include "Values/QvValueFile.h"

namespace {

const char* const kMovieEndings[] = {".mov", ".avi", ".mpg", ".mpeg", ".mp4", ".m4v", ".mkv", ".webm"};

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - long(ending.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// The loader's first step: a path with a movie file ending is opened as a movie, before
// the image step looks at the content.
QvValue* openMovieFile(const std::string& path, const std::string& shownPath) {
    if (!QvHasMovieEnding(path)) return nullptr;
    return QvMovieValue::OpenFile(path, shownPath);
}

const bool registered = (QvValueFile::addOpener(&openMovieFile, true), true);

QvMediaFileLocation locationOf(const std::string& path, const char* failure) {
    QvMediaFileLocation file;
    long status = QvTheMediaLayer().makeFileSpec(path, &file);
    if (status != QV_FILE_OK && status != QV_FILE_NOT_FOUND) QvError(failure);
    return file;
}

}  // namespace

bool QvHasMovieEnding(const std::string& path) {
    std::string bare = path.substr(0, path.find_first_of("?#"));
    return std::any_of(std::begin(kMovieEndings), std::end(kMovieEndings),
                       [&](const char* ending) { return endsWith(bare, ending); });
}

QvMovieValue* QvMovieValue::OpenFile(const std::string& path, const std::string& shownPath) {
    QvMediaFileLocation file = locationOf(path, ("Cannot open movie file \"" + shownPath + "\"").c_str());
    return new QvMovieValue(QvMediaMovie::openFile(file, shownPath));
}

QvMovieValue* QvMovieValue::OpenURL(const std::string& address) {
    return new QvMovieValue(QvMediaMovie::openAddress(address));
}

// A file address names a movie file on this machine, read as files are; every other
// address goes to the network protocols the media layer allows.
QvValue* QvOpenURL(const std::string& address) {
    if (!QvHasMovieEnding(address))
        QvError(("The URL \"" + address + "\" does not have a recognized ending.").c_str());
    const std::string fileScheme = "file://";
    if (address.compare(0, fileScheme.size(), fileScheme) == 0) {
        std::string path = address.substr(fileScheme.size());
        if (path.compare(0, 9, "localhost") == 0) path.erase(0, 9);
        if (path.empty() || path[0] != '/') QvError("Movie was not found at the specified URL.");
        return QvMovieValue::OpenFile(path, address);
    }
    return QvMovieValue::OpenURL(address);
}

void QvMovieValue::Flatten(const std::string& path) const {
    movie_->flatten(locationOf(path, "Could not save movie file."), settings_);
}

void QvMovieValue::SaveToFile(const std::string& path) const { Flatten(path); }
