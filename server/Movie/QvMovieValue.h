#pragma once
#include <memory>
#include <string>

#include "Media/QvMovieSettings.h"
#include "QvExport.h"
#include "Values/QvValue.h"

class QvMediaMovie;

// A movie (type "movie"): a sequence of frames held by the media layer, with the
// settings that frames appended to it are compressed by. Frames are read by index,
// exactly; editing (append, prepend, insert, cutting, replacing a frame) moves frames
// without compressing them again, and only pictures added to the movie are compressed.
// A new movie is empty, with the compression settings the host handed over (else the
// defaults); its frames are compressed into a temporary file of its own.
class QV_EXPORT QvMovieValue : public QvValue {
public:
    QvMovieValue();
    explicit QvMovieValue(std::unique_ptr<QvMediaMovie> movie, const QvMovieSettings& settings = {});
    ~QvMovieValue() override;

    // Raise the opening messages: "Cannot open movie file ...", "File ... does not seem
    // to be a movie file." (with the path as the script wrote it), and for addresses
    // "Movie was not found at the specified URL.".
    static QvMovieValue* OpenFile(const std::string& path, const std::string& shownPath);
    static QvMovieValue* OpenURL(const std::string& address);

    // The media layer's movie; edits are applied as they are made.
    QvMediaMovie& media() const { return *movie_; }
    QvMovieSettings& settings() { return settings_; }
    const QvMovieSettings& settings() const { return settings_; }

    long FrameCount() const;
    int Width() const;
    int Height() const;
    // Seconds from the movie's start to frame `index`, and how long it is shown.
    double IndexTime(long index) const;
    double IndexDuration(long index) const;
    // Frame `index` as a new frame value lasting as long as the frame is shown.
    QvValue* Frame(long index) const;
    // Pastes the other movie's frames (it may be this one) at the end, the start or a
    // frame index; an index equal to the length appends.
    void AppendMovie(const QvMovieValue& other);
    void PrependMovie(const QvMovieValue& other);
    void InsertMovie(const QvMovieValue& other, long index);
    // A movie operand is appended, a frame or image laid over every frame; other types
    // raise "QvMovieValue::addTo unimplemented arguments".
    void AddTo(QvValue* value);
    // Sets the frame size: the movie is scaled. Raises "Movie width must be greater
    // than zero" (or height) for a side below 1; non-integers truncate.
    void SetSize(double width, double height);
    // One side; the other keeps its size. An empty movie without a size keeps the side
    // until the other is set too (frames appended first give it their size).
    void SetSide(double size, bool width);
    // Writes the movie into one self-contained movie file at the path.
    void Flatten(const std::string& path) const;

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override { return QV_MOVIE; }
    void Display(QvGraphics* graphics) override;
    void SaveToFile(const std::string& path) const override;
    void CopyToClipboard() const override;

    QvValue* GetProperty(QvPropertyId id) override;
    QvPropertyId PropertyId(const std::string& name) const override;
    void SetProperty(QvPropertyId id, QvValue* value) override;

    void Add(QvValueRef& result, QvValueRef& other) override;
    bool CanHoldResult(QvTypeEnum resultType, QvValue* left) const override;

    void Append(QvValue* value) override;
    void Prepend(QvValue* value) override;
    void Insert(QvValue* value, QvValue* index) override;
    void GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j) override;
    void GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) override;
    void SetIndexed(QvValue* index, QvValueRef& value) override;

    std::string AsText() const override;

private:
    QvMovieValue(const QvMovieValue& other);
    // Puts a movie's content or a picture (as one new frame) at frame `at`; raises the
    // append error for any other value.
    void insertValue(QvValue* value, long at, const char* op);
    void insertPicture(const QvValue& picture, long at);

    std::unique_ptr<QvMediaMovie> movie_;
    QvMovieSettings settings_;
    int pendingWidth_ = 0;
    int pendingHeight_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    bool safeAppendMode_ = false;
};

// The movie a value is, or null.
QV_EXPORT QvMovieValue* QvAsMovie(QvValue* value);
// Whether the path (of a file, or of an address before its query) ends in a movie file
// ending: .mov, .avi, .mpg, .mpeg, .mp4, .m4v, .mkv, .webm, in any case.
bool QvHasMovieEnding(const std::string& path);
// The URL reader: a movie from the address. Raises "The URL "..." does not have a
// recognized ending." for an address without a movie ending.
QV_EXPORT QvValue* QvOpenURL(const std::string& address);
