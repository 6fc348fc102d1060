// Checks the converter against glibc's CP932, an independent reading of Microsoft's table
// that makes the same choices on writing. glibc leaves out only the five single bytes
// Windows maps (0x80, 0xA0, 0xFD..0xFF), which tst_cp932 covers.
#include "files/cp932.h"

#include <QtTest>

#include <iconv.h>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The converted bytes, or a null array when iconv refuses the input.
    QByteArray convert(const QByteArray &in)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char *inPtr = const_cast<char *>(in.constData());
        size_t inLeft = size_t(in.size());
        char *outPtr = out;
        size_t outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
            return QByteArray();
        return QByteArray(out, qsizetype(sizeof out - outLeft));
    }

private:
    iconv_t m_cd;
};

} // namespace

class TestCp932AgainstIconv : public QObject
{
    Q_OBJECT

private slots:
    void agreesOutsideWindowsSingleBytes();
};

void TestCp932AgainstIconv::agreesOutsideWindowsSingleBytes()
{
    Iconv toText("UTF-16LE", "CP932");
    Iconv toBytes("CP932", "UTF-16LE");
    if (!toText.valid() || !toBytes.valid())
        QSKIP("glibc has no CP932 converter here");

    // glibc leaves out the five single bytes Windows maps; everything else must match.
    const QByteArray windowsOnly = hex("80A0FDFEFF");
    for (int first = 0; first < 256; ++first) {
        for (int second = -1; second < 256; ++second) {
            QByteArray bytes(1, char(first));
            if (second >= 0)
                bytes += char(second);
            if (windowsOnly.contains(char(first)))
                continue;
            QString ours;
            const bool oursOk = cp932::decode(bytes, ours, nullptr) && ours.size() == 1;
            const QByteArray theirs = toText.convert(bytes);
            const bool theirsOk = !theirs.isNull() && theirs.size() == 2;
            QVERIFY2(oursOk == theirsOk, bytes.toHex(' ').constData());
            if (oursOk)
                QCOMPARE(uint(ours[0].unicode()), uint(uchar(theirs[0]) | uchar(theirs[1]) << 8));
        }
    }

    for (int c = 0; c < 0x10000; ++c) {
        if (QChar::isSurrogate(char32_t(c)) || c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3))
            continue;
        const char16_t unit = char16_t(c);
        QByteArray ours;
        const bool oursOk = cp932::encode(QStringView(&unit, 1), ours, nullptr);
        const QByteArray theirs =
            toBytes.convert(QByteArray(reinterpret_cast<const char *>(&unit), 2));
        QVERIFY2(oursOk == !theirs.isNull(), qPrintable(QString::number(c, 16)));
        if (oursOk)
            QCOMPARE(ours.toHex(' '), theirs.toHex(' '));
    }
}

QTEST_GUILESS_MAIN(TestCp932AgainstIconv)
#include "tst_cp932_against_iconv.moc"
