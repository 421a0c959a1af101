#include "Media/QvMovieTrack.h"

#include <unistd.h>

#include <atomic>

#include "Errors/QvErrors.h"
#include "Errors/QvSystemErrors.h"
#include "Files/QvFileStatus.h"
#include "Files/QvTempFiles.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaPictures.h"
#include "Media/QvMediaTask.h"

namespace {
std::atomic<long> nextTemporaryNumber{1};

// Temporary store files are named by the second they are made in and a number; the
// number leads with the process id, so that processes making movies in the same
// second (the runs of a batch) never take the same name.
long temporaryNumber() {
    constexpr long kNumbersPerProcess = 1'000'000'000L;
    return static_cast<long>(getpid()) * kNumbersPerProcess + nextTemporaryNumber++ % kNumbersPerProcess;
}

QvMediaResult emptyResult() { return QvMediaResult{}; }

// The status of a compressor that cannot be found has a text of its own.
constexpr long kCompressorNotFound = -8961;

[[noreturn]] void raiseCompressorFailure(const QvMediaResult& result) {
    if (result.code == QV_MEDIA_UNKNOWN_COMPRESSOR)
        QvCheckSystemError(kCompressorNotFound, __LINE__, "server/Media/QvMovieTrack");
    if (result.code == QV_MEDIA_COMPRESSOR_REFUSED) QvError("Can't open movie compressor");
    if (result.code == QV_MEDIA_SETTINGS_REFUSED) QvError("Movie compression preferences appear invalid.");
    QvMediaModule::raise(result, "Can't open movie compressor");
}
}  // namespace

QvMovieStore::QvMovieStore() {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    QvMediaFileLocation file;
    QvCreateTempFileSpec(temporaryNumber(), &file);
    QvMediaResult result = emptyResult();
    if (module.storeCreate(file.path, &store_, &result) != QV_MEDIA_OK) {
        if (result.code == QV_MEDIA_CANNOT_WRITE)
            QvCheckSystemError(QvFileStatusFromError(std::error_code(result.systemError, std::generic_category())),
                               __LINE__, "server/Media/QvMovieTrack");
        QvMediaModule::raise(result, "Could not create movie file.");
    }
}

QvMovieStore::~QvMovieStore() { QvMediaModule::functions().storeClose(store_); }

QvMovieTrack::QvMovieTrack(QvMediaTrack* track, std::shared_ptr<QvMovieStore> store)
    : track_(track), store_(std::move(store)) {
    QvMediaModule::functions().trackInfo(track_, &info_);
}

QvMovieTrack::~QvMovieTrack() { QvMediaModule::functions().trackClose(track_); }

std::shared_ptr<QvMovieTrack> QvMovieTrack::openFile(const QvMediaFileLocation& file, const std::string& shownPath) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    QvMediaTask task("Opening movie");
    QvMediaTrack* track = nullptr;
    QvMediaResult result = emptyResult();
    if (module.trackOpenFile(file.path, task.work(), &track, &result) != QV_MEDIA_OK) {
        if (result.code == QV_MEDIA_CANNOT_OPEN) {
            std::error_code error(result.systemError, std::generic_category());
            std::string message = "Cannot open movie file \"" + shownPath + "\"\n" +
                                  systemErrorText(QvFileStatusFromError(error));
            QvError(message.c_str());
        }
        if (result.code == QV_MEDIA_NOT_A_MOVIE)
            QvError(("File \"" + shownPath + "\" does not seem to be a movie file.").c_str());
        QvMediaModule::raise(result, ("File \"" + shownPath + "\" does not seem to be a movie file.").c_str());
    }
    return std::shared_ptr<QvMovieTrack>(new QvMovieTrack(track, nullptr));
}

std::shared_ptr<QvMovieTrack> QvMovieTrack::openAddress(const std::string& address) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    QvMediaTask task("Opening movie");
    QvMediaTrack* track = nullptr;
    QvMediaResult result = emptyResult();
    if (module.trackOpenAddress(address.c_str(), task.work(), &track, &result) != QV_MEDIA_OK) {
        if (result.code == QV_MEDIA_STOPPED || result.code == QV_MEDIA_OUT_OF_MEMORY)
            QvMediaModule::raise(result, "");
        QvError("Movie was not found at the specified URL.");
    }
    return std::shared_ptr<QvMovieTrack>(new QvMovieTrack(track, nullptr));
}

std::shared_ptr<QvMovieTrack> QvMovieTrack::beginStream(std::shared_ptr<QvMovieStore> store,
                                                        const QvMovieSettings& settings, int width, int height) {
    QvMediaCompression compression = settings.compression();
    QvMediaTrack* track = nullptr;
    QvMediaResult result = emptyResult();
    if (QvMediaModule::functions().storeBeginStream(store->get(), &compression, width, height,
                                                    QvMovieSettings::kTimeScale, &track, &result) != QV_MEDIA_OK)
        raiseCompressorFailure(result);
    std::shared_ptr<QvMovieTrack> stream(new QvMovieTrack(track, std::move(store)));
    stream->appending_ = true;
    stream->settings_ = settings;
    return stream;
}

double QvMovieTrack::secondsOf(int64_t units) const {
    return double(units) * info_.timeBaseNumerator / info_.timeBaseDenominator;
}

long QvMovieTrack::frameCount() {
    std::lock_guard<std::mutex> guard(lock_);
    if (store_) return static_cast<long>(durations_.size());
    QvMediaTask task("Reading movie");
    int64_t frames = 0;
    int32_t complete = 0;
    QvMediaResult result = emptyResult();
    if (QvMediaModule::functions().trackScan(track_, -1, task.work(), &frames, &complete, &result) != QV_MEDIA_OK)
        QvMediaModule::raise(result, "Invalid Media Error");
    return static_cast<long>(frames);
}

bool QvMovieTrack::hasFrame(long index) {
    if (index < 0) return false;
    std::lock_guard<std::mutex> guard(lock_);
    if (store_) return index < static_cast<long>(durations_.size());
    QvMediaTask task("Reading movie");
    int64_t frames = 0;
    int32_t complete = 0;
    QvMediaResult result = emptyResult();
    if (QvMediaModule::functions().trackScan(track_, index, task.work(), &frames, &complete, &result) != QV_MEDIA_OK)
        QvMediaModule::raise(result, "Invalid Media Error");
    return index < frames;
}

QvMediaFrameInfo QvMovieTrack::frameInfo(long index) {
    std::lock_guard<std::mutex> guard(lock_);
    QvMediaFrameInfo info{};
    if (store_) {
        info.duration = durations_.at(static_cast<size_t>(index));
        return info;
    }
    QvMediaModule::functions().trackFrameInfo(track_, index, &info);
    return info;
}

// Frames a compressor still holds are read after the stream ends.
void QvMovieTrack::draw(long index, QvPixelBuffer& target, int width, int height) {
    std::lock_guard<std::mutex> guard(lock_);
    if (store_ && index >= readable_) readAll();
    QvMediaTask task("Reading movie");
    QvPictureView view(target, width, height);
    QvMediaResult result = emptyResult();
    if (QvMediaModule::functions().trackDraw(track_, index, view.get(), task.work(), &result) != QV_MEDIA_OK)
        QvMediaModule::raise(result, "Invalid Media Error");
}

bool QvMovieTrack::selfContained(long first, long count, const QvMediaWork* work) {
    std::lock_guard<std::mutex> guard(lock_);
    readAll();
    return QvMediaModule::functions().trackSelfContained(track_, first, count, work) != 0;
}

bool QvMovieTrack::takes(const QvMovieSettings& settings, int width, int height) {
    std::lock_guard<std::mutex> guard(lock_);
    return appending_ && width == info_.width && height == info_.height && settings.compressor == settings_.compressor &&
           settings.spatialQuality == settings_.spatialQuality &&
           settings.temporalQuality == settings_.temporalQuality &&
           settings.keyFrameInterval == settings_.keyFrameInterval && settings.depth == settings_.depth;
}

long QvMovieTrack::append(QvPixelBuffer& picture, int64_t duration) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!appending_) return -1;
    QvPictureView view(picture);
    int64_t readable = 0;
    QvMediaResult result = emptyResult();
    if (QvMediaModule::functions().storeAppend(track_, view.get(), duration, &readable, &result) != QV_MEDIA_OK)
        raiseCompressorFailure(result);
    readable_ = static_cast<long>(readable);
    durations_.push_back(duration);
    return static_cast<long>(durations_.size()) - 1;
}

void QvMovieTrack::endStream() {
    std::lock_guard<std::mutex> guard(lock_);
    readAll();
}

void QvMovieTrack::readAll() {
    if (!appending_) return;
    QvMediaModule::functions().storeEndStream(track_);
    appending_ = false;
    readable_ = static_cast<long>(durations_.size());
}
