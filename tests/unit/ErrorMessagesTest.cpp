#include <gtest/gtest.h>

#include <memory>

#include "ErrorCapture.h"
#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvSystemErrors.h"
#include "Session/QvWarningConsole.h"

namespace {
std::string messageOf(QvException* raised) {
    std::unique_ptr<QvException> owned(raised);
    return owned->message();
}
}  // namespace

TEST(ErrorMessages, EveryExceptionClassComposesItsMessage) {
    EXPECT_EQ(messageOf(new QvTypeException("number")), "Type mismatch error, expecting (number)");
    EXPECT_EQ(messageOf(new QvOperatorException("append")), "Operator (append) used with incompatible types");
    EXPECT_EQ(messageOf(new QvOperatorException(QV_NUMBER, "=", QV_TEXT)),
              "Can't execute \"number = text\" : incompatible types.");
    EXPECT_EQ(messageOf(new QvOperatorException("add", QV_NUMBER, QV_TEXT)),
              "Can't execute \"add number text\" : incompatible types.");
    EXPECT_EQ(messageOf(new QvOperatorException("sqrt", QV_TEXT)), "Can't execute \"sqrt(text)\" : incompatible type.");
    EXPECT_EQ(messageOf(new QvOperatorException(QV_NUMBER, "!")), "Can't execute \"number !\" : incompatible type.");
    EXPECT_EQ(messageOf(new QvInvalidPropertyException), "Invalid Property Requested");
    EXPECT_EQ(messageOf(new QvIdentifierException("x")), "Invalid identifier (x)");
    EXPECT_EQ(messageOf(new QvMemoryException("During allocation of image data.")),
              "Out of Memory (During allocation of image data.)");
    EXPECT_EQ(messageOf(new QvFileException("Cannot write undefined type to file")),
              "File error(Cannot write undefined type to file)");
    EXPECT_EQ(messageOf(new QvInterruptException), "Interrupted");
    EXPECT_EQ(messageOf(new QvCoercionException(QV_DATE, QV_NUMBER, "is not possible.")),
              "Coercion from (date) to (number) is not possible.");
    EXPECT_EQ(messageOf(new QvCoercionException(QV_DATE, QV_NUMBER)), "Coercion from (date) to (number) ");
}

TEST(ErrorMessages, MessagesOfUnnamedTypeCodesDoNotRaiseAgain) {
    EXPECT_EQ(messageOf(new QvOperatorException(QV_UNNAMED_3, "+", QV_NUMBER)),
              "Can't execute \"unknown + number\" : incompatible types.");
}

TEST(ErrorMessages, CallersMayAppendBeforeThrowing) {
    QvException* error = new QvException("first");
    error->stream() << " and " << 2;
    EXPECT_EQ(messageOf(error), "first and 2");
    EXPECT_EQ(messageOf(new QvException(std::string("text"))), "text");
    EXPECT_EQ(messageOf(new QvException), "");
}

TEST(ErrorMessages, QvErrorThrowsTheTextAsAnException) {
    EXPECT_EQ(raisedMessage([] { QvError("Something broke."); }), "Something broke.");
}

TEST(ErrorMessages, QvWarningAppendsToTheWarningConsoleWithoutALineEnd) {
    QvWarningConsole::acquire().takeUnread();
    QvWarningConsole::release();
    QvWarning("careful");
    QvWarning("!");
    std::string written = QvWarningConsole::acquire().takeUnread();
    QvWarningConsole::release();
    EXPECT_EQ(written, "careful!");
}

TEST(ErrorMessages, AbortingEverythingMakesEveryLaterYieldThrow) {
    EXPECT_EQ(raisedMessage([] { QvYield(); }), "<no error>");
    // The flag is never cleared, so the abort runs in a child process.
    EXPECT_EXIT(
        {
            QvSetAbortEverything();
            bool all = raisedMessage([] { QvYield(); }) == "Interrupted" &&
                       raisedMessage([] { QvYield(); }) == "Interrupted";
            std::exit(all ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ErrorMessages, IndexRangeChecksTheMaximumFirst) {
    EXPECT_EQ(raisedMessage([] { QvCheckIndexRange(5, 0, 3); }), "Index \"5\" is too large (> 3).");
    EXPECT_EQ(raisedMessage([] { QvCheckIndexRange(-1, 0, 3); }), "Index \"-1\" is too small (< 0).");
    EXPECT_EQ(raisedMessage([] { QvCheckIndexRange(0, 0, 3); }), "<no error>");
    EXPECT_EQ(raisedMessage([] { QvCheckIndexRange(3, 0, 3); }), "<no error>");
    EXPECT_EQ(raisedMessage([] { QvCheckIndexRange(5, 9, 3); }), "Index \"5\" is too large (> 3).");
}

TEST(ErrorMessages, MultiLineStatusTextsIndentTheirContinuations) {
    EXPECT_EQ(systemErrorText(-9405),
              "The video source is not available.\n   Please check your camera installation,\n"
              "   or choose another camera in the preferences dialog.\n");
    std::string supportLine = std::string(" ") + QvSupportAddress() + ".\n";
    EXPECT_EQ(systemErrorText(-2208), "The video source cannot work offscreen.\n"
                                      "   Try reducing the number of colors from millions to thousands,\n"
                                      "   If this fails please inform" + supportLine);
    EXPECT_EQ(systemErrorText(-1), "unknown");
}

TEST(ErrorMessages, CheckSystemErrorRaisesTheTextOrAReport) {
    EXPECT_EQ(raisedMessage([] { QvCheckSystemError(0, 10, "server/Movie/QvMovie"); }), "<no error>");
    EXPECT_EQ(raisedMessage([] { QvCheckSystemError(-43, 10, "server/Movie/QvMovie"); }), "File not found.\n");
    EXPECT_EQ(raisedMessage([] { QvCheckSystemError(-1, 42, "server/CppSrc/QvFile"); }),
              std::string("Caught System Error (-1) at line 42 in file server/CppSrc/QvFile\n"
                          "Please send report to ") + QvSupportAddress() + ".\n");
}
