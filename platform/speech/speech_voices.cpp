#include "platform/speech/speech_voices.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace SpeechVoices {

QStringList builtInFolders(const QString &programFolder)
{
    const QDir program(programFolder);
    return {
        QDir::cleanPath(program.filePath(QStringLiteral("voices"))),
        QDir::cleanPath(program.filePath(QStringLiteral(BDT_VOICES_FROM_BINDIR))),
    };
}

QStringList defaultFolders()
{
    QStringList folders = builtInFolders(QCoreApplication::applicationDirPath());
    folders << QStringLiteral("/usr/share/hts-voice") << QStringLiteral("/usr/local/share/hts-voice")
            << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                   + QStringLiteral("/hts-voice");
    return folders;
}

QStringList find(const QStringList &folders)
{
    QStringList result;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            continue;
        QStringList here;
        QDirIterator it(folder, {QStringLiteral("*.htsvoice")}, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext())
            here << it.next();
        here.sort();
        for (const QString &path : std::as_const(here)) {
            const QString canonical = QFileInfo(path).canonicalFilePath();
            if (canonical.isEmpty() || seen.contains(canonical))
                continue;
            seen.insert(canonical);
            result << path;
        }
    }
    return result;
}

int sampleRate(const QString &voiceFile)
{
    QFile file(voiceFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    // The global section is a few lines of text at the start of the file.
    const QByteArray head = file.read(4096);
    const QByteArray key = "\nSAMPLING_FREQUENCY:";
    const qsizetype at = head.indexOf(key);
    if (at < 0)
        return 0;
    const qsizetype start = at + key.size();
    const qsizetype end = head.indexOf('\n', start);
    bool ok = false;
    const int rate = head.mid(start, end < 0 ? -1 : end - start).trimmed().toInt(&ok);
    return ok && rate > 0 ? rate : 0;
}

QString displayName(const QString &voiceFile)
{
    return QFileInfo(voiceFile).completeBaseName();
}

} // namespace SpeechVoices
