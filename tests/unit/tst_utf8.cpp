// The reader's UTF-8 decoding must accept exactly what Qt's decoder accepts and give the
// same text: every one- and two-byte sequence, and every lead byte of three and four with
// the continuation bytes around each boundary, inside ASCII runs that take the fast path.
#include "files/utf8.h"

#include <QStringDecoder>
#include <QTest>

#include <vector>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
} // namespace

class TestUtf8 : public QObject
{
    Q_OBJECT
private slots:
    void agreesWithQt();
};

void TestUtf8::agreesWithQt()
{
    const std::vector<int> edges = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                    0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4,
                                    0xF5, 0xFF};
    std::vector<QByteArray> cases;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b)
            cases.push_back(bytes({a, b}));
        for (int b : edges)
            for (int c : edges) {
                cases.push_back(bytes({a, b, c}));
                for (int d : edges)
                    cases.push_back(bytes({a, b, c, d}));
            }
    }
    int checked = 0;
    std::vector<char16_t> units;
    for (const QByteArray &sequence : cases) {
        const QByteArray text = "abcdefgh" + sequence + "ijklmnopq";
        QStringDecoder qt(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                    | QStringDecoder::Flag::ConvertInitialBom);
        const QString expected = qt.decode(text);
        units.resize(size_t(text.size()));
        const qsizetype written = utf8::decodeInto(text, units.data());
        QVERIFY2((written >= 0) == !qt.hasError(), sequence.toHex().constData());
        if (written >= 0)
            QCOMPARE(QStringView(units.data(), written), QStringView(expected));
        ++checked;
    }
    qInfo("%d sequences agree", checked);
}

QTEST_APPLESS_MAIN(TestUtf8)
#include "tst_utf8.moc"
