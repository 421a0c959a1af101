#pragma once
#include <memory>
#include <string>
#include <vector>

#include "QvExport.h"
#include "Values/QvAutoObject.h"
#include "Windows/QvGraphicsCommand.h"

// How a window's current value looks: a size and the drawing commands a host replays
// in order. Built once per refresh and never changed after the window installs it.
class QV_EXPORT QvGraphics : public QvAutoObject {
public:
    using CommandList = std::vector<std::unique_ptr<QvGraphicsCommand>>;

    static constexpr short kDefaultWidth = 160;
    static constexpr short kDefaultHeight = 120;

    void getSize(short* width, short* height) const;
    void setSize(short width, short height);
    const CommandList& getCommandList() const { return commands_; }
    // False once a command covers the whole window, so the host need not erase first.
    bool fullEraseNeeded() const { return fullEraseNeeded_; }

    void addText(const std::string& text, int x, int y);
    // Shares the movie record, which must not change afterwards.
    void addMovie(MovieRecord* movie, int x, int y);
    // Shares the gworld, which must not change afterwards.
    void addImage(QvGWorld* world, int x, int y);
    void addMoveTo(int x, int y);
    void addLineTo(int x, int y);

    // A value shown as its text form: 15 pixels per character, 160 to 500 wide.
    void displayText(const std::string& text);
    // The text at the usual margin, leaving the size as it is.
    void showText(const std::string& text);
    // A line plot of the numbers with axes and labels, 360 by 280.
    void plotNumbers(const std::vector<double>& numbers);

private:
    short width_ = kDefaultWidth;
    short height_ = kDefaultHeight;
    CommandList commands_;
    bool fullEraseNeeded_ = true;
};
