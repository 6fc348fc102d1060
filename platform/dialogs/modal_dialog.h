#pragma once

class QDialog;
class QWidget;

// Runs a dialog modally and hands the keyboard back to its owner's window afterwards.
// Window managers do not all reactivate a window that is kept out of the taskbar when its
// dialog closes, and the operator would type into nothing; but a program the operator has
// switched to keeps the keyboard. A dialog due while none of the tool's windows is active
// waits until the operator comes back, and the window asks for attention meanwhile.
int execModal(QDialog &dialog, QWidget *owner);
