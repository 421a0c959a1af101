#include "QvCommands.h"

#include <QApplication>
#include <QStyle>

namespace {
const QvCommandText kCommands[] = {
    {QvCommand::New, 0, "&New\tCtrl+N", "Create a new document."},
    {QvCommand::Open, 0, "&Open...\tCtrl+O", "Open an existing document."},
    {QvCommand::Save, 0, "&Save\tCtrl+S", "Save the active document."},
    {QvCommand::SaveAs, 0, "Save &As...", "Save the active document with a new name."},
    {QvCommand::Close, 0, "&Close\tCtrl+W", "Close the active document."},
    {QvCommand::Exit, 0, "E&xit\tCtrl+Q", "Quit the application; prompts to save documents."},
    {QvCommand::Undo, 0, "&Undo\tCtrl+Z", "Undo the last action."},
    {QvCommand::Redo, 0, "&Redo\tCtrl+Y", "Redo the previously undone action."},
    {QvCommand::Cut, 0, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard."},
    {QvCommand::Copy, 0, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard."},
    {QvCommand::Paste, 0, "&Paste\tCtrl+V", "Insert Clipboard contents."},
    {QvCommand::SelectAll, 0, "Select &All\tCtrl+A", "Select the entire document."},
    {QvCommand::Run, 32771, "&Run\tCtrl+R", "Execute the Quarvel program."},
    {QvCommand::Check, 32772, "Chec&k\tCtrl+K", "Check the Syntax of the current program."},
    {QvCommand::Stop, 32773, "Stop\tCtrl+.", "Halt execution of the Quarvel program."},
    {QvCommand::ConsoleWindow, 32786, "&Console Window\tCtrl+0", "Bring the console window to the front."},
    {QvCommand::FunctionBrowser, 32787, "&Function Browser...\tCtrl+B", "Look up a function definition."},
    {QvCommand::FunctionListing, 32782, "Function Browser", "List the built-in plug-in functions."},
    {QvCommand::SolutionWizard, 0, "&Solution Wizard...", "Add a function or a sample to the program."},
    {QvCommand::VideoSourceSettings, 0, "&Videosource...", "Choose the camera and its picture settings."},
    {QvCommand::MovieSettings, 0, "&Movie...", "Choose how new movies compress their frames."},
    {QvCommand::ToolBar, 0, "&Toolbar", "Show or hide the toolbar."},
    {QvCommand::StatusBar, 0, "&Status Bar", "Show or hide the status bar."},
    {QvCommand::Cascade, 0, "&Cascade", "Arrange windows so they overlap."},
    {QvCommand::Tile, 0, "&Tile", "Arrange windows as non-overlapping tiles."},
    {QvCommand::NextWindow, 0, "Ne&xt Window\tCtrl+F6", "Activate the next window."},
    {QvCommand::PreviousWindow, 0, "Pre&vious Window\tCtrl+Shift+F6", "Activate the previous window."},
    {QvCommand::Help, 0, "Quarvel &Help\tF1", "Show the Quarvel manual."},
    {QvCommand::About, 0, "&About Quarvel...", "Display program information, version number and copyright."},
};

QIcon iconOf(QvCommand command) {
    QStyle* style = QApplication::style();
    switch (command) {
    case QvCommand::New: return style->standardIcon(QStyle::SP_FileIcon);
    case QvCommand::Open: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case QvCommand::Save: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case QvCommand::Run: return style->standardIcon(QStyle::SP_MediaPlay);
    case QvCommand::Check: return style->standardIcon(QStyle::SP_DialogApplyButton);
    case QvCommand::Stop: return style->standardIcon(QStyle::SP_MediaStop);
    case QvCommand::ConsoleWindow: return style->standardIcon(QStyle::SP_ComputerIcon);
    case QvCommand::FunctionListing: return style->standardIcon(QStyle::SP_FileDialogContentsView);
    default: return {};
    }
}
}  // namespace

const QvCommandText& QvCommandTextOf(QvCommand command) {
    for (const QvCommandText& text : kCommands)
        if (text.command == command) return text;
    return kCommands[0];
}

QAction* QvCreateCommandAction(QvCommand command, QObject* parent) {
    const QvCommandText& text = QvCommandTextOf(command);
    const QString menuText = QString::fromLatin1(text.menuText);
    const qsizetype tab = menuText.indexOf(QLatin1Char('\t'));
    auto* action = new QAction(iconOf(command), menuText.left(tab), parent);
    if (tab >= 0) action->setShortcut(QKeySequence::fromString(menuText.mid(tab + 1), QKeySequence::PortableText));
    action->setStatusTip(QString::fromLatin1(text.prompt));
    action->setProperty("commandId", text.id);
    return action;
}
