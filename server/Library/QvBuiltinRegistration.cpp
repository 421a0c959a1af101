// Every built-in signature, in registration order: Function, Frame, Math.Sum,
// Math.Difference, File, Math.Minimum/Maximum, Filter, Math.Average/StdDev/Random/
// RandomSeed, Find, TestHarness, Draw, Fractal, System, Client. The order fixes the
// order of overloads (a call takes the first that fits) and of every listing.
#include "Library/QvBuiltinNamespaces.h"
#include "Library/QvBuiltinTable.h"
#include "Plugins/QvPluginRegistry.h"

namespace {
const QvType kNothing;
const QvType kPictures = QV_FRAME_MONO | QV_FRAME | QV_IMAGE_MONO | QV_IMAGE;
const QvType kColorPictures = QV_FRAME | QV_IMAGE;
const QvType kColorBound = QV_NUMBER | QV_VECTOR | QV_COLOR;

std::vector<QvBuiltinParameter> pictureLocation() {
    return {QvRequired(kPictures, "source"), QvOptional(QV_VECTOR, "origin_location", QvDefaultVector({0, 0})),
            QvOptional(QV_BOOLEAN, "sub_pixel", QvDefaultBoolean(false))};
}

const char* const kNormalizeHelp = "Rescale the pixels within min..max\n\tto lie between 0 and 1.";
const char* const kStdDevHelp = "Return the standard deviation of\n\tthe elements of x.";

// The parameters of the picture search, after the source and the match.
std::vector<QvBuiltinParameter> pictureSearchParameters() {
    return {QvRequired(kPictures, "source"),
            QvRequired(kPictures, "match"),
            QvDynamic(QV_VECTOR, "topleft"),
            QvDynamic(QV_VECTOR, "bottomright"),
            QvDynamic(QV_NUMBER, "scale"),
            QvOptional(QV_BOOLEAN, "gray", QvDefaultBoolean(false)),
            QvDynamic(QV_NUMBER, "overhang_area"),
            QvDynamic(kPictures, "weight"),
            QvOptional(QV_VECTOR, "weight_origin", QvDefaultVector({0, 0})),
            QvOptional(QV_BOOLEAN, "sub_pixel", QvDefaultBoolean(false)),
            QvOptional(QV_TEXT, "internal_test_choose_core", QvDefaultText("fastest"))};
}

QvBuiltinParameter number(const char* name, double value) { return QvOptional(QV_NUMBER, name, QvDefaultNumber(value)); }
QvBuiltinParameter text(const char* name, const char* value) { return QvOptional(QV_TEXT, name, QvDefaultText(value)); }
QvBuiltinParameter boolean(const char* name, bool value) {
    return QvOptional(QV_BOOLEAN, name, QvDefaultBoolean(value));
}

// The parameters every Draw function ends with.
QvBuiltinParameter drawingColor() { return QvOptional(QV_COLOR, "obj_color", QvDefaultColor(0, 0, 0)); }
QvBuiltinParameter drawingMode() { return text("mode", "copy"); }
QvBuiltinParameter drawingWeight() { return QvOptional(QV_NUMBER | QV_COLOR, "weight", QvDefaultNumber(1)); }

std::vector<QvBuiltinRow> builtinRows() {
    using namespace QvFunctionNamespace;
    using namespace QvFrameNamespace;
    using namespace QvMathNamespace;
    using namespace QvFilterNamespace;
    using namespace QvFileNamespace;
    using namespace QvFindNamespace;
    using namespace QvTestHarnessNamespace;
    using namespace QvDrawNamespace;
    using namespace QvFractalNamespace;
    using namespace QvSystemNamespace;
    using namespace QvClientNamespace;
    return {
        {"Function", "GetNameSpaces", GetNameSpaces, QV_LIST, {}, "List the namespaces."},
        {"Function", "GetFunctions", GetAllFunctions, QV_LIST, {}, "List all the function names."},
        {"Function", "GetFunctions", GetNamespaceFunctions, QV_LIST, {QvRequired(QV_TEXT, "namespace")},
         "List all the function names in the namespace."},
        {"Function", "GetFunctionSignatures", GetAllSignatures, QV_LIST, {}, "List all the function signatures."},
        {"Function", "GetFunctionSignatures", GetInternalSignatures, QV_LIST, {QvRequired(QV_TEXT, "name")},
         "List all the internal function signatures."},
        {"Function", "GetFunctionSignatures", GetNamespaceSignatures, QV_LIST,
         {QvRequired(QV_TEXT, "namespace")}, "List all the function signatures in the namespace."},
        {"Function", "GetFunctionSignatures", GetFunctionSignatures, QV_LIST,
         {QvRequired(QV_TEXT, "namespace"), QvRequired(QV_TEXT, "name")}, "Get the specified function signatures."},

        {"Frame", "Grab", Grab, QV_FRAME, {number("width", 320), number("height", 240)},
         "Grab a single frame from a camera."},
        {"Frame", "DeInterlaceOdd", DeInterlaceOdd, kPictures, {QvRequired(kPictures, "source")},
         "De-Interlace and return the odd numbered lines"},
        {"Frame", "DeInterlaceEven", DeInterlaceEven, kPictures, {QvRequired(kPictures, "source")},
         "De-Interlace and return the even numbered lines"},
        {"Frame", "Interlace", Interlace, kPictures, {QvRequired(kPictures, "even"), QvRequired(kPictures, "odd")},
         "Combine the two frames, interleaving their lines."},
        // The operation returns the grey picture of the same depth.
        {"Frame", "GetAlpha", GetAlpha, QV_FRAME_MONO | QV_IMAGE_MONO, {QvRequired(kColorPictures, "source")},
         "Return a frame containing the alpha channel of the source."},
        {"Frame", "SetAlpha", SetAlpha, kColorPictures,
         {QvRequired(kColorPictures, "source"), QvRequired(kPictures, "alpha")},
         "Set the alpha channel of the source to the 'alpha' parameter."},

        {"Math", "Sum", SumOfPicture, QV_COLOR, {QvRequired(kPictures, "x")}, "Return the sum of all the pixels in x."},
        {"Math", "Sum", SumOfVector, QV_NUMBER, {QvRequired(QV_VECTOR, "x")},
         "Return the sum of all the elements in x."},
        {"Math", "Difference", DifferenceOfVectors, QV_NUMBER,
         {QvRequired(QV_VECTOR, "x"), QvRequired(QV_VECTOR, "y")},
         "\tReturn a single number (0..1)\n\trepresenting the difference between\n\tx and y."},
        {"Math", "Difference", DifferenceOfPictures, QV_NUMBER,
         {QvRequired(kPictures, "x"), QvRequired(kPictures, "y"),
          QvOptional(QV_NUMBER, "threshold", QvDefaultNumber(0))},
         "\tReturn a single number (0..1)\n\trepresenting the difference between\n\tx and y. Only pixel differences "
         "above the\n\t'threshold' parameter are taken into account."},

        {"File", "DirectoryList", DirectoryList, QV_LIST,
         {QvOptional(QV_TEXT, "path", QvDefaultText("")), QvOptional(QV_TEXT, "filter", QvDefaultText(""))},
         "List the files in a directory.\n\tList only those ending with 'filter'."},
        {"File", "Size", Size, QV_NUMBER, {QvRequired(QV_TEXT, "path")}, "Number of bytes in the file."},
        {"File", "CreateDirectory", CreateDirectory, kNothing, {QvRequired(QV_TEXT, "path")}, "Create a directory."},
        {"File", "Copy", Copy, kNothing, {QvRequired(QV_TEXT, "old_path"), QvRequired(QV_TEXT, "new_path")},
         "Copy the file 'old_path' to 'new_path'.\n\tThis will delete the destination file if it exists"},
        {"File", "Delete", Delete, kNothing, {QvRequired(QV_TEXT, "path")}, "Delete the file 'path'"},

        {"Math", "Minimum", SmallestElement, QV_VECTOR, {QvRequired(QV_VECTOR, "x")},
         "Return the smallest element and it's position."},
        {"Math", "Minimum", DarkestPixel, QV_VECTOR, pictureLocation(),
         "Return the position and luminance of the pixel with the smallest luminance. The return vector contains "
         "{x, y, min_luminance} where x and y are the co-ordinates of the minimum."},
        {"Math", "Maximum", LargestElement, QV_VECTOR, {QvRequired(QV_VECTOR, "x")},
         "Return the largest element and it's position."},
        {"Math", "Maximum", BrightestPixel, QV_VECTOR, pictureLocation(),
         "Return the position and luminance of the pixel with the largest luminance. The return vector contains "
         "{x, y, max_luminance} where x and y are the co-ordinates of the maximum."},
        {"Math", "Minimum", Lesser, kPictures, {QvRequired(kPictures, "x"), QvRequired(kPictures, "y")},
         "Return an image made up of the lesser pixels of the two parameters."},
        {"Math", "Maximum", Greater, kPictures, {QvRequired(kPictures, "x"), QvRequired(kPictures, "y")},
         "Return an image made up of the greater pixels of the two parameters."},
        {"Math", "Minimum", Lesser, QV_NUMBER, {QvRequired(QV_NUMBER, "x"), QvRequired(QV_NUMBER, "y")},
         "Return the lesser of the two parameters."},
        {"Math", "Maximum", Greater, QV_NUMBER, {QvRequired(QV_NUMBER, "x"), QvRequired(QV_NUMBER, "y")},
         "Return the greater of the two parameters."},

        {"Filter", "Replace", Replace, kPictures,
         {QvRequired(kPictures, "x"), QvRequired(kColorBound, "min"), QvRequired(kColorBound, "max"),
          QvRequired(kColorBound, "replacement_color"), QvOptional(QV_BOOLEAN, "inclusive", QvDefaultBoolean(true))},
         "Replace the pixels within min..max\n\twith the replacement color."},
        {"Filter", "Normalize", Normalize, kPictures,
         {QvRequired(kPictures, "x"), QvDynamic(kColorBound, "min"), QvDynamic(kColorBound, "max")}, kNormalizeHelp},
        {"Filter", "Normalize", NormalizeInPlace, kNothing,
         {QvByReference(kPictures, "x"), QvDynamic(kColorBound, "min"), QvDynamic(kColorBound, "max")},
         kNormalizeHelp},

        {"Math", "Average", Average, QV_NUMBER, {QvRequired(QV_VECTOR, "x")},
         "Return the average element of the vector x."},
        {"Math", "Average", Average, QV_COLOR, {QvRequired(kPictures, "x")},
         "Return the average of the pixels of the image x."},
        {"Math", "StdDev", StdDev, QV_NUMBER, {QvRequired(QV_VECTOR, "x")}, kStdDevHelp},
        {"Math", "StdDev", StdDev, QV_COLOR, {QvRequired(kPictures, "x")}, kStdDevHelp},
        {"Math", "Random", Random, QV_NUMBER,
         {QvOptional(QV_NUMBER, "min", QvDefaultNumber(0)), QvOptional(QV_NUMBER, "max", QvDefaultNumber(1))},
         "\tReturn a random number between\n\tmin and max."},
        {"Math", "RandomSeed", RandomSeed, kNothing, {QvRequired(QV_NUMBER, "seed")},
         "Seed the random number generator."},

        {"Find", "Correlate", CorrelateVector, QV_VECTOR,
         {QvRequired(QV_VECTOR, "source"), QvRequired(QV_NUMBER | QV_VECTOR, "match")},
         "Locate the match within the source vector.\n\treturn the index and a quality of fit."},
        {"Find", "Correlate", CorrelatePictures, QV_VECTOR, pictureSearchParameters(),
         "Return position of the match frame in the source"},
        {"Find", "Map", MapPictures, QV_IMAGE_MONO, pictureSearchParameters(),
         "Return a map of the correlation between match and source."},
        {"Find", "Region", Region, QV_LIST,
         {QvRequired(kPictures, "source"), QvRequired(QV_NUMBER, "value"), number("tolerance", 0),
          number("min_area", 1), number("min_width", 0), number("min_height", 0), number("radius", 1),
          boolean("list_points", false), boolean("return_frame", false), number("edge_value", 1),
          QvOptional(QV_VECTOR, "topleft", QvDefaultVector({0, 0})), QvDynamic(QV_VECTOR, "bottomright")},
         "Find Regions of a particular luminance"},

        {"TestHarness", "Clear", Clear, kNothing, {}, "Erase the testharness log file."},
        {"TestHarness", "Begin", Begin, kNothing, {QvRequired(QV_TEXT, "testname")},
         "Print the testname to the log file."},
        {"TestHarness", "End", End, kNothing, {QvDynamic(QV_BOOLEAN, "success")},
         "Write success or failure and timing to log file."},
        {"TestHarness", "Require", Require, kNothing, {QvRequired(QV_BOOLEAN, "condition")},
         "Require the condition to be true."},
        {"TestHarness", "Logging", Logging, kNothing, {QvRequired(QV_BOOLEAN, "active")},
         "Turn loggin on or off for debug version (does nothing in all released versions)."},
        {"TestHarness", "LogNames", LogNames, kNothing, {QvRequired(QV_BOOLEAN, "active")},
         "If on, saves names of all files run to logfiles.txt (only  MacOS X command line)."},
        {"TestHarness", "IsDebug", IsDebug, QV_BOOLEAN, {},
         "Return whether this is a debug build (always false for released versions."},

        {"Draw", "Circle", Circle, kNothing,
         {QvByReference(kPictures, "canvas"), QvRequired(QV_NUMBER, "radius"), number("x", 0), number("y", 0),
          drawingColor(), boolean("fill", false), drawingMode(), drawingWeight()},
         "Draw a circle over a frame"},
        {"Draw", "Rectangle", Rectangle, kNothing,
         {QvByReference(kPictures, "canvas"), QvRequired(QV_NUMBER, "width"), QvRequired(QV_NUMBER, "height"),
          number("x", 0), number("y", 0), drawingColor(), boolean("fill", false), drawingMode(), drawingWeight()},
         "Draw a rectangle over a frame"},
        {"Draw", "Line", Line, kNothing,
         {QvByReference(kPictures, "canvas"), number("x1", 0), number("y1", 0), number("x2", 0), number("y2", 0),
          drawingColor(), drawingMode(), drawingWeight()},
         "Draw a line over a frame"},

        {"Fractal", "Mandelbrot", Mandelbrot, QV_FRAME,
         {number("x", -0.7), number("y", 0), number("scale", 2.2), number("width", 320), number("height", 240),
          QvDynamic(QV_NUMBER, "depth"), text("colortype", "log"), number("numbercolors", 200), number("winding", 3),
          number("gradient", 0.02)},
         "Generate a Fractal Frame of the Mandelbrot Set."},
        {"Fractal", "Julia", Julia, QV_FRAME,
         {QvRequired(QV_NUMBER, "x"), QvRequired(QV_NUMBER, "y"), number("scale", 4), number("size", 320),
          number("depth", 250), text("colortype", "fixedlog"), number("numbercolors", 200), number("winding", 3),
          number("gradient", 0.02)},
         "Generate a Fractal Frame of the Julia Set."},
        {"Fractal", "MandelbrotPoint", MandelbrotPoint, QV_NUMBER,
         {QvRequired(QV_NUMBER, "x"), QvRequired(QV_NUMBER, "y"), number("depth", 32000)},
         "Evaluate the Mandelbrot escape count at a point."},

        {"System", "Processor", Processor, QV_TEXT, {}, "Return the CPU name (e.g. x86)."},
        {"System", "QuarvelVersion", QuarvelVersion, QV_VECTOR, {},
         "Return a vector containing version information. The format is {major,minor,build}.\r\r"
         "For example, the version 1.9.3 is {1,9,3}."},
        {"System", "OS", OS, QV_TEXT, {},
         "Return the name of the operating system 'MacOS', 'MacOSX' 'Windows'."},

        {"Client", "SetWindowPosition", SetWindowPosition, kNothing,
         {QvRequired(QV_TEXT, "id"), QvRequired(QV_NUMBER, "x"), QvRequired(QV_NUMBER, "y")},
         "Set the position of a window in screen co-ordinates."},
    };
}
}

void QvPluginRegistryInitInternal() { QvRegisterBuiltins(builtinRows()); }
