// Draw and Fractal as scripts meet them: every failure message, the order in which
// arguments are checked, and windows that show a drawn picture.
#include <gtest/gtest.h>

#include <string>

#include "Plugins/QvParameterBlock.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"
#include "ScriptRun.h"
#include "Session/QvParser.h"
#include "Windows/QvGraphics.h"
#include "Windows/QvWindow.h"

namespace {

// Probe.WindowPixel(id, x, y): the red byte at (x, y) of the picture the calling
// session's window of that title shows now.
QvValue* WindowPixel(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    std::string id = QvParameterBlockGetTextValue(parameters, "id");
    long x = long(QvParameterBlockGetNumberValue(parameters, "x")), y = long(QvParameterBlockGetNumberValue(parameters, "y"));
    QvParser* session = parameters->session();
    double red = -1;
    for (QvWindow* window : session->getWindowList()) {
        if (window->getTitle() != id) continue;
        qv_auto_value<QvGraphics> graphics = window->getQvGraphics();
        for (const auto& command : graphics->getCommandList()) {
            QvGWorld* world = command->getGWorld();
            if (!world) continue;
            world->lock();
            red = (world->getLine(y)[x] >> 16) & 0xFF;
            world->unlock();
        }
    }
    session->releaseWindowList();
    return QvNumberCreate(red);
}

class DrawingFunctions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QvPluginRegistryInitInternal();
        QvPluginSignature* signature = QvPluginSignatureCreate(3, QV_NUMBER, WindowPixel);
        QvPluginSignatureSetParam(signature, QV_TEXT, "id", QvParameterRequired, QvArgumentNotConsumed);
        QvPluginSignatureSetParam(signature, QV_NUMBER, "x", QvParameterRequired, QvArgumentNotConsumed);
        QvPluginSignatureSetParam(signature, QV_NUMBER, "y", QvParameterRequired, QvArgumentNotConsumed);
        QvPluginSignatureCommit(signature, "Probe", "WindowPixel", "");
    }
    static void TearDownTestSuite() { QvDeletePluginRegistry(); }

    static std::string failed(const std::string& message) {
        return "RunTime Error\nerror: Plugin failed with error (#-1):\n\t" + message;
    }
};

}  // namespace

TEST_F(DrawingFunctions, EveryFailureHasItsMessage) {
    const std::string frame = "set f to frame; set size of f to {4, 4};\n";
    const std::pair<std::string, std::string> cases[] = {
        {frame + "Draw.Line(&f, mode -> \"Copy\");", failed("Invalid Drawing mode specified.")},
        {frame + "Draw.Circle(&f, 1, mode -> \"\");", failed("Invalid Drawing mode specified.")},
        {frame + "Draw.Circle(f, 1);", "RunTime Error\nerror: Function \"Draw.Circle\" was called with incorrect arguments."},
        {"Fractal.Mandelbrot(width -> 1);", failed("Illegal size, must be between 2 and 32767")},
        {"Fractal.Mandelbrot(height -> 32768);", failed("Illegal size, must be between 2 and 32767")},
        {"Fractal.Julia(0, 0, size -> 1.9);", failed("Illegal size, must be between 2 and 32767")},
        {"Fractal.Julia(0, 0, numbercolors -> 0.5);", failed("Illegal number of colors, must be greater than 0")},
        {"Fractal.Mandelbrot(colortype -> \"Log\");", failed("Illegal colortype name")},
        {"Fractal.Mandelbrot(colortype -> \"fade\", winding -> 0);",
         failed("Illegal winding number, must be greater than 0")},
        {"Fractal.Julia(0, 0, gradient -> 0);", failed("Illegal gradient, must be greater than 0")},
        {"Fractal.Mandelbrot(colortype -> \"log\", gradient -> -1);", failed("Illegal gradient, must be greater than 0")},
        // Sizes are checked first, then the number of colours, then the table.
        {"Fractal.Mandelbrot(width -> 1, numbercolors -> 0, colortype -> \"x\");",
         failed("Illegal size, must be between 2 and 32767")},
        {"Fractal.Mandelbrot(numbercolors -> 0, colortype -> \"x\");",
         failed("Illegal number of colors, must be greater than 0")},
        {"Fractal.Mandelbrot(colortype -> \"x\", gradient -> 0);", failed("Illegal colortype name")},
    };
    for (const auto& [script, expected] : cases) EXPECT_EQ(runScript(script), expected) << script;
}

// Settings that only some tables use are not checked for the others.
TEST_F(DrawingFunctions, UnusedColourSettingsAreNotChecked) {
    EXPECT_EQ(runScript("print size of Fractal.Mandelbrot(width -> 4, height -> 3, colortype -> \"cycle\", "
                        "winding -> -1, gradient -> -1);"),
              "4\t3\n");
    EXPECT_EQ(runScript("print size of Fractal.Julia(0, 0, 4, 5, colortype -> \"fade\", gradient -> 0);"), "5\t5\n");
}

// A window variable referring to the drawn picture shows every change.
TEST_F(DrawingFunctions, WindowsShowThePictureAsDrawn) {
    EXPECT_EQ(runScript("set f to frame; set size of f to {4, 3};\n"
                        "set window \"view\" to reference f;\n"
                        "print Probe.WindowPixel(\"view\", 2, 1);\n"
                        "Draw.Line(&f, 0, 1, 3, 1, {1, 0.5, 0} as color);\n"
                        "print Probe.WindowPixel(\"view\", 2, 1);\n"
                        "Draw.Rectangle(&f, 3, 0, 0, 1, {0.2, 0, 0} as color, true);\n"
                        "print Probe.WindowPixel(\"view\", 2, 1);\n"),
              "0\n255\n51\n");
}

// Drawing on a picture that another variable shares changes only the variable passed.
TEST_F(DrawingFunctions, SharedPicturesAreCopiedBeforeDrawing) {
    EXPECT_EQ(runScript("set f to frame_mono; set size of f to {3, 3};\n"
                        "set g to f;\n"
                        "Draw.Circle(&g, 1, 1, 1, {1, 1, 1} as color, true);\n"
                        "print max(f);\n"
                        "print g[1, 1];\n"),
              "0 0 0\n1 1 1\n");
}

// A script function drawing on a picture passed to it changes the caller's picture,
// and windows showing that picture follow.
TEST_F(DrawingFunctions, DrawingThroughAReferenceRefreshesTheWindow) {
    EXPECT_EQ(runScript("set f to frame; set size of f to {4, 3};\n"
                        "set window \"view\" to reference f;\n"
                        "define mark(&canvas) begin Draw.Line(&canvas, 0, 1, 3, 1, {1, 0.5, 0} as color); end\n"
                        "mark(&f);\n"
                        "print Probe.WindowPixel(\"view\", 2, 1);\n"
                        "print f[2, 1];\n"),
              "255\n1 0.498039 0\n");
}
