#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ErrorCapture.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvColorValue.h"
#include "Values/QvDateTimeValue.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvValueFile.h"
#include "Values/QvVectorValue.h"

namespace fs = std::filesystem;

namespace {
class CollectionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("quarvel-collection-file-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const char* name) const { return (folder / name).string(); }

    std::string load(const std::string& bytes) {
        std::ofstream(path("raw"), std::ios::binary) << magic << bytes;
        return raisedMessage([&] { QvValueRef loaded = QvValueFile::load(path("raw")); });
    }

    static std::string int32(uint32_t n) {
        std::string bytes;
        for (int i = 0; i < 4; ++i)
            bytes += char((n >> (8 * i)) & 0xFF);
        return bytes;
    }

    const std::string magic = "\xAA\xAA\xAA\xAA";
    fs::path folder;
};

QvValueRef saveAndLoad(const QvValue& value, const std::string& file) {
    value.SaveToFile(file);
    return QvValueFile::load(file);
}
}  // namespace

TEST_F(CollectionFiles, AListOfMixedValuesRoundTrips) {
    QvDateFields fields{true, 5, 3, 2002, 14, 7, 9};
    QvValueRef date = QvDateTimeValue::fromLiteral(fields);
    QvValueRef inner = new QvListValue;
    inner->Append(QvValueRef(new QvBooleanValue(true)).get());
    QvListValue mixed;
    for (QvValueRef element : {QvValueRef(new QvNumberValue(2.5)), QvValueRef(new QvVectorValue({1, 2})),
                               QvValueRef(new QvColorValue({1, 0.5, 0})), date, inner})
        mixed.Append(element.get());

    QvValueRef back = saveAndLoad(mixed, path("mixed"));
    ASSERT_EQ(back->GetType(), QV_LIST);
    EXPECT_EQ(back->AsText(), "2.5\n1\t2\n1 0.5 0\n05 Mar 2002, 14:07:09\ntrue");
    auto& list = static_cast<QvListValue&>(*back);
    EXPECT_EQ(list.element(2)->GetType(), QV_COLOR);
    EXPECT_TRUE(list.element(3)->Equal(date.get()));
    EXPECT_EQ(list.element(4)->GetType(), QV_LIST);
}

TEST_F(CollectionFiles, EveryNewTypeRoundTripsAlone) {
    QvValueRef vector = saveAndLoad(QvVectorValue(), path("v"));
    EXPECT_EQ(vector->GetType(), QV_VECTOR);
    EXPECT_EQ(vector->AsVector().size(), 0u);
    QvValueRef colour = saveAndLoad(QvColorValue({0.1, 0.2, 0.3}), path("c"));
    EXPECT_EQ(colour->AsText(), "0.1 0.2 0.3");
    QvDateTimeValue now;
    QvValueRef date = saveAndLoad(now, path("d"));
    EXPECT_EQ(date->AsDate().clockTicks, now.date().clockTicks);
    EXPECT_TRUE(date->Equal(&now));
    QvValueRef empty = saveAndLoad(QvListValue(), path("l"));
    EXPECT_EQ(empty->GetType(), QV_LIST);
}

TEST_F(CollectionFiles, ATextElementCannotBeWritten) {
    QvListValue list;
    list.Append(QvValueRef(new QvTextValue("words")).get());
    EXPECT_EQ(raisedMessage([&] { list.SaveToFile(path("t")); }), "File error(Cannot write undefined type to file)");
}

TEST_F(CollectionFiles, CorruptDataGivesAClearErrorWithoutHugeAllocations) {
    const std::string failed = "File error(Reading Value Data Failed.)";
    EXPECT_EQ(load(int32(QV_LIST) + int32(0xFFFFFFFF)), failed);
    EXPECT_EQ(load(int32(QV_LIST) + int32(2) + int32(QV_NUMBER) + std::string(8, '\0')), failed);
    EXPECT_EQ(load(int32(QV_VECTOR) + int32(0xFFFFFFFF) + std::string(80, '\0')), failed);
    EXPECT_EQ(load(int32(QV_COLOR) + std::string(16, '\0')), failed);
    EXPECT_EQ(load(int32(QV_DATE) + std::string(37, '\0')), failed);
    EXPECT_EQ(load(int32(QV_LIST) + int32(1) + int32(3)), "File error(Unknown element type in list data.)");
    EXPECT_EQ(load(int32(QV_LIST) + int32(1) + int32(0x7FFFFFFF)), "File error(Unknown element type in list data.)");

    std::string deep = int32(QV_LIST);
    for (int i = 0; i < 5000; ++i)
        deep += int32(1) + int32(QV_LIST);
    EXPECT_EQ(load(deep), "File error(Lists nested too deeply.)");
    std::string nested = int32(QV_LIST);
    for (int i = 0; i < 100; ++i)
        nested += int32(1) + int32(QV_LIST);
    EXPECT_EQ(load(nested + int32(0)), "<no error>");
}
