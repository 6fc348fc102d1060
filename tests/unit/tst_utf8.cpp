// The reader's UTF-8 decoding must accept exactly what Qt's decoder accepts and give the
// same text: every one- and two-byte sequence, and every lead byte of three and four with
// the continuation bytes around each boundary, inside ASCII runs that take the fast path.
#include "files/utf8.h"

#include <QStringDecoder>
#include <QTest>

#include <algorithm>
#include <vector>

class TestUtf8 : public QObject
{
    Q_OBJECT
private slots:
    void agreesWithQt();
};

// Nothing here allocates per sequence: over two million of them, allocation would be most
// of the time, and under AddressSanitizer most of a minute.
void TestUtf8::agreesWithQt()
{
    const std::vector<int> edges = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                    0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4,
                                    0xF5, 0xFF};
    static constexpr char before[] = "abcdefgh";
    static constexpr char after[] = "ijklmnopq";
    char text[sizeof before - 1 + 4 + sizeof after - 1];
    QChar expected[sizeof text];
    char16_t units[sizeof text];
    QStringDecoder qt(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    int checked = 0;
    const auto check = [&](std::initializer_list<int> sequence) {
        char *end = std::copy(before, before + sizeof before - 1, text);
        for (int byte : sequence)
            *end++ = char(byte);
        end = std::copy(after, after + sizeof after - 1, end);
        const QByteArrayView bytes(text, end);
        qt.resetState();
        const qsizetype qtWritten = qt.appendToBuffer(expected, bytes) - expected;
        const qsizetype written = utf8::decodeInto(bytes, units);
        ++checked;
        if ((written >= 0) == !qt.hasError()
            && (written < 0
                || QStringView(units, written) == QStringView(expected, qtWritten)))
            return true;
        qWarning("disagree on %s", bytes.toByteArray().toHex(' ').constData());
        return false;
    };
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b)
            QVERIFY(check({a, b}));
        for (int b : edges)
            for (int c : edges) {
                QVERIFY(check({a, b, c}));
                for (int d : edges)
                    QVERIFY(check({a, b, c, d}));
            }
    }
    qInfo("%d sequences agree", checked);
}

QTEST_APPLESS_MAIN(TestUtf8)
#include "tst_utf8.moc"
