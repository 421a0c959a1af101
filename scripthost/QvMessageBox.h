#pragma once

// Messages for the person at the machine that the engine cannot return to a caller
// (the media layer failing to start). They go to standard error, or to the hook a
// host or test installs.
using QvMessageBoxHook = void (*)(const char* text);

void QvShowMessageBox(const char* text);
// Installs the hook and returns the one before; null restores standard error.
QvMessageBoxHook QvSetMessageBoxHook(QvMessageBoxHook hook);
