// Picture storage, gworlds and their lock discipline, value files and image files,
// and the picture functions of the plug-in interface.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ErrorCapture.h"
#include "Images/QvImageValues.h"
#include "Images/QvPictureApi.h"
#include "Kernels/QvPixelRules.h"
#include "QvGWorld/QvGWorld.h"
#include "Images/QvPictureText.h"
#include "Values/QvValueFile.h"
#include "Values/QvValueKinds.h"
#include "Values/qv_auto_value.h"
#include "HostServices/QvHostServices.h"
#include "Session/QvParser.h"
#include "Windows/QvGraphics.h"

namespace fs = std::filesystem;

namespace {

using PictureRef = qv_auto_value<Qv2DValue>;

std::string scratchPath(const std::string& name) {
    return (fs::temp_directory_path() / ("quarvel-picture-test-" + name)).string();
}

TEST(PictureStorage, RowsAreWholeBlocksOfSixteenPixels) {
    EXPECT_EQ(QvPixelStorage(QvPixelClass::ByteGrey, 17, 2).rowBytes(), 32u);
    EXPECT_EQ(QvPixelStorage(QvPixelClass::FloatColor, 17, 2).rowBytes(), 512u);
    QvPixelStorage storage(QvPixelClass::ByteColor, 5, 3);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(storage.rowBytesAt(0)) % 16, 0u);
    EXPECT_EQ(raisedMessage([] { QvPixelStorage(QvPixelClass::FloatColor, 1 << 20, 1 << 20); }),
              "Invalid image size.");
    EXPECT_EQ(raisedMessage([] { QvPixelStorage::checkedSide(std::nan("")); }), "Invalid image size.");
    EXPECT_EQ(raisedMessage([] { QvPixelStorage::checkedSide(-1); }), "Invalid image size.");
}

TEST(PictureValues, CoercionsFollowThePixelRules) {
    PictureRef frame = QvNewPicture(QV_FRAME, 1, 1);
    frame->pixels().row<bcPix>(0)[0] = {0, 0, 255, 255};
    QvValueRef mono, image;
    frame->CoerceTo(mono, QV_FRAME_MONO);
    frame->CoerceTo(image, QV_IMAGE);
    EXPECT_EQ(QvAsPicture(mono.get())->pixels().row<bgPix>(0)[0].grey, 76);
    fcPix colour = QvAsPicture(image.get())->pixels().row<fcPix>(0)[0];
    EXPECT_EQ(colour.alpha, 1.0f);
    EXPECT_EQ(colour.red, 1.0f);
    EXPECT_EQ(colour.green, 0.0f);
}

TEST(PictureValues, ResizeTakesEverySecondPixelAndClonesKeepTheHeader) {
    PictureRef frame = QvNewPicture(QV_FRAME_MONO, 100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            frame->pixels().row<bgPix>(y)[x].grey = uint8_t(x + y);
    frame->Resize(50, 25);
    EXPECT_EQ(frame->pixels().row<bgPix>(3)[7].grey, 14 + 6);
    frame->setQuality(0.9);
    static_cast<QvImageValueBM&>(*frame).setCompression(QvFrameCompression::byName("PNG"));
    PictureRef copy(QvAsPicture(frame->Clone()));
    EXPECT_EQ(copy->quality(), 0.9);
    EXPECT_EQ(static_cast<QvImageValueBM&>(*copy).compression().name, "PNG");
    EXPECT_EQ(static_cast<QvImageValueBM&>(*copy).compression().code, 0x706e6720u);
}

TEST(GWorld, LockDiscipline) {
    qv_auto_value<QvGWorld> world(new QvGWorld(4, 10));
    EXPECT_EQ(raisedMessage([&] { world->getLine(0); }), "QvGWorld::getLineX() : Pixels NOT locked!!");
    EXPECT_EQ(raisedMessage([&] { world->unlock(); }), "QvGWorld::Unlock() : Pixels already unlocked!!");
    {
        QvGWorldLockScope lock(*world);
        EXPECT_NE(world->getLine(9), nullptr);
        EXPECT_EQ(raisedMessage([&] { world->getLine(10); }), "QvGWorld::getLineX() : Line out of bounds!!");
        EXPECT_EQ(raisedMessage([&] { world->getLine(-1); }), "QvGWorld::getLineX() : Line out of bounds!!");
    }
    EXPECT_EQ(world->lockCount(), 0);
    EXPECT_EQ(raisedMessage([] { QvGWorld(0, 5); }), "Can't create a frame or image with zero area.");
    PictureRef wide = QvNewPicture(QV_FRAME_MONO, 40000, 1);
    EXPECT_EQ(raisedMessage([&] { wide->CreateGWorld(); }), "The picture is too large (at most 32767 pixels a side).");
}

TEST(GWorld, FramesRoundTripThroughAGWorld) {
    PictureRef image = QvNewPicture(QV_IMAGE, 3, 2);
    image->pixels().row<fcPix>(1)[2] = {1.0f, 0.5f, 2.0f, -1.0f};
    qv_auto_value<QvGWorld> world(image->CreateGWorld());
    PictureRef frame(QvAsPicture(QvFrameColorCreateFromGWorld(world.get())));
    bcPix p = frame->pixels().row<bcPix>(1)[2];
    EXPECT_EQ(p.red, 127);
    EXPECT_EQ(p.green, 255);
    EXPECT_EQ(p.blue, 0);
    EXPECT_EQ(p.alpha, 255);
    PictureRef mono(QvAsPicture(QvFrameMonoCreateFromGWorld(world.get())));
    EXPECT_EQ(mono->pixels().row<bgPix>(1)[2].grey, (77 * 127 + 151 * 255) >> 8);
}

TEST(PictureDisplay, WindowsShowTheGWorldAtItsSize) {
    PictureRef picture = QvNewPicture(QV_IMAGE_MONO, 30, 20);
    qv_auto_value<QvGraphics> graphics(new QvGraphics);
    picture->Display(graphics.get());
    short width, height;
    graphics->getSize(&width, &height);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(height, 20);
    ASSERT_EQ(graphics->getCommandList().size(), 1u);
    const QvGraphicsCommand& command = *graphics->getCommandList()[0];
    EXPECT_EQ(command.getID(), QvGraphicsCommandImage);
    ASSERT_NE(command.getGWorld(), nullptr);
    EXPECT_EQ(command.getGWorld()->width(), 30);
    EXPECT_FALSE(graphics->fullEraseNeeded());
}

// A host whose clipboard holds a 3 x 2 picture and no text.
class PictureClipboard : public QvInProcessHostServices {
public:
    std::string clipboardText() override { return {}; }
    QvGWorld* clipboardPicture() override { return new QvGWorld(3, 2); }
};

TEST(PictureClipboardTest, APictureOnTheClipboardReadsAsAFrame) {
    PictureClipboard host;
    QvInstallHostServices(&host);
    QvParser session("set c to ClipBoard; print type of c; print width of c;", 0, nullptr, false);
    session.CheckSyntax();
    session.getConsole().takeUnread();
    session.releaseConsole();
    session.Execute();
    std::string printed = session.getConsole().takeUnread();
    session.releaseConsole();
    QvInstallHostServices(nullptr);
    std::string errors;
    for (ParseError* error : session.getParseErrors()) errors += error->message();
    session.releaseParseErrors();
    EXPECT_EQ(printed, "frame\n3\n") << errors;
}

TEST(PictureText, AMissingFontIsAnError) {
    QvPixelStorage picture(QvPixelClass::ByteColor, 100, 60);
    setenv("QUARVEL_TEXT_FONT", "/nonexistent/font.ttf", 1);
    std::string message = raisedMessage([&] { QvDrawTextIntoPicture(picture, "words"); });
    unsetenv("QUARVEL_TEXT_FONT");
    EXPECT_EQ(message, "Could not load the font for drawing text.");
    QvDrawTextIntoPicture(picture, "words");
    bool lit = false;
    for (int x = 0; x < 100; ++x)
        lit = lit || picture.row<bcPix>(25)[x].red > 0 || picture.row<bcPix>(30)[x].red > 0;
    EXPECT_TRUE(lit);
    EXPECT_EQ(picture.row<bcPix>(10)[10].red, 0);  // outside the box
}

TEST(PictureApi, PixelAccessIsRangeChecked) {
    PictureRef frame(QvAsPicture(QvFrameColorCreate(3, 2)));
    QvFrameColorSetPixelARGB(frame.get(), 2, 1, 0x80FF0000u);
    EXPECT_EQ(frame->pixels().row<bcPix>(1)[2].red, 255);
    EXPECT_EQ(frame->pixels().row<bcPix>(1)[2].alpha, 0x80);
    EXPECT_NE(raisedMessage([&] { QvFrameColorSetPixelARGB(frame.get(), -1, 0, 0); }), "<no error>");
    EXPECT_NE(raisedMessage([&] { QvFrameColorSetPixelARGB(frame.get(), 3, 0, 0); }), "<no error>");
    EXPECT_NE(raisedMessage([&] { QvFrameColorGetLine(frame.get(), 2); }), "<no error>");
    PictureRef image(QvAsPicture(QvImageMonoCreate(2, 2)));
    EXPECT_NE(raisedMessage([&] { QvImageMonoSetPixel(image.get(), 0, 2, 1); }), "<no error>");
    EXPECT_NE(raisedMessage([&] { QvImageMonoSetPixel(frame.get(), 0, 0, 1); }), "<no error>");
    PictureRef doubled(QvAsPicture(QvImageMultiplyByNumber(frame.get(), 2)));
    EXPECT_EQ(doubled->pixels().row<bcPix>(1)[2].red, 255);
    EXPECT_EQ(doubled->pixels().row<bcPix>(1)[2].alpha, 0x80);
}

// The reader never trusts the sizes a file claims.
TEST(PictureFiles, ReaderRefusesSizesTheDataCannotHold) {
    auto read = [](QvTypeEnum type, const std::string& body) {
        std::istringstream in(body);
        std::unique_ptr<QvValue> value(QvValueKinds::readData(type, in));
    };
    auto header = [](int32_t width, int32_t height) {
        std::ostringstream out;
        QvValueFile::writeInt32(out, width);
        QvValueFile::writeInt32(out, height);
        return out.str();
    };
    EXPECT_EQ(raisedMessage([&] { read(QV_IMAGE, header(-1, 5)); }), "File error(Reading Image Data Failed.)");
    EXPECT_EQ(raisedMessage([&] { read(QV_FRAME, header(100000, 100000)); }), "File error(Reading Image Data Failed.)");
    EXPECT_EQ(raisedMessage([&] { read(QV_FRAME_MONO, header(2, 2) + "abc"); }), "File error(Reading Image Data Failed.)");
    EXPECT_EQ(raisedMessage([&] { read(QV_FRAME_MONO, header(2, 2) + "abcd"); }), "<no error>");
}

TEST(PictureFiles, ImagesRoundTripAndFramesExportInTheirCompression) {
    PictureRef image = QvNewPicture(QV_IMAGE, 5, 3);
    image->pixels().row<fcPix>(2)[4] = {0.25f, 0.1f, -3.0f, 7.5f};
    std::string valuePath = scratchPath("image.qvd");
    image->SaveToFile(valuePath);
    PictureRef back(QvAsPicture(QvValueFile::load(valuePath)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetType(), QV_IMAGE);
    EXPECT_EQ(std::memcmp(&back->pixels().row<fcPix>(2)[4], &image->pixels().row<fcPix>(2)[4], sizeof(fcPix)), 0);

    PictureRef frame = QvNewPicture(QV_FRAME, 8, 8);
    std::string jpegPath = scratchPath("frame.png");  // the ending does not choose the format
    frame->SaveToFile(jpegPath);
    std::ifstream file(jpegPath, std::ios::binary);
    unsigned char start[2] = {};
    file.read(reinterpret_cast<char*>(start), 2);
    EXPECT_EQ(start[0], 0xFF);
    EXPECT_EQ(start[1], 0xD8);
    PictureRef loaded(QvAsPicture(QvValueFile::load(jpegPath)));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetType(), QV_FRAME);
    for (const std::string& path : {valuePath, jpegPath}) std::remove(path.c_str());
}

TEST(PictureFiles, JpegFilesShrinkAsQualityFalls) {
    PictureRef frame = QvNewPicture(QV_FRAME, 64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            frame->pixels().row<bcPix>(y)[x] = {uint8_t(x * 4), uint8_t(y * 4), uint8_t((x * y) & 255), 255};
    std::string path = scratchPath("quality.jpg");
    uintmax_t previous = UINTMAX_MAX;
    for (double quality : {1.0, 0.9, 0.75, 0.5, 0.3, 0.1, 0.0}) {
        frame->setQuality(quality);
        frame->SaveToFile(path);
        uintmax_t size = fs::file_size(path);
        EXPECT_LE(size, previous) << "quality " << quality;
        previous = size;
    }
    std::remove(path.c_str());
}

TEST(PictureFiles, TextFilesAreNotPictures) {
    std::string path = scratchPath("plain.txt");
    std::ofstream(path) << "Plain words, one line.\n";
    QvValueRef value(QvValueFile::load(path));
    EXPECT_EQ(value->GetType(), QV_TEXT);
    std::remove(path.c_str());
}

}  // namespace
