#pragma once

#include <QString>
#include <QStringList>

// Where Open JTalk voices (*.htsvoice) are looked for, and what is learnt from them.
namespace SpeechVoices {

// The folders holding the tool's own voice, relative to the program's folder: voices/
// beside the program in the build tree (the build copies it there), and the tool's data
// folder when installed (share/broadcast-data-tool/voices beside bin/). Both follow the
// program wherever it is, so a package under /usr and a build installed under /usr/local
// find their own copy, and nothing is looked up outside the program's own tree.
QStringList builtInFolders(const QString &programFolder);

// The built-in folders of the running program first, so that its voice is the one used
// while the user has chosen no other; then the system folders, then the user's data folder
// (~/.local/share/hts-voice, following XDG_DATA_HOME). Each is searched with its
// subfolders.
QStringList defaultFolders();

// Every *.htsvoice file below the folders, folders in the given order, files sorted within
// each folder so the "first voice" does not depend on the file system's order. A file
// reached twice (through a link, or nested folders given) is listed once.
QStringList find(const QStringList &folders);

// The voice's sampling rate from its header, or 0 when the header does not say.
int sampleRate(const QString &voiceFile);

// The name shown to the user: the file name without its extension.
QString displayName(const QString &voiceFile);

} // namespace SpeechVoices
