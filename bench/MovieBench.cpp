// Movie speed through the media layer, beside the ffmpeg command in the same run, on
// 1920x1080 H.264 clips of FFmpeg's testsrc2 pattern (300 frames at 30 frames/s) that
// the ffmpeg command makes first:
//   decode   frames read in order into 32-bit pictures, against ffmpeg -threads 1
//            decoding the same clip to nothing;
//   encode   pictures appended to a movie with the H.264 compressor and saved,
//            against ffmpeg compressing the same pictures with the same settings
//            (libx264 preset medium, crf 24, key frame every 24, no B-frames);
//   random   frame i of a clip with a key frame every 250 frames, read after a frame
//            elsewhere, against reading the frames from the key frame before i to i
//            in order (our own reading, which makes a picture of every frame), and
//            against ffmpeg -threads 1 decoding as many frames (averaged over random i).
// ffmpeg figures are per frame, its start-up left out: (time for all - time for one) /
// (frames - 1). Times are processor time (every thread of ours; ffmpeg's as a child
// process), so that other work on the machine does not count against either side; the
// decode peer is also shown converting to 32-bit pictures as we do.
// Usage: MovieBench [FRAMES]
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "Errors/QvException.h"
#include "Media/QvMediaMovie.h"
#include "Media/QvMediaPictures.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
const std::string kQuiet = "ffmpeg -hide_banner -loglevel error -nostdin -y ";
constexpr int kPictures = 30;

// Processor seconds of this process, all its threads.
double now() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

double childSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Processor seconds of the command and everything it ran.
double commandSeconds(const std::string& command) {
    double start = childSeconds();
    if (std::system(command.c_str()) != 0) return -1;
    return childSeconds() - start;
}

// Per-frame seconds of an ffmpeg command writing `output`, its start-up left out.
double ffmpegPerFrame(const std::string& command, const std::string& output, int frames) {
    double one = 1e9, all = 1e9;
    for (int run = 0; run < 3; ++run) {
        one = std::min(one, commandSeconds(command + " -frames:v 1 " + output));
        all = std::min(all, commandSeconds(command + " -frames:v " + std::to_string(frames) + " " + output));
    }
    return (all - one) / (frames - 1);
}

QvMediaFileLocation location(const fs::path& path) {
    QvMediaFileLocation file{};
    path.string().copy(file.path, sizeof file.path - 1);
    return file;
}

void line(const char* name, double ours, double peer) {
    std::printf("%-34s %8.3f ms/frame  %7.1f frames/s", name, ours * 1e3, 1 / ours);
    if (peer > 0) std::printf("   ffmpeg %8.3f ms/frame  ratio %.2fx", peer * 1e3, peer / ours);
    std::printf("\n");
}

double decodeInOrder(const fs::path& clip, int frames) {
    std::unique_ptr<QvMediaMovie> movie = QvMediaMovie::openFile(location(clip), clip.string());
    std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(kWidth, kHeight);
    movie->drawFrame(0, *picture);
    double start = now();
    for (int i = 1; i < frames; ++i) movie->drawFrame(i, *picture);
    return (now() - start) / (frames - 1);
}

// The pictures are the 30 of the picture clip over and over, as for the peer.
double encode(const fs::path& pictureClip, const fs::path& folder, int frames) {
    std::unique_ptr<QvMediaMovie> source = QvMediaMovie::openFile(location(pictureClip), pictureClip.string());
    std::vector<std::unique_ptr<QvPixelBuffer>> pictures;
    for (int i = 0; i < kPictures; ++i) pictures.push_back(source->frame(i));
    QvMovieSettings settings;
    settings.setCompressor("H.264");
    settings.setSpatial(0.5);
    settings.keyFrameInterval = 24;
    QvMediaMovie movie;
    double start = now();
    for (int i = 0; i < frames; ++i) movie.insertPicture(i, *pictures[i % pictures.size()], settings);
    movie.flatten(location(folder / "ours.mov"), settings);
    return (now() - start) / frames;
}

// Average over random i of the time to read frame i after a frame far from it, and of
// reading the frames from i's key frame to i in order.
void randomAccess(const fs::path& clip, int frames, double& random, double& inOrder, double& decoded) {
    std::unique_ptr<QvMediaMovie> movie = QvMediaMovie::openFile(location(clip), clip.string());
    QvMovieTrack& track = *movie->segments().front().track;
    std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(kWidth, kHeight);
    std::mt19937 generator(250);
    random = inOrder = decoded = 0;
    constexpr int kTrials = 12;
    for (int trial = 0; trial < kTrials; ++trial) {
        int target = std::uniform_int_distribution<int>(1, frames - 1)(generator);
        int key = target;
        while (key > 0 && !track.frameInfo(key).key) --key;
        movie->drawFrame((target + frames / 2) % frames, *picture);
        double start = now();
        movie->drawFrame(target, *picture);
        random += now() - start;
        std::unique_ptr<QvMediaMovie> fresh = QvMediaMovie::openFile(location(clip), clip.string());
        fresh->drawFrame(key, *picture);
        start = now();
        for (int i = key + 1; i <= target; ++i) fresh->drawFrame(i, *picture);
        // The key frame's own share, at the rate of the others.
        inOrder += (now() - start) * (target - key + 1) / std::max(1, target - key);
        decoded += target - key + 1;
    }
    random /= kTrials;
    inOrder /= kTrials;
    decoded /= kTrials;
}
}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::max(kPictures, std::atoi(argv[1])) : 300;
    fs::path folder = fs::temp_directory_path() / ("qvmoviebench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
    fs::path raw = folder / "testsrc2.yuv", clip = folder / "clip_h264.mp4", sparse = folder / "clip_g250.mp4",
             pictures = folder / "pictures.mov";
    std::string rawFormat = "-f rawvideo -pix_fmt yuv420p -s " + size + " -r 30 ";
    std::string rawInput = kQuiet + rawFormat + "-i " + raw.string();
    bool made = commandSeconds(kQuiet + "-f lavfi -i testsrc2=size=" + size + ":rate=30 -frames:v " +
                               std::to_string(frames) + " -pix_fmt yuv420p -f rawvideo " + raw.string()) >= 0 &&
                commandSeconds(rawInput + " -c:v libx264 -preset medium " + clip.string()) >= 0 &&
                commandSeconds(rawInput + " -c:v libx264 -preset medium -g 250 " + sparse.string()) >= 0 &&
                commandSeconds(rawInput + " -frames:v " + std::to_string(kPictures) + " -c:v png " +
                               pictures.string()) >= 0;
    if (!made) {
        std::fprintf(stderr, "MovieBench: the ffmpeg command is needed to make the clips\n");
        fs::remove_all(folder);
        return 1;
    }
    std::printf("# %d frames of %s testsrc2, H.264 (libx264 medium); %u cores\n", frames, size.c_str(),
                std::max(1u, std::thread::hardware_concurrency()));
    try {
        double peerDecode = ffmpegPerFrame(kQuiet + "-threads 1 -i " + clip.string(), "-f null -", frames);
        double peerDecodeToPictures =
            ffmpegPerFrame(kQuiet + "-threads 1 -i " + clip.string() + " -pix_fmt bgra", "-f null -", frames);
        double ours = decodeInOrder(clip, frames);
        line("decode in order", ours, peerDecode);
        line("  against ffmpeg making BGRA pictures", ours, peerDecodeToPictures);
        // The peer compresses the same 30 pictures over and over.
        double peerEncode = ffmpegPerFrame(kQuiet + "-stream_loop -1 " + rawFormat + "-i " + raw.string() +
                                               " -vf select='lt(n\\," + std::to_string(kPictures) +
                                               ")',loop=-1:" + std::to_string(kPictures) +
                                               ":0 -c:v libx264 -preset medium -crf 24 -g 24 -bf 0",
                                           (folder / "peer.mov").string(), frames);
        line("encode H.264", encode(pictures, folder, frames), peerEncode);
        double random = 0, inOrder = 0, decoded = 0;
        randomAccess(sparse, frames, random, inOrder, decoded);
        double peerSparse = ffmpegPerFrame(kQuiet + "-threads 1 -i " + sparse.string(), "-f null -", frames);
        std::printf("%-34s %8.3f ms (%.0f frames from the key frame)\n", "random frame, key every 250",
                    random * 1e3, decoded);
        std::printf("%-34s %8.3f ms  ratio %.2fx\n", "  reading those frames in order", inOrder * 1e3,
                    random / inOrder);
        std::printf("%-34s %8.3f ms  ratio %.2fx\n", "  ffmpeg -threads 1 decoding them", peerSparse * decoded * 1e3,
                    random / (peerSparse * decoded));
    } catch (QvException* error) {
        std::fprintf(stderr, "MovieBench: %s\n", error->message().c_str());
        delete error;
        fs::remove_all(folder);
        return 1;
    }
    fs::remove_all(folder);
    return 0;
}
