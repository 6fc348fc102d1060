#pragma once

#include <QString>

// Names the program for Qt: its name and version (--version, dialogs) and the organization
// under which QSettings keeps the user's settings, <config>/broadcast-data-tool/, which the
// window and its command-line companion share. A program with a window also names its
// desktop entry (without ".desktop"), so that the desktop matches the running window to
// the installed entry's name and icon.
void setApplicationIdentity(const QString &applicationName, const QString &desktopEntry = {});
