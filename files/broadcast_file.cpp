#include "files/broadcast_file.h"

#include "files/broadcast_file_format.h"
#include "platform/list/list_view.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace {

constexpr qint64 kChunk = 1 << 20;

QString fieldName(broadcast_file::Field field)
{
    switch (field) {
    case broadcast_file::Field::FareSignal: return QStringLiteral("運賃切替信号");
    case broadcast_file::Field::SoundSignal: return QStringLiteral("サウンド指定信号");
    case broadcast_file::Field::Content: break;
    }
    return QStringLiteral("放送内容");
}

[[noreturn]] void failOpen(const QFileDevice &file)
{
    const int number = file.error() == QFileDevice::OpenError && !QFile::exists(file.fileName())
        ? RuntimeError::FileNotFound
        : RuntimeError::PathFileAccessError;
    throw BroadcastFileError(number, QStringLiteral("ファイルを開けません。"),
                             QStringLiteral("%1 (%2)").arg(file.fileName(), file.errorString()));
}

[[noreturn]] void failIo(const QFileDevice &file, const QString &what)
{
    throw BroadcastFileError(RuntimeError::PathFileAccessError, what,
                             QStringLiteral("%1 (%2)").arg(file.fileName(), file.errorString()));
}

// Counting the lines first lets the rows be reserved once, so a large file never has its
// table copied while it grows.
qsizetype countLineFeeds(QFile &file, QByteArray &buffer)
{
    qsizetype count = 0;
    for (;;) {
        const qint64 n = file.read(buffer.data(), kChunk);
        if (n < 0)
            failIo(file, QStringLiteral("ファイルを読み込めません。"));
        if (n == 0)
            break;
        const char *p = buffer.constData();
        const char *end = p + n;
        while ((p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p))))) {
            ++count;
            ++p;
        }
    }
    return count;
}

} // namespace

void WriteBroadcastFile(ListView &list, const QString &path)
{
    const broadcast_file::SerializeResult result = broadcast_file::serialize(list.Rows());
    if (!result.ok()) {
        throw BroadcastFileError(
            RuntimeError::PathFileAccessError, QStringLiteral("保存できない文字があります。"),
            QStringLiteral("%1 行目の%2: %3")
                .arg(result.failedRow)
                .arg(fieldName(result.failedField), result.cause));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        failOpen(file);
    if (file.write(result.bytes) != result.bytes.size())
        failIo(file, QStringLiteral("ファイルに書き込めません。"));
    if (!file.commit())
        failIo(file, QStringLiteral("ファイルに書き込めません。"));
}

void ReadBroadcastFile(ListView &list, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failOpen(file);
    QByteArray buffer(kChunk, Qt::Uninitialized);

    broadcast_file::Reader reader;
    reader.reserve(countLineFeeds(file, buffer) + 1);
    if (!file.seek(0))
        failIo(file, QStringLiteral("ファイルを読み込めません。"));
    for (;;) {
        const qint64 n = file.read(buffer.data(), kChunk);
        if (n < 0) {
            list.AppendRows(reader.finish().rows);
            failIo(file, QStringLiteral("ファイルを読み込めません。"));
        }
        if (n == 0 || !reader.feed(QByteArrayView(buffer.constData(), n)))
            break;
    }
    broadcast_file::ParseResult result = reader.finish();
    list.AppendRows(std::move(result.rows));
    if (!result.ok()) {
        throw BroadcastFileError(RuntimeError::PathFileAccessError,
                                 QStringLiteral("ファイルの内容を読み取れません。"),
                                 QStringLiteral("%1 行目: %2").arg(result.failedLine).arg(result.cause));
    }
}
