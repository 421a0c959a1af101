#include <gtest/gtest.h>

#include "ErrorCapture.h"
#include "Values/QvPropertyId.h"
#include "Values/QvType.h"

TEST(ValueType, NamesBothWays) {
    EXPECT_STREQ(QvTypeName(QV_NUMBER), "number");
    EXPECT_STREQ(QvTypeName(QV_VIDEO_OUTPUT), "video_output");
    EXPECT_STREQ(QvTypeName(QV_UNDEFINED), "undefined");
    for (int code = 0; code < QV_UNDEFINED; ++code) {
        if (code == QV_UNNAMED_3 || code == QV_UNNAMED_4)
            continue;
        QvTypeEnum type = static_cast<QvTypeEnum>(code);
        EXPECT_EQ(QvTypeFromName(QvTypeName(type)), type);
    }
    EXPECT_EQ(QvTypeFromName("undefined"), QV_UNDEFINED);
    EXPECT_EQ(QvTypeFromName("Number"), QV_UNDEFINED);
    EXPECT_EQ(raisedMessage([] { QvTypeName(QV_UNNAMED_3); }), "Unknown type");
    EXPECT_EQ(raisedMessage([] { QvTypeName(static_cast<QvTypeEnum>(17)); }), "Unknown type");
    EXPECT_EQ(raisedMessage([] { QvTypeName(static_cast<QvTypeEnum>(-1)); }), "Unknown type");
}

TEST(ValueType, TextForm) {
    EXPECT_EQ(QvType().asText(), "none");
    EXPECT_EQ(QvType::QvTypeAny().asText(), "any");
    EXPECT_EQ(QvType(QV_TEXT).asText(), "text");
    EXPECT_EQ((QV_TEXT | QV_NUMBER).asText(), "(number | text)");
    EXPECT_EQ((QV_IMAGE | QV_FRAME | QV_LIST).asText(), "(list | frame | image)");
}

TEST(ValueType, UnionWithACodeChangesTheLeftSetButUnionOfSetsChangesNeither) {
    QvType left(QV_NUMBER);
    left.setReferenceFlag(true);
    QvType copy = left | QV_TEXT;
    EXPECT_TRUE(left.contains(QV_TEXT) && copy.contains(QV_TEXT) && copy.contains(QV_NUMBER));
    QvType both = left | QvType(QV_DATE);
    EXPECT_TRUE(both.contains(QV_NUMBER) && both.contains(QV_DATE));
    EXPECT_FALSE(both.getReferenceFlag());
    EXPECT_FALSE(left.contains(QV_DATE));
    EXPECT_TRUE(left.getReferenceFlag());
}

TEST(ValueType, AnyAndAddingByName) {
    QvType set;
    EXPECT_TRUE(set.isEmpty());
    set.addByName("movie");
    EXPECT_TRUE(set.contains(QV_MOVIE));
    EXPECT_FALSE(set.isAny());
    EXPECT_TRUE(QvType::QvTypeAny().isAny());
    EXPECT_FALSE(QvType::QvTypeAny().getReferenceFlag());
    EXPECT_EQ(raisedMessage([&] { set.addByName("undefined"); }), "Unknown type");
    EXPECT_EQ(raisedMessage([&] { set.addByName("movies"); }), "Unknown type");
    EXPECT_FALSE(set.contains(static_cast<QvTypeEnum>(40)));
}

TEST(ValueType, PropertyNamesHaveAHoleAt28) {
    EXPECT_STREQ(QvPropertyName(QV_PROPERTY_MONTH), "month");
    EXPECT_EQ(raisedMessage([] { QvPropertyName(QV_PROPERTY_WEEK); }), "Unknown property name");
    EXPECT_EQ(raisedMessage([] { QvPropertyName(QV_PROPERTY_NONE); }), "Unknown property name");
    EXPECT_EQ(raisedMessage([] { QvPropertyName(static_cast<QvPropertyId>(44)); }), "Unknown property name");
}
