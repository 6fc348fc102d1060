#pragma once

class QWidget;

// Asks the window manager to leave a shown top-level window out of the taskbar, the way
// the tool has always appeared, without making it a tool window (which would lose its
// normal frame and focus behaviour). Does nothing where the platform has no such request.
void excludeFromTaskbar(QWidget *window);
