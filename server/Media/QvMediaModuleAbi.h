#pragma once
/* The boundary between the engine and the media module (quarvel-media.so), which
 * holds every use of the FFmpeg libraries. The engine opens the module on first use
 * and asks it for this table of plain functions; nothing else crosses: no engine
 * classes, no exceptions, no memory that one side allocates and the other frees.
 * Pictures are the caller's buffers; text and bytes come back through callbacks.
 *
 * Every function that can fail returns a QvMediaCode and fills the result record
 * when it is not QV_MEDIA_OK. Objects the module makes (tracks, stores, writers,
 * cameras, outputs) are opaque and closed by their close function. One object is
 * used by one thread at a time; different objects may be used on different threads. */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QV_MEDIA_ABI_VERSION 1u
#define QV_MEDIA_MODULE_ENTRY "QvMediaModuleOpen"

typedef enum QvMediaCode {
    QV_MEDIA_OK = 0,
    QV_MEDIA_FAILED = 1,              /* the message says what */
    QV_MEDIA_OUT_OF_MEMORY = 2,
    QV_MEDIA_STOPPED = 3,             /* the work's stop check asked to stop */
    QV_MEDIA_CANNOT_OPEN = 4,         /* the file cannot be opened; systemError says why */
    QV_MEDIA_NOT_A_MOVIE = 5,         /* opened, but no readable video in it */
    QV_MEDIA_ADDRESS_NOT_FOUND = 6,   /* an address that cannot be reached or read */
    QV_MEDIA_UNKNOWN_COMPRESSOR = 7,  /* no compressor of that name */
    QV_MEDIA_COMPRESSOR_REFUSED = 8,  /* the compressor cannot be opened for this picture */
    QV_MEDIA_SETTINGS_REFUSED = 9,    /* the compressor refuses the settings */
    QV_MEDIA_CANNOT_WRITE = 10,       /* a file cannot be created or written; systemError says why */
    QV_MEDIA_CONTAINER_REFUSED = 11,  /* the file type cannot hold this video */
    QV_MEDIA_NO_DEVICE = 12,          /* no camera or output of that name */
    QV_MEDIA_DEVICE_BUSY = 13,        /* another program holds the device */
    QV_MEDIA_DEVICE_FAILED = 14,      /* the device opened but does not deliver */
    QV_MEDIA_BAD_INDEX = 15           /* a frame index outside the track */
} QvMediaCode;

typedef struct QvMediaResult {
    int32_t code;
    int32_t systemError;  /* the errno value behind QV_MEDIA_CANNOT_OPEN and QV_MEDIA_CANNOT_WRITE, else 0 */
    char message[1024];
} QvMediaResult;

/* A picture of 32-bit pixels, each a native-order word 0xAARRGGBB. Rows may be
 * written up to the next multiple of 16 pixels (the engine's buffers have room). */
typedef struct QvMediaPicture {
    uint8_t* pixels;
    ptrdiff_t rowBytes;
    int32_t width;
    int32_t height;
} QvMediaPicture;

/* The largest side of a picture the engine holds, and the most pixels a decoded
 * picture may have (a bound on what a hostile file can make either side allocate). */
#define QV_MEDIA_MAX_SIDE 32767
#define QV_MEDIA_MAX_PIXELS ((int64_t)1 << 28)

/* Long work asks the caller whether to stop and tells how far it is (0..1). */
typedef struct QvMediaWork {
    void* context;
    int32_t (*shouldStop)(void* context);
    void (*progress)(void* context, double fraction);
} QvMediaWork;

typedef void (*QvMediaTextSink)(void* context, const char* text);
typedef void (*QvMediaByteSink)(void* context, const uint8_t* bytes, size_t size);
/* Makes a picture of the size for the module to fill; non-zero when it cannot. */
typedef int32_t (*QvMediaPictureMaker)(void* context, int32_t width, int32_t height, QvMediaPicture* picture);

/* How pictures are compressed into video frames. */
typedef struct QvMediaCompression {
    const char* compressor;  /* a name from movieCompressorNames */
    double spatialQuality;   /* 0..1 */
    double temporalQuality;  /* 0..1; 0 leaves every frame to stand alone where the compressor allows */
    int32_t keyFrameInterval;/* frames; 0 or 1: every frame a key frame */
    int32_t depth;           /* bits per pixel; 0: the compressor's choice */
} QvMediaCompression;

/* What a track holds. Times are in units of timeBaseNumerator / timeBaseDenominator seconds. */
typedef struct QvMediaTrackInfo {
    int32_t width;           /* the picture size frames are drawn at */
    int32_t height;
    int32_t timeBaseNumerator;
    int32_t timeBaseDenominator;
    char compressor[64];     /* the compressor's name, as movieCompressorNames gives it where it has one */
    uint64_t formatKey;      /* equal keys: the frames of one can be copied into a file of the other */
    int32_t everyFrameKey;   /* every frame decodes on its own */
} QvMediaTrackInfo;

typedef struct QvMediaFrameInfo {
    int64_t time;            /* from the track's first frame */
    int64_t duration;
    int32_t key;             /* decoding can start at this frame */
} QvMediaFrameInfo;

/* Picture settings of cameras, each 0..1. */
typedef enum QvMediaPictureSetting {
    QV_MEDIA_HUE = 0,
    QV_MEDIA_SATURATION = 1,
    QV_MEDIA_BRIGHTNESS = 2,
    QV_MEDIA_CONTRAST = 3,
    QV_MEDIA_SHARPNESS = 4,
    QV_MEDIA_BLACK_LEVEL = 5,
    QV_MEDIA_WHITE_LEVEL = 6,
    QV_MEDIA_GAMMA = 7,
    QV_MEDIA_SETTING_COUNT = 8
} QvMediaPictureSetting;

typedef struct QvMediaTrack QvMediaTrack;
typedef struct QvMediaStore QvMediaStore;
typedef struct QvMediaWriter QvMediaWriter;
typedef struct QvMediaCamera QvMediaCamera;
typedef struct QvMediaOutput QvMediaOutput;

typedef struct QvMediaModuleFunctions {
    uint32_t abiVersion;
    uint32_t size;  /* sizeof(QvMediaModuleFunctions) in the module */

    /* Counted: the first start brings the libraries up. */
    int32_t (*start)(QvMediaResult* result);
    void (*stop)(void);

    /* Pictures and image files. */
    void (*imageCompressorNames)(QvMediaTextSink sink, void* context);
    int32_t (*imageRecognise)(const uint8_t* bytes, size_t size);
    int32_t (*imageDecode)(const uint8_t* bytes, size_t size, QvMediaPictureMaker maker, void* context,
                           QvMediaResult* result);
    int32_t (*imageEncode)(const QvMediaPicture* picture, const char* compression, double quality,
                           QvMediaByteSink sink, void* context, QvMediaResult* result);
    /* Scales the whole source into the whole target. */
    int32_t (*pictureScale)(const QvMediaPicture* source, const QvMediaPicture* target, QvMediaResult* result);

    /* Compressors of video frames; the first is the default. */
    void (*movieCompressorNames)(QvMediaTextSink sink, void* context);
    /* Compresses a picture as one frame and decodes it again: what a still layer keeps. */
    int32_t (*compressStill)(const QvMediaPicture* picture, const QvMediaCompression* compression,
                             const QvMediaPicture* target, QvMediaResult* result);

    /* Tracks: the video of a movie file or address, read frame by frame. The table of
     * frames is made from the stream's own packet times, without decoding, as far as
     * it is asked for. */
    int32_t (*trackOpenFile)(const char* path, const QvMediaWork* work, QvMediaTrack** track, QvMediaResult* result);
    int32_t (*trackOpenAddress)(const char* address, const QvMediaWork* work, QvMediaTrack** track,
                                QvMediaResult* result);
    void (*trackInfo)(QvMediaTrack* track, QvMediaTrackInfo* info);
    /* Extends the frame table until it holds frame `index` (all frames for -1);
     * `frames` is the number known and `complete` whether that is all of them. */
    int32_t (*trackScan)(QvMediaTrack* track, int64_t index, const QvMediaWork* work, int64_t* frames,
                         int32_t* complete, QvMediaResult* result);
    /* Frame `index` must be known to the table. */
    void (*trackFrameInfo)(QvMediaTrack* track, int64_t index, QvMediaFrameInfo* info);
    /* Whether frames [first, first + count) decode on their own, so that a writer can
     * copy them: they start on a key frame and no other frame comes between them. */
    int32_t (*trackSelfContained)(QvMediaTrack* track, int64_t first, int64_t count, const QvMediaWork* work);
    /* Draws frame `index`, scaled to the target's size. */
    int32_t (*trackDraw)(QvMediaTrack* track, int64_t index, const QvMediaPicture* target, const QvMediaWork* work,
                         QvMediaResult* result);
    void (*trackClose)(QvMediaTrack* track);

    /* Stores: a file of compressed frames that movies append to. Each stream of a
     * store has one compressor and picture size; it is read as a track. */
    int32_t (*storeCreate)(const char* path, QvMediaStore** store, QvMediaResult* result);
    int32_t (*storeBeginStream)(QvMediaStore* store, const QvMediaCompression* compression, int32_t width,
                                int32_t height, int32_t timeScale, QvMediaTrack** track, QvMediaResult* result);
    /* Appends a picture to the track's stream (made by storeBeginStream, picture of its
     * size). A compressor may hold pictures back: `readable` is the number of the
     * stream's frames that can be read now; ending the stream makes all readable. */
    int32_t (*storeAppend)(QvMediaTrack* track, const QvMediaPicture* picture, int64_t duration, int64_t* readable,
                           QvMediaResult* result);
    /* Ends appending to the stream; its frames stay readable. */
    void (*storeEndStream)(QvMediaTrack* track);
    /* The store's file is removed when the store and every track of it are closed. */
    void (*storeClose)(QvMediaStore* store);

    /* Writers: one movie file with one video stream. `container` is a file name whose
     * ending chooses the file type (QuickTime when it has none). */
    int32_t (*writerCreate)(const char* path, const char* container, QvMediaWriter** writer, QvMediaResult* result);
    /* The stream copies the format of `like` (frames are copied), or, with `like`
     * null, compresses pictures of width x height. */
    int32_t (*writerBeginVideo)(QvMediaWriter* writer, QvMediaTrack* like, const QvMediaCompression* compression,
                                int32_t width, int32_t height, int32_t timeBaseNumerator,
                                int32_t timeBaseDenominator, QvMediaResult* result);
    /* Whether frames of the track can be copied into the stream unchanged. */
    int32_t (*writerCanCopy)(QvMediaWriter* writer, QvMediaTrack* track);
    /* Copies frames [first, first + count) of the track, which must be self-contained;
     * times are in the writer's time base, `time` the first frame's, each of the track's
     * times multiplied by `timeScale`. */
    int32_t (*writerCopy)(QvMediaWriter* writer, QvMediaTrack* track, int64_t first, int64_t count, int64_t time,
                          double timeScale, const QvMediaWork* work, QvMediaResult* result);
    int32_t (*writerAppend)(QvMediaWriter* writer, const QvMediaPicture* picture, int64_t time, int64_t duration,
                            QvMediaResult* result);
    int32_t (*writerFinish)(QvMediaWriter* writer, QvMediaResult* result);
    void (*writerClose)(QvMediaWriter* writer);

    /* Cameras. Names of the devices found (the virtual test camera among them unless
     * hidden); `name` null opens the default. */
    void (*cameraNames)(QvMediaTextSink sink, void* context);
    int32_t (*cameraOpen)(const char* name, int32_t width, int32_t height, double frameRate, QvMediaCamera** camera,
                          QvMediaResult* result);
    /* The next picture from the camera, scaled to the target's size. */
    int32_t (*cameraGrab)(QvMediaCamera* camera, const QvMediaPicture* target, const QvMediaWork* work,
                          QvMediaResult* result);
    int32_t (*cameraGetSetting)(QvMediaCamera* camera, int32_t setting, double* value);
    int32_t (*cameraSetSetting)(QvMediaCamera* camera, int32_t setting, double value, QvMediaResult* result);
    /* 0 composite, 1 s-video, 2 RGB, other: unknown. */
    int32_t (*cameraInputFormat)(QvMediaCamera* camera);
    void (*cameraClose)(QvMediaCamera* camera);

    /* Video outputs: "null" always, a window where a display exists, loopback devices. */
    void (*outputNames)(QvMediaTextSink sink, void* context);
    int32_t (*outputOpen)(const char* name, int32_t width, int32_t height, QvMediaOutput** output,
                          QvMediaResult* result);
    int32_t (*outputShow)(QvMediaOutput* output, const QvMediaPicture* picture, QvMediaResult* result);
    void (*outputClose)(QvMediaOutput* output);
} QvMediaModuleFunctions;

/* The module's one entry point: its table when it speaks this version, else null. */
typedef const QvMediaModuleFunctions* (*QvMediaModuleEntry)(uint32_t abiVersion);

#ifdef __cplusplus
}
#endif
