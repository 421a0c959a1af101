// The module's entry point and its table of plain functions: each turns the module's
// failures into result records, so that nothing but codes and texts crosses to the engine.
#include <cstring>
#include <mutex>
#include <new>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvCompressors.h"
#include "MediaModule/QvDecoder.h"
#include "MediaModule/QvDemuxedSource.h"
#include "MediaModule/QvFFmpegImageCodec.h"
#include "MediaModule/QvFrameEncoder.h"
#include "MediaModule/QvMediaCamera.h"
#include "MediaModule/QvMediaOutput.h"
#include "MediaModule/QvMediaStore.h"
#include "MediaModule/QvMediaTrack.h"
#include "MediaModule/QvMediaWriter.h"
#include "MediaModule/QvModuleFailure.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace {
// The largest single allocation the libraries may make: a hostile file cannot make them
// ask for more.
constexpr size_t kMostAllocated = size_t(512) << 20;

std::mutex startLock;
int startCount = 0;

void fill(QvMediaResult* result, QvMediaCode code, const std::string& message, int systemError) {
    if (!result) return;
    result->code = code;
    result->systemError = systemError;
    size_t length = std::min(message.size(), sizeof result->message - 1);
    std::memcpy(result->message, message.data(), length);
    result->message[length] = '\0';
}

template <class Body>
int32_t guarded(QvMediaResult* result, Body&& body) {
    try {
        body();
        return QV_MEDIA_OK;
    } catch (const QvModuleFailure& failure) {
        fill(result, failure.code, failure.message, failure.systemError);
        return failure.code;
    } catch (const std::bad_alloc&) {
        fill(result, QV_MEDIA_OUT_OF_MEMORY, "", 0);
        return QV_MEDIA_OUT_OF_MEMORY;
    } catch (const std::exception& error) {
        fill(result, QV_MEDIA_FAILED, error.what(), 0);
        return QV_MEDIA_FAILED;
    }
}

template <class Names>
void sendNames(const Names& names, QvMediaTextSink sink, void* context) {
    for (const std::string& name : names) sink(context, name.c_str());
}

// ---- Start and stop ---------------------------------------------------------------

int32_t start(QvMediaResult* result) {
    return guarded(result, [] {
        std::lock_guard<std::mutex> guard(startLock);
        if (startCount++ > 0) return;
        // Problems reach the engine as results; the libraries' own log would only repeat them.
        av_log_set_level(AV_LOG_QUIET);
        av_max_alloc(kMostAllocated);
        avdevice_register_all();
        avformat_network_init();
    });
}

void stop() {
    std::lock_guard<std::mutex> guard(startLock);
    if (startCount > 0 && --startCount == 0) avformat_network_deinit();
}

// ---- Pictures ---------------------------------------------------------------------

void imageCompressorNames(QvMediaTextSink sink, void* context) {
    sendNames(QvFFmpegImageCodec::compressorNames(), sink, context);
}

int32_t imageRecognise(const uint8_t* bytes, size_t size) {
    int32_t recognised = 0;
    guarded(nullptr, [&] { recognised = QvFFmpegImageCodec::recognises(bytes, size) ? 1 : 0; });
    return recognised;
}

int32_t imageDecode(const uint8_t* bytes, size_t size, QvMediaPictureMaker maker, void* context,
                    QvMediaResult* result) {
    return guarded(result, [&] { QvFFmpegImageCodec::decode(bytes, size, maker, context); });
}

int32_t imageEncode(const QvMediaPicture* picture, const char* compression, double quality, QvMediaByteSink sink,
                    void* context, QvMediaResult* result) {
    return guarded(result, [&] {
        std::vector<uint8_t> bytes = QvFFmpegImageCodec::encode(*picture, compression, quality);
        sink(context, bytes.data(), bytes.size());
    });
}

int32_t pictureScale(const QvMediaPicture* source, const QvMediaPicture* target, QvMediaResult* result) {
    return guarded(result, [&] { QvPictureConverter().scalePicture(*source, *target); });
}

// ---- Compressors ------------------------------------------------------------------

void movieCompressorNames(QvMediaTextSink sink, void* context) {
    for (const QvCompressor& compressor : QvCompressors::all()) sink(context, compressor.name.c_str());
}

// One picture through the compressor and back, as a frame that stands alone.
int32_t compressStill(const QvMediaPicture* picture, const QvMediaCompression* compression,
                      const QvMediaPicture* target, QvMediaResult* result) {
    return guarded(result, [&] {
        QvMediaCompression still = *compression;
        still.keyFrameInterval = 1;
        QvFrameEncoder encoder(still, picture->width, picture->height, AVRational{1, 30000}, false, false);
        QvPacketHandle kept(QvModuleCheckMemory(av_packet_alloc()));
        auto keep = [&](AVPacket& packet, int64_t) {
            if (!kept->data && av_packet_ref(kept.get(), &packet) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
        };
        encoder.encode(*picture, 0, 1, true, keep);
        encoder.flush(keep);
        QvCodecContextHandle decoder = QvOpenDecoder(encoder.parameters(), AVRational{1, 30000}, false);
        QvFrameHandle frame(QvModuleCheckMemory(av_frame_alloc()));
        avcodec_send_packet(decoder.get(), kept.get());
        avcodec_send_packet(decoder.get(), nullptr);
        if (avcodec_receive_frame(decoder.get(), frame.get()) < 0) QvModuleFail(QV_MEDIA_COMPRESSOR_REFUSED);
        QvPictureConverter().frameToPicture(*frame, picture->width, picture->height, *target);
    });
}

// ---- Tracks -----------------------------------------------------------------------

// A movie whose first frame does not decode is no movie.
QvMediaTrack* checkedTrack(std::unique_ptr<QvPacketSource> source, const QvModuleWork& work, QvMediaCode failure) {
    std::unique_ptr<QvMediaTrack> track(new QvMediaTrack(std::move(source)));
    try {
        track->scan(0, work);
        if (track->knownFrames() > 0) track->decode(0, work);
    } catch (const QvModuleFailure& error) {
        if (error.code == QV_MEDIA_STOPPED || error.code == QV_MEDIA_OUT_OF_MEMORY) throw;
        QvModuleFail(failure, error.message);
    }
    return track.release();
}

int32_t trackOpenFile(const char* path, const QvMediaWork* work, QvMediaTrack** track, QvMediaResult* result) {
    return guarded(result, [&] {
        QvModuleWork poll(work);
        *track = checkedTrack(QvDemuxedSource::openFile(path, poll), poll, QV_MEDIA_NOT_A_MOVIE);
    });
}

int32_t trackOpenAddress(const char* address, const QvMediaWork* work, QvMediaTrack** track,
                         QvMediaResult* result) {
    return guarded(result, [&] {
        QvModuleWork poll(work);
        *track = checkedTrack(QvDemuxedSource::openAddress(address, poll), poll, QV_MEDIA_ADDRESS_NOT_FOUND);
    });
}

void trackInfo(QvMediaTrack* track, QvMediaTrackInfo* info) { *info = track->info(); }

int32_t trackScan(QvMediaTrack* track, int64_t index, const QvMediaWork* work, int64_t* frames, int32_t* complete,
                  QvMediaResult* result) {
    int32_t code = guarded(result, [&] { track->scan(index, QvModuleWork(work)); });
    *frames = track->knownFrames();
    *complete = track->complete() ? 1 : 0;
    return code;
}

void trackFrameInfo(QvMediaTrack* track, int64_t index, QvMediaFrameInfo* info) { *info = track->frameInfo(index); }

int32_t trackSelfContained(QvMediaTrack* track, int64_t first, int64_t count, const QvMediaWork* work) {
    int32_t contained = 0;
    guarded(nullptr, [&] { contained = track->isSelfContained(first, count, QvModuleWork(work)) ? 1 : 0; });
    return contained;
}

int32_t trackDraw(QvMediaTrack* track, int64_t index, const QvMediaPicture* target, const QvMediaWork* work,
                  QvMediaResult* result) {
    return guarded(result, [&] { track->draw(index, *target, QvModuleWork(work)); });
}

void trackClose(QvMediaTrack* track) { delete track; }

// ---- Stores -----------------------------------------------------------------------

int32_t storeCreate(const char* path, QvMediaStore** store, QvMediaResult* result) {
    return guarded(result, [&] { *store = new QvMediaStore(path); });
}

int32_t storeBeginStream(QvMediaStore* store, const QvMediaCompression* compression, int32_t width, int32_t height,
                         int32_t timeScale, QvMediaTrack** track, QvMediaResult* result) {
    return guarded(result, [&] {
        auto source = std::make_unique<QvStoreSource>(store->file, *compression, width, height, timeScale);
        QvStoreSource* stream = source.get();
        *track = new QvMediaTrack(std::move(source), stream);
    });
}

int32_t storeAppend(QvMediaTrack* track, const QvMediaPicture* picture, int64_t duration, int64_t* readable,
                    QvMediaResult* result) {
    return guarded(result, [&] {
        if (!track->store()) QvModuleFail(QV_MEDIA_FAILED, "The track is no stream of a store.");
        track->store()->append(*picture, duration);
        track->storeGrew();
        *readable = track->store()->readableFrames();
    });
}

void storeEndStream(QvMediaTrack* track) {
    guarded(nullptr, [&] {
        if (!track->store()) return;
        track->store()->end();
        track->storeGrew();
    });
}

void storeClose(QvMediaStore* store) { delete store; }

// ---- Writers ----------------------------------------------------------------------

int32_t writerCreate(const char* path, const char* container, QvMediaWriter** writer, QvMediaResult* result) {
    return guarded(result, [&] { *writer = new QvMediaWriter(path, container ? container : ""); });
}

int32_t writerBeginVideo(QvMediaWriter* writer, QvMediaTrack* like, const QvMediaCompression* compression,
                         int32_t width, int32_t height, int32_t timeBaseNumerator, int32_t timeBaseDenominator,
                         QvMediaResult* result) {
    return guarded(result, [&] {
        writer->beginVideo(like, compression, width, height, AVRational{timeBaseNumerator, timeBaseDenominator});
    });
}

int32_t writerCanCopy(QvMediaWriter* writer, QvMediaTrack* track) {
    int32_t can = 0;
    guarded(nullptr, [&] { can = writer->canCopy(*track) ? 1 : 0; });
    return can;
}

int32_t writerCopy(QvMediaWriter* writer, QvMediaTrack* track, int64_t first, int64_t count, int64_t time,
                   double timeScale, const QvMediaWork* work, QvMediaResult* result) {
    return guarded(result, [&] { writer->copy(*track, first, count, time, timeScale, QvModuleWork(work)); });
}

int32_t writerAppend(QvMediaWriter* writer, const QvMediaPicture* picture, int64_t time, int64_t duration,
                     QvMediaResult* result) {
    return guarded(result, [&] { writer->append(*picture, time, duration); });
}

int32_t writerFinish(QvMediaWriter* writer, QvMediaResult* result) {
    return guarded(result, [&] { writer->finish(); });
}

void writerClose(QvMediaWriter* writer) { delete writer; }

// ---- Cameras ----------------------------------------------------------------------

void cameraNames(QvMediaTextSink sink, void* context) { sendNames(QvMediaCamera::names(), sink, context); }

int32_t cameraOpen(const char* name, int32_t width, int32_t height, double frameRate, QvMediaCamera** camera,
                   QvMediaResult* result) {
    return guarded(result, [&] { *camera = new QvMediaCamera(name, width, height, frameRate); });
}

int32_t cameraGrab(QvMediaCamera* camera, const QvMediaPicture* target, const QvMediaWork* work,
                   QvMediaResult* result) {
    return guarded(result, [&] { camera->grab(*target, QvModuleWork(work)); });
}

int32_t cameraGetSetting(QvMediaCamera* camera, int32_t setting, double* value) {
    return camera->getSetting(setting, *value) ? 1 : 0;
}

int32_t cameraSetSetting(QvMediaCamera* camera, int32_t setting, double value, QvMediaResult* result) {
    return guarded(result, [&] { camera->setSetting(setting, value); });
}

int32_t cameraInputFormat(QvMediaCamera* camera) { return camera->inputFormat(); }

void cameraClose(QvMediaCamera* camera) { delete camera; }

// ---- Outputs ----------------------------------------------------------------------

void outputNames(QvMediaTextSink sink, void* context) { sendNames(QvMediaOutput::names(), sink, context); }

int32_t outputOpen(const char* name, int32_t width, int32_t height, QvMediaOutput** output, QvMediaResult* result) {
    return guarded(result, [&] { *output = new QvMediaOutput(name ? name : "", width, height); });
}

int32_t outputShow(QvMediaOutput* output, const QvMediaPicture* picture, QvMediaResult* result) {
    return guarded(result, [&] { output->show(*picture); });
}

void outputClose(QvMediaOutput* output) { delete output; }

const QvMediaModuleFunctions kFunctions = {
    QV_MEDIA_ABI_VERSION, sizeof(QvMediaModuleFunctions),
    start, stop,
    imageCompressorNames, imageRecognise, imageDecode, imageEncode, pictureScale,
    movieCompressorNames, compressStill,
    trackOpenFile, trackOpenAddress, trackInfo, trackScan, trackFrameInfo, trackSelfContained, trackDraw, trackClose,
    storeCreate, storeBeginStream, storeAppend, storeEndStream, storeClose,
    writerCreate, writerBeginVideo, writerCanCopy, writerCopy, writerAppend, writerFinish, writerClose,
    cameraNames, cameraOpen, cameraGrab, cameraGetSetting, cameraSetSetting, cameraInputFormat, cameraClose,
    outputNames, outputOpen, outputShow, outputClose,
};
}  // namespace

extern "C" __attribute__((visibility("default"))) const QvMediaModuleFunctions* QvMediaModuleOpen(uint32_t abiVersion) {
    return abiVersion == QV_MEDIA_ABI_VERSION ? &kFunctions : nullptr;
}
