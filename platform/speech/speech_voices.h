#pragma once

#include <QString>
#include <QStringList>

// Where Open JTalk voices (*.htsvoice) are looked for, and what is learnt from them.
namespace SpeechVoices {

// The system folders, then the user's data folder (~/.local/share/hts-voice, following
// XDG_DATA_HOME). Each is searched with its subfolders.
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
