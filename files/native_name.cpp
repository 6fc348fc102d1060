#include "files/native_name.h"

#include "files/utf8.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(QStringView name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF
        && (i == 0 || !QChar::isHighSurrogate(name[i - 1].unicode()));
}

} // namespace

QString nameFromNative(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    char16_t units[4];
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = quint8(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const qsizetype decoded =
            i + length <= bytes.size() ? utf8::decodeInto(bytes.sliced(i, length), units) : -1;
        if (decoded > 0) {
            name.append(QStringView(units, decoded));
            i += length;
        } else {
            name.append(QChar(char16_t(kEscapeBase + lead)));
            ++i;
        }
    }
    return name;
}

QByteArray nativeName(const QString &name)
{
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        bytes += QStringView(name).sliced(from, i - from).toUtf8();
        bytes += char(name[i].unicode() - kEscapeBase);
        from = i + 1;
    }
    return bytes + QStringView(name).sliced(from).toUtf8();
}
