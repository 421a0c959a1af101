// Flattening a movie: every frame into one self-contained file, copied unchanged where
// the file's stream takes it, compressed where it must be (pictures put together from
// overlays or scaled, frames of another format).
#include <cerrno>
#include <cmath>
#include <numeric>

#include "Errors/QvErrors.h"
#include "Errors/QvException.h"
#include "Files/QvAtomicFile.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaMovie.h"
#include "Media/QvMediaPictures.h"
#include "Media/QvMediaTask.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {
const char* const kCannotSave = "Could not save movie file.";
const char* const kCannotFlatten = "Could not create movie (FlattenMovieData)";
const char* const kBusy = "File is open in another application";

bool busy(int error) { return error == EBUSY || error == ETXTBSY; }

[[noreturn]] void raiseWriting(const QvMediaResult& result, const char* otherwise) {
    switch (result.code) {
    case QV_MEDIA_STOPPED:
    case QV_MEDIA_OUT_OF_MEMORY: QvMediaModule::raise(result, otherwise);
    case QV_MEDIA_CANNOT_WRITE: QvError(busy(result.systemError) ? kBusy : kCannotSave);
    case QV_MEDIA_CONTAINER_REFUSED: QvError(kCannotSave);
    case QV_MEDIA_UNKNOWN_COMPRESSOR:
    case QV_MEDIA_COMPRESSOR_REFUSED: QvError("Can't open movie compressor");
    case QV_MEDIA_SETTINGS_REFUSED: QvError("Movie compression preferences appear invalid.");
    default: QvError(otherwise);
    }
}

void check(int32_t code, const QvMediaResult& result, const char* otherwise) {
    if (code != QV_MEDIA_OK) raiseWriting(result, otherwise);
}

// The writer of the temporary file, removed unless finished.
class Writer {
public:
    Writer(const std::string& path, const std::string& container) : module_(QvMediaModule::functions()) {
        QvMediaResult result{};
        check(module_.writerCreate(path.c_str(), container.c_str(), &writer_, &result), result, kCannotSave);
    }
    ~Writer() { module_.writerClose(writer_); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    QvMediaWriter* get() const { return writer_; }

private:
    const QvMediaModuleFunctions& module_;
    QvMediaWriter* writer_ = nullptr;
};

bool shownAsStored(const QvMovieSegment& segment, int width, int height) {
    return segment.overlays.empty() && segment.width == segment.track->width() &&
           segment.height == segment.track->height() && segment.width == width && segment.height == height;
}

struct Rational {
    int64_t numerator;
    int64_t denominator;
};

Rational reduced(int64_t numerator, int64_t denominator) {
    int64_t common = std::gcd(numerator, denominator);
    return Rational{numerator / common, denominator / common};
}
}  // namespace

void QvMediaMovie::flatten(const QvMediaFileLocation& file, const QvMovieSettings& settings) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    QvMediaTask task("Saving movie");
    const std::vector<QvMovieSegment> parts = segments();
    long total = frameCount();
    if (total == 0) QvError(kCannotSave);
    int movieWidth = width(), movieHeight = height();

    // The file's stream takes the format of the first frames when every frame can be
    // copied into it; else the settings' compressor at the movie's size.
    const QvMediaTrackInfo& firstFormat = parts.front().track->info();
    bool copyAll = true;
    for (const QvMovieSegment& part : parts)
        copyAll = copyAll && shownAsStored(part, movieWidth, movieHeight) &&
                  part.track->info().formatKey == firstFormat.formatKey &&
                  part.track->selfContained(part.first, part.count, task.work());
    bool oneTimeBase = true;
    for (const QvMovieSegment& part : parts)
        oneTimeBase = oneTimeBase && part.track->info().timeBaseNumerator == firstFormat.timeBaseNumerator &&
                      part.track->info().timeBaseDenominator == firstFormat.timeBaseDenominator;
    Rational base = oneTimeBase ? Rational{firstFormat.timeBaseNumerator, firstFormat.timeBaseDenominator}
                                : Rational{1, QvMovieSettings::kTimeScale};

    // Frame durations in the base, at the preferred rate; the file's time base is the
    // largest unit they are all whole numbers of.
    std::vector<int64_t> durations;
    int64_t unit = 0;
    for (const QvMovieSegment& part : parts)
        for (long frame = part.first; frame < part.first + part.count; ++frame) {
            double seconds = part.track->secondsOf(part.track->frameInfo(frame).duration) / rate_;
            durations.push_back(std::max<int64_t>(1, std::llround(seconds * base.denominator / base.numerator)));
            unit = std::gcd(unit, durations.back());
        }
    for (int64_t& duration : durations) duration /= unit;
    Rational timeBase = reduced(base.numerator * unit, base.denominator);
    if (timeBase.numerator > INT32_MAX || timeBase.denominator > INT32_MAX) timeBase = Rational{1, QvMovieSettings::kTimeScale};

    // The file is written beside its place and takes it only when complete; a device or
    // a pipe, which cannot be replaced, cannot take a movie either (it is written by seeking).
    std::unique_ptr<QvAtomicFile> target;
    try {
        target = std::make_unique<QvAtomicFile>(file.path);
    } catch (QvException* error) {
        delete error;
        QvError(kCannotSave);
    }
    if (target->temporaryPath() == file.path) QvError(kCannotSave);
    {
        Writer writer(target->temporaryPath(), file.path);
        QvMediaCompression compression = settings.compression();
        QvMediaResult result{};
        int32_t code = copyAll ? parts.front().track->with([&](QvMediaTrack* track) {
            return module.writerBeginVideo(writer.get(), track, nullptr, movieWidth, movieHeight,
                                           int32_t(timeBase.numerator), int32_t(timeBase.denominator), &result);
        })
                               : module.writerBeginVideo(writer.get(), nullptr, &compression, movieWidth, movieHeight,
                                                         int32_t(timeBase.numerator), int32_t(timeBase.denominator),
                                                         &result);
        check(code, result, kCannotSave);

        std::unique_ptr<QvPixelBuffer> picture;
        long done = 0;
        int64_t time = 0;
        for (const QvMovieSegment& part : parts) {
            int64_t partLength = 0;
            for (long i = 0; i < part.count; ++i) partLength += durations[static_cast<size_t>(done + i)];
            bool copied = copyAll || (shownAsStored(part, movieWidth, movieHeight) &&
                                      part.track->selfContained(part.first, part.count, task.work()) &&
                                      part.track->with([&](QvMediaTrack* track) {
                                          return module.writerCanCopy(writer.get(), track) != 0;
                                      }));
            if (copied) {
                task.setSpan(double(done) / total, double(done + part.count) / total);
                double scale = 1 / rate_;
                code = part.track->with([&](QvMediaTrack* track) {
                    return module.writerCopy(writer.get(), track, part.first, part.count, time, scale, task.work(),
                                             &result);
                });
                check(code, result, kCannotFlatten);
            } else {
                if (!picture) picture = QvNewPicture(movieWidth, movieHeight);
                int64_t at = time;
                for (long i = 0; i < part.count; ++i) {
                    task.checkStop();
                    drawFrame(done + i, *picture);
                    int64_t duration = durations[static_cast<size_t>(done + i)];
                    QvPictureView view(*picture);
                    check(module.writerAppend(writer.get(), view.get(), at, duration, &result), result, kCannotFlatten);
                    at += duration;
                    task.report(double(done + i + 1) / total);
                }
            }
            time += partLength;
            done += part.count;
            task.report(double(done) / total);
        }
        check(module.writerFinish(writer.get(), &result), result, kCannotFlatten);
    }
    try {
        target->commit();
    } catch (QvException* error) {
        delete error;
        QvError(kCannotSave);
    }
}
