#pragma once

class QString;

// Names the program for Qt: its name and version (--version, dialogs) and the organization
// under which QSettings keeps the user's settings, <config>/broadcast-data-tool/, which the
// window and its command-line companion share.
void setApplicationIdentity(const QString &applicationName);
