// Values a hostile script or file can make: nesting deeper than any recursion
// survives, and clock readings at the ends of their range.
#include <gtest/gtest.h>

#include <pthread.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>

#include "ErrorCapture.h"
#include "Values/QvDateTime.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"

namespace fs = std::filesystem;

namespace {
// Runs work on a thread with a small stack, where a recursion as deep as the values
// built here would overflow at once.
void onSmallStack(const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

// A list holding 1 and the list one level down, `depth` lists in all.
QvListValue* nested(int depth) {
    QvListValue* list = new QvListValue;
    list->Append(QvValueRef(new QvNumberValue(7)).get());
    for (int level = 1; level < depth; ++level) {
        QvListValue* outer = new QvListValue;
        outer->Append(QvValueRef(new QvNumberValue(1)).get());
        outer->Append(list);
        list = outer;
    }
    return list;
}

class RobustValueFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("quarvel-nested-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string path(const char* name) const { return (folder / name).string(); }

    fs::path folder;
};
}  // namespace

TEST(RobustValues, DeeplyNestedListsAreFreedWithoutRecursion) {
    QvValueRef held = nested(200000);
    onSmallStack([&] { held.reset(); });
    EXPECT_FALSE(held);
    QvListValue* unheld = nested(200000);
    onSmallStack([&] { QvListDelete(unheld); });
}

TEST_F(RobustValueFiles, NestingTheLoaderRefusesIsRefusedByTextAndSaves) {
    QvValueRef deepest = nested(1000);
    EXPECT_EQ(raisedMessage([&] { deepest->AsText(); }), "<no error>");
    deepest->SaveToFile(path("deepest"));
    QvValueRef loaded = QvValueFile::load(path("deepest"));
    EXPECT_EQ(loaded->AsText(), deepest->AsText());

    QvValueRef tooDeep = nested(1001);
    EXPECT_EQ(raisedMessage([&] { tooDeep->AsText(); }), "Lists nested more than 1000 deep have no text form.");
    EXPECT_EQ(raisedMessage([&] { tooDeep->SaveToFile(path("deepest")); }), "File error(Lists nested too deeply.)");
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("deepest")))->AsText(), deepest->AsText());
}

TEST(RobustValues, ClockTicksAtTheEndsOfTheirRangeSaturate) {
    QvDateTime date = QvDateTime::now();
    date.clockTicks = INT64_MAX - 10;
    date.addSeconds(1000);
    EXPECT_EQ(date.clockTicks, INT64_MAX);
    date.clockTicks = INT64_MIN + 10;
    date.addSeconds(-1000);
    EXPECT_EQ(date.clockTicks, INT64_MIN);

    QvDateTime earlier = QvDateTime::now();
    QvDateTime later = earlier;
    later.addSeconds(10);
    later.clockTicks = 841063;
    earlier.clockTicks = INT64_MIN;
    EXPECT_EQ(later.secondsSince(earlier), double(INT64_MAX) * 0.001);
    EXPECT_EQ(earlier.secondsSince(later), -double(INT64_MAX) * 0.001);
}

TEST(RobustValues, ClockTicksThatContradictTheCalendarAreIgnored) {
    QvDateTime earlier = QvDateTime::now();
    QvDateTime later = earlier;
    later.addSeconds(10);
    later.clockTicks = 1000;
    earlier.clockTicks = 5000;
    EXPECT_EQ(later.secondsSince(earlier), 10);
    EXPECT_EQ(earlier.secondsSince(later), -10);
    // Within one calendar second the ticks give the fraction either way round.
    later = earlier;
    later.clockTicks = earlier.clockTicks + 250;
    EXPECT_EQ(later.secondsSince(earlier), 0.25);
    EXPECT_EQ(earlier.secondsSince(later), -0.25);
}
