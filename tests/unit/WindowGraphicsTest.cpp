// Script windows, their graphics and the host's polling of them.
#include <gtest/gtest.h>

#include <atomic>

#include "QvClient.h"
#include "Session/QvParser.h"
#include "Values/QvNumberValue.h"
#include "Values/QvListValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"
#include "Windows/QvGraphics.h"
#include "Windows/QvWindow.h"

namespace {
int count(const QvGraphics& graphics, QvGraphicsCommandID id) {
    int n = 0;
    for (const auto& command : graphics.getCommandList()) n += command->getID() == id;
    return n;
}

short widthFor(size_t characters) {
    QvGraphics graphics;
    graphics.displayText(std::string(characters, 'x'));
    short width, height;
    graphics.getSize(&width, &height);
    EXPECT_EQ(height, 120);
    return width;
}
}

TEST(WindowGraphics, TextWidthGrowsWithTheTextWithinLimits) {
    EXPECT_EQ(widthFor(2), 160);
    EXPECT_EQ(widthFor(20), 300);
    EXPECT_EQ(widthFor(40), 500);
}

TEST(WindowGraphics, PlotHasAxesSegmentsAndLabels) {
    QvGraphics graphics;
    graphics.plotNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    short width, height;
    graphics.getSize(&width, &height);
    EXPECT_EQ(width, 360);
    EXPECT_EQ(height, 280);
    EXPECT_EQ(count(graphics, QvGraphicsCommandLineTo), 2 + 9);
    EXPECT_EQ(count(graphics, QvGraphicsCommandMoveTo), 2);
    EXPECT_EQ(count(graphics, QvGraphicsCommandText), 3);
    const auto& commands = graphics.getCommandList();
    EXPECT_EQ(commands[3]->getY(), 260);  // the smallest value at the bottom
    EXPECT_EQ(commands[4]->getX(), 320 * 1 / 10 + 20);
    EXPECT_EQ(commands.back()->getString(), "9");
    EXPECT_TRUE(graphics.fullEraseNeeded());

    QvGraphics flat;
    flat.plotNumbers(std::vector<double>(10, 4.0));
    EXPECT_EQ(flat.getCommandList()[3]->getY(), 140);
}

TEST(WindowGraphics, WindowListsItselfAndKeepsOnlyTheNewestGraphics) {
    QvParser session("print 1;", 0, nullptr, false);
    qv_auto_value<QvWindow> window = new QvWindow(new QvTextValue(std::string(20, 'a')), "title", &session);
    EXPECT_TRUE(session.inWindowList(window.get()));
    EXPECT_EQ(window->getWidth(), 300);
    EXPECT_EQ(window->getXPosition(), -1);

    qv_auto_value<QvGraphics> snapshot = window->getQvGraphics();
    window->setUpdateFlag(false);
    window->refresh(new QvNumberValue(1));
    window->refresh(new QvNumberValue(2));
    EXPECT_TRUE(window->getUpdateFlag());
    EXPECT_EQ(window->getQvGraphics()->getCommandList().front()->getString(), "2");
    EXPECT_EQ(snapshot->getCommandList().front()->getString(), std::string(20, 'a'));
    EXPECT_EQ(window->getWidth(), 160);

    QvWindow* raw = window.get();
    window.reset();
    EXPECT_FALSE(session.inWindowList(raw));
}

namespace {
class CountingWindow : public QvClientWindow {
public:
    CountingWindow(QvWindow* window, std::atomic<int>& redraws) : QvClientWindow(window), redraws_(redraws) {}
    void redraw() override {
        replay();
        ++redraws_;
    }
    void drawText(const std::string& text, int, int) override { last = text; }
    std::string last;

private:
    std::atomic<int>& redraws_;
};

class QuietClient : public QvClient {
public:
    std::atomic<int> redraws{0};
    void writeText(const char*, int) override {}
    std::unique_ptr<QvClientWindow> createClientWindow(QvWindow* window) override {
        return std::make_unique<CountingWindow>(window, redraws);
    }
    const CountingWindow* only() const {
        return clientWindows().size() == 1 ? static_cast<CountingWindow*>(clientWindows().begin()->second.get())
                                           : nullptr;
    }
};
}

// The script refreshes and closes windows on its thread while this thread polls them.
TEST(WindowGraphics, HostPollsWindowsWhileTheScriptRuns) {
    QuietClient client;
    client.setSourceText(
        "repeat 3000 times increment i begin set window \"w\" to i; set window \"gone\" to i; "
        "delete window \"gone\"; end");
    client.run(true);
    EXPECT_GT(client.redraws.load(), 0);
    ASSERT_NE(client.only(), nullptr);
    EXPECT_EQ(client.only()->last, "2999");
}

TEST(WindowDisplay, VectorsPlotFromTenElementsAndListsKeepTheDefaultSize) {
    auto commandsOf = [](QvValue& value, short& width, short& height) {
        QvGraphics graphics;
        value.Display(&graphics);
        graphics.getSize(&width, &height);
        return graphics.getCommandList().size();
    };
    short width = 0, height = 0;
    QvVectorValue nine(std::vector<double>(9, 1.0));
    EXPECT_EQ(commandsOf(nine, width, height), 1u);
    EXPECT_EQ(width, 160);
    QvVectorValue ten({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(commandsOf(ten, width, height), 3u + 1u + 9u + 3u);
    EXPECT_EQ(width, 360);
    EXPECT_EQ(height, 280);
    QvListValue list;
    QvValueRef text = new QvTextValue("a rather long piece of text in a list");
    list.Append(text.get());
    EXPECT_EQ(commandsOf(list, width, height), 1u);
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 120);
}

// Every statement that changes a window's value in place shows the new value: the
// arithmetic forms, whether the value is the window's own or shared with a variable.
TEST(WindowGraphics, InPlaceChangesOfAWindowsValueAreShown) {
    const char* scripts[][2] = {
        {"set area to 640 * 480; set window \"w\" to area; divide window \"w\" by 2;", "153600"},
        {"set window \"w\" to 10; add 5 to window \"w\";", "15"},
        {"set window \"w\" to 10; subtract 4 from window \"w\";", "6"},
        {"set window \"w\" to 10; multiply window \"w\" by 3;", "30"},
        {"set n to 7; set window \"w\" to reference n; add 1 to n;", "8"},
    };
    for (const auto& [script, shown] : scripts) {
        QuietClient client;
        client.setSourceText(script);
        client.run(true);
        ASSERT_NE(client.only(), nullptr) << script;
        EXPECT_EQ(client.only()->last, shown) << script;
    }
}
