#pragma once

class QWidget;

// What the desktop's window manager knows of the tool's windows, on X11. Elsewhere nothing
// can be told, and the answer is as if nobody had the keyboard.

// Whether a window of another program has the keyboard (_NET_ACTIVE_WINDOW, else the
// input focus). False while one of the tool's windows has it or none has it.
bool anotherProgramHasTheKeyboard();
