#pragma once
#include <QAction>

// Every command of the IDE's menus and tool bars.
enum class QvCommand {
    New, Open, Save, SaveAs, Close, Exit,
    Undo, Redo, Cut, Copy, Paste, SelectAll,
    Run, Check, Stop, ConsoleWindow, FunctionBrowser, FunctionListing, SolutionWizard,
    VideoSourceSettings, MovieSettings,
    ToolBar, StatusBar,
    Cascade, Tile, NextWindow, PreviousWindow,
    Help, About
};

// A command's fixed texts. The menu text carries its accelerator after a tab; the
// prompt is what the status bar shows while the command is pointed at. Commands
// without a numbered identifier have id 0.
struct QvCommandText {
    QvCommand command;
    int id;
    const char* menuText;
    const char* prompt;
};

const QvCommandText& QvCommandTextOf(QvCommand command);
// The action of a command: text, accelerator, prompt as status tip, tool-bar icon
// and its identifier in the property "commandId".
QAction* QvCreateCommandAction(QvCommand command, QObject* parent);
