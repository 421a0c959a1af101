#include <gtest/gtest.h>

#include "ErrorCapture.h"
#include "HostServices/QvHostServices.h"
#include "Values/QvListValue.h"
#include "Values/QvNoValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
class DefaultOperations : public ::testing::Test {
protected:
    QvValueRef nothing = new QvNoValue;
    QvValueRef one = new QvNumberValue(1);
    QvValueRef out;
};

class RecordingServices : public QvHostServices {
public:
    void setClipboardText(const std::string& text) override { clipboard = text; }
    std::string clipboardText() override { return clipboard; }
    void beep() override {}
    std::string clipboard;
};
}  // namespace

TEST_F(DefaultOperations, UnaryOperatorsNameTheOperatorAndType) {
    EXPECT_EQ(raisedMessage([&] { nothing->Sdev(); }), "Can't execute \"sdev(undefined)\" : incompatible type.");
    EXPECT_EQ(raisedMessage([&] { nothing->Negate(); }), "Can't execute \"-(undefined)\" : incompatible type.");
    EXPECT_EQ(raisedMessage([&] { nothing->Difference(one.get(), 0); }),
              "Can't execute \"difference(undefined)\" : incompatible type.");
    EXPECT_EQ(raisedMessage([&] { nothing->Not(); }), "Can't execute \"undefined !\" : incompatible type.");
}

TEST_F(DefaultOperations, ComparisonsAndLogic) {
    EXPECT_EQ(raisedMessage([&] { nothing->Equal(one.get()); }),
              "Can't execute \"undefined = number\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { nothing->NotEqual(one.get()); }),
              "Can't execute \"undefined = number\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { one->And(one.get()); }), "Can't execute \"number and number\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { one->Or(nothing.get()); }),
              "Can't execute \"number or undefined\" : incompatible types.");
}

TEST_F(DefaultOperations, ElementOperations) {
    EXPECT_EQ(raisedMessage([&] { one->Append(one.get()); }), "Operator (append) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { one->GetIndexed(out, one.get(), false); }), "Operator ([i]) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { one->GetDoubleIndexed(out, one.get(), one.get()); }),
              "Operator ([i,j]) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { one->SetIndexed(one.get(), one); }), "Cannot set indexed values for this type");
    EXPECT_EQ(raisedMessage([&] { one->SetDoubleIndexed(one.get(), one.get(), one); }),
              "Cannot set double indexed values for this type");
    EXPECT_EQ(raisedMessage([&] { one->DeleteElement(one.get()); }), "Cannot delete elements from values of this type");
}

TEST_F(DefaultOperations, Conversions) {
    EXPECT_EQ(raisedMessage([&] { nothing->AsText(); }), "Type mismatch error, expecting (text)");
    EXPECT_EQ(raisedMessage([&] { nothing->AsBoolean(); }), "Type mismatch error, expecting (boolean)");
    EXPECT_EQ(raisedMessage([&] { one->AsVector(); }), "Type mismatch error, expecting (vector)");
    EXPECT_EQ(raisedMessage([&] { one->AsDate(); }), "Type mismatch error, expecting (date)");
    EXPECT_EQ(raisedMessage([&] { one->AsColor(); }), "Type mismatch error, expecting (color)");
    EXPECT_EQ(raisedMessage([&] { nothing->CoerceTo(out, QV_TEXT); }),
              "Coercion from (undefined) to (text) is not possible.");
    nothing->CoerceTo(out, QV_UNDEFINED);
    EXPECT_EQ(out.get(), nothing.get());
}

TEST_F(DefaultOperations, AnEmptyListIsAnEmptyMonoPicture) {
    QvValueRef rows = new QvListValue;
    rows->CoerceTo(out, QV_IMAGE_MONO);
    EXPECT_EQ(out->GetType(), QV_IMAGE_MONO);
    EXPECT_EQ(out->AsText().substr(0, 24), "image_mono\n size :\t(0,0)");
}

TEST_F(DefaultOperations, Properties) {
    QvValueRef type = one->GetProperty(QV_PROPERTY_TYPE);
    EXPECT_EQ(type->AsText(), "number");
    EXPECT_EQ(one->PropertyId("type"), QV_PROPERTY_TYPE);
    EXPECT_EQ(one->PropertyId("length"), QV_PROPERTY_NONE);
    EXPECT_EQ(raisedMessage([&] { one->GetProperty(QV_PROPERTY_WIDTH); }), "Invalid Property Requested");
    EXPECT_EQ(raisedMessage([&] { one->SetProperty(QV_PROPERTY_WIDTH, one.get()); }),
              "The property \"width\" can not be written.");
    EXPECT_EQ(raisedMessage([&] { one->DeleteProperty(QV_PROPERTY_RED); }),
              "The property \"red\" can not be deleted.");
    EXPECT_EQ(raisedMessage([&] { one->SetProperty(QV_PROPERTY_WEEK, one.get()); }), "Unknown property name");
}

TEST_F(DefaultOperations, TheUndefinedValueCannotBeCopied) {
    EXPECT_EQ(raisedMessage([&] { nothing->Clone(); }),
              "Operation attempted on NULL value. Function may not have returned a result.");
    QvValueRef sharer = nothing;
    EXPECT_EQ(raisedMessage([&] { nothing.makeUnique(); }),
              "Operation attempted on NULL value. Function may not have returned a result.");
    QvValueRef made = QvNoValueCreate();
    EXPECT_EQ(QvValueGetQvType(made.get()), QV_UNDEFINED);
}

TEST_F(DefaultOperations, CopyToClipboardUsesTheInstalledHostServices) {
    RecordingServices host;
    QvInstallHostServices(&host);
    one->CopyToClipboard();
    QvInstallHostServices(nullptr);
    EXPECT_EQ(host.clipboard, "1");

    QvValueRef word = new QvTextValue("stand-in");
    word->CopyToClipboard();
    EXPECT_EQ(QvGetHostServices()->clipboardText(), "stand-in");
}
