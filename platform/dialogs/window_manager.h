#pragma once

class QWidget;

// What the desktop's window manager knows of the tool's windows and does for them, on X11.
// Elsewhere nothing can be told: the functions answer as if nobody had the keyboard and
// leave attention to Qt.

// Whether a window of another program has the keyboard (_NET_ACTIVE_WINDOW, else the
// input focus). False while one of the tool's windows has it or none has it.
bool anotherProgramHasTheKeyboard();

// Sets or clears the urgency hint of the window, on top of Qt's request for attention
// (_NET_WM_STATE_DEMANDS_ATTENTION), since pagers and older window managers look only at
// the hint. The hint stays until it is cleared.
void setUrgent(QWidget *window, bool urgent);
