#include "files/broadcast_file_format.h"
#include "files/cp932.h"

#include <QtTest>

#include <vector>

using Rows = std::vector<BroadcastRow>;
using broadcast_file::Field;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(broadcast_file::Field)

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray sjis(const QString &text)
{
    QByteArray out;
    if (!cp932::encode(text, out, nullptr))
        qFatal("test text is not code page 932");
    return out;
}

BroadcastRow row(const QString &content, const QString &fare = {}, const QString &sound = {})
{
    return BroadcastRow{content, fare, sound};
}

// Compares field by field so a failure names the row and the field.
void compareRows(const Rows &actual, const Rows &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QByteArray where = "row " + QByteArray::number(qulonglong(i + 1));
        QVERIFY2(actual[i].Content == expected[i].Content, where + " content");
        QVERIFY2(actual[i].FareSignal == expected[i].FareSignal, where + " fare signal");
        QVERIFY2(actual[i].SoundSignal == expected[i].SoundSignal, where + " sound signal");
    }
}

// Every character the reader accepts, one per accepted code.
QString everyReadableCharacter()
{
    QString all;
    for (int first = 0; first < 256; ++first) {
        QString text;
        if (cp932::decode(QByteArray(1, char(first)), text, nullptr)) {
            all += text;
            continue;
        }
        for (int second = 0; second < 256; ++second) {
            const char pair[2] = {char(first), char(second)};
            if (cp932::decode(QByteArrayView(pair, 2), text, nullptr))
                all += text;
        }
    }
    return all;
}

} // namespace

class TestBroadcastFileFormat : public QObject
{
    Q_OBJECT

private slots:
    // Writing
    void writesExactBytes_data();
    void writesExactBytes();
    void refusesFieldsThatWouldNotReadBack_data();
    void refusesFieldsThatWouldNotReadBack();

    // Reading
    void reads_data();
    void reads();
    void stopsAtTheFirstBadLine_data();
    void stopsAtTheFirstBadLine();
    void readsTheSameInPieces_data() { reads_data(); }
    void readsTheSameInPieces();
    void failsTheSameInPieces_data() { stopsAtTheFirstBadLine_data(); }
    void failsTheSameInPieces();
    void ignoresPiecesAfterAFailure();

    // Both ways
    void everyReadableCharacterRoundTrips();
};

void TestBroadcastFileFormat::writesExactBytes_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("no rows") << Rows{} << QByteArray();
    QTest::newRow("two announcements")
        << Rows{row(QStringLiteral("ご乗車ありがとうございます"), "1", "2"),
                row(QStringLiteral("次は終点です"), "0", "0")}
        << hex("82B2 8FE6 8ED4 82A0 82E8 82AA 82C6 82A4 82B2 82B4 82A2 82DC 82B7 2C 31 2C 32"
               " 0D0A"
               "8E9F 82CD 8F49 935F 82C5 82B7 2C 30 2C 30 0D0A");
    QTest::newRow("new row placeholder") << Rows{row(QStringLiteral("(新しい行)"))}
                                         << hex("28 9056 82B5 82A2 8D73 29 2C 2C 0D0A");
    QTest::newRow("empty content") << Rows{row("", "0", "3")} << QByteArray(",0,3\r\n");
    QTest::newRow("all empty") << Rows{row("")} << QByteArray(",,\r\n");
    QTest::newRow("other signals unchanged") << Rows{row("x", "7", "9")}
                                             << QByteArray("x,7,9\r\n");
    QTest::newRow("blanks kept") << Rows{row(" a\tb ", "\t", " ")}
                                 << QByteArray(" a\tb ,\t, \r\n");
    QTest::newRow("quote inside is plain text") << Rows{row("say \"hi\"", " \"", "1")}
                                                << QByteArray("say \"hi\", \",1\r\n");
    QTest::newRow("Windows' preferred codes") << Rows{row(QStringLiteral("≒Ⅰⅰ￢"))}
                                              << hex("81E0 8754 FA40 81CA 2C2C 0D0A");
    QTest::newRow("input-method look-alikes") << Rows{row(QStringLiteral("10時〜12時"))}
                                              << hex("3130 8E9E 8160 3132 8E9E 2C2C 0D0A");
}

void TestBroadcastFileFormat::writesExactBytes()
{
    QFETCH(Rows, rows);
    QFETCH(QByteArray, bytes);

    const broadcast_file::SerializeResult written = broadcast_file::serialize(rows);
    QVERIFY2(written.ok(), qPrintable(written.cause));
    QCOMPARE(written.bytes.toHex(' '), bytes.toHex(' '));
}

void TestBroadcastFileFormat::refusesFieldsThatWouldNotReadBack_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("failedRow");
    QTest::addColumn<Field>("field");
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<uint>("character");

    const QString emoji = QString::fromUcs4(U"\U0001F600", 1);
    const Rows good{row(QStringLiteral("次は終点です"), "0", "0")};
    auto after = [&good](std::initializer_list<BroadcastRow> tail) {
        Rows rows = good;
        rows.insert(rows.end(), tail);
        return rows;
    };
    QTest::newRow("emoji in content") << after({row("ab" + emoji, "0", "0")}) << 2
                                      << Field::Content << qsizetype(2) << uint(0x1F600);
    QTest::newRow("CR in content") << after({row("a\rb")}) << 2 << Field::Content
                                   << qsizetype(1) << uint('\r');
    QTest::newRow("LF in content") << Rows{row("a\n")} << 1 << Field::Content << qsizetype(1)
                                   << uint('\n');
    QTest::newRow("comma in fare signal") << after({row("a", "1,2", "0")}) << 2
                                          << Field::FareSignal << qsizetype(1) << uint(',');
    QTest::newRow("comma in sound signal") << after({good[0], row("a", "1", ",")}) << 3
                                           << Field::SoundSignal << qsizetype(0) << uint(',');
    QTest::newRow("LF in sound signal") << Rows{row("a", "1", "0\n")} << 1
                                        << Field::SoundSignal << qsizetype(1) << uint('\n');
    QTest::newRow("leading quote in content") << after({row("\"quoted\"")}) << 2
                                              << Field::Content << qsizetype(0) << uint('"');
    QTest::newRow("leading quote in signal") << Rows{row("a", "\"")} << 1 << Field::FareSignal
                                             << qsizetype(0) << uint('"');
    QTest::newRow("lone surrogate") << Rows{row(QStringLiteral("a") + QChar(0xD800))} << 1
                                    << Field::Content << qsizetype(1) << uint(0xD800);
    QTest::newRow("comma before emoji") << Rows{row("a," + emoji)} << 1 << Field::Content
                                        << qsizetype(1) << uint(',');
    QTest::newRow("emoji before comma") << Rows{row(emoji + ",")} << 1 << Field::Content
                                        << qsizetype(0) << uint(0x1F600);
    QTest::newRow("first bad field wins") << Rows{row("ok", "x\r", ","), row(",")} << 1
                                          << Field::FareSignal << qsizetype(1) << uint('\r');
}

void TestBroadcastFileFormat::refusesFieldsThatWouldNotReadBack()
{
    QFETCH(Rows, rows);
    QFETCH(int, failedRow);
    QFETCH(Field, field);
    QFETCH(qsizetype, index);
    QFETCH(uint, character);

    const broadcast_file::SerializeResult written = broadcast_file::serialize(rows);
    QVERIFY(!written.ok());
    QCOMPARE(written.failedRow, failedRow);
    QCOMPARE(written.failedField, field);
    QCOMPARE(written.failedIndex, index);
    QCOMPARE(uint(written.failedCharacter), character);
    QVERIFY(!written.cause.isEmpty());
    QVERIFY(written.bytes.isEmpty());
}

void TestBroadcastFileFormat::reads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Rows>("rows");

    const QString tsugi = QStringLiteral("次は終点です");
    QTest::newRow("zero bytes") << QByteArray() << Rows{};
    QTest::newRow("other signals unchanged") << QByteArray("x,7,9") << Rows{row("x", "7", "9")};
    QTest::newRow("CR LF lines") << sjis(tsugi + ",0,0\r\nb,1,2\r\n")
                                 << Rows{row(tsugi, "0", "0"), row("b", "1", "2")};
    QTest::newRow("LF lines") << QByteArray("a,1,2\nb,3,0\n")
                              << Rows{row("a", "1", "2"), row("b", "3", "0")};
    QTest::newRow("mixed endings, last unterminated") << QByteArray("a,1,2\r\nb,3,0\nc,0,1")
        << Rows{row("a", "1", "2"), row("b", "3", "0"), row("c", "0", "1")};
    QTest::newRow("blank lines skipped") << QByteArray("\r\n\na,1,2\r\n\r\n\r\r\n\nb,0,0\n\r\n")
                                         << Rows{row("a", "1", "2"), row("b", "0", "0")};
    QTest::newRow("blank line of CR at end") << QByteArray("a,1,2\r\n\r") << Rows{row("a", "1", "2")};
    QTest::newRow("CR inside a line is text") << QByteArray("a\rb,1,2\r\n")
                                              << Rows{row("a\rb", "1", "2")};
    QTest::newRow("blanks kept") << QByteArray(" a ,\t1, 2 \r\n  \r\n")
                                 << Rows{row(" a ", "\t1", " 2 "), row("  ")};
    QTest::newRow("one field") << QByteArray("abc\r\n") << Rows{row("abc")};
    QTest::newRow("two fields") << QByteArray("abc,1\r\n") << Rows{row("abc", "1")};
    QTest::newRow("commas only") << QByteArray(",,\r\n,\r\n") << Rows{row(""), row("")};
    QTest::newRow("trailing comma is an empty third field") << QByteArray("a,1,\r\n")
                                                            << Rows{row("a", "1", "")};
    QTest::newRow("quoted comma") << QByteArray("\"a,b\",1,2\r\n") << Rows{row("a,b", "1", "2")};
    QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",\"0\",\"\"\r\n")
                                    << Rows{row("say \"hi\"", "0", "")};
    QTest::newRow("quoted field at end of line") << QByteArray("a,1,\"2\"")
                                                 << Rows{row("a", "1", "2")};
    QTest::newRow("quote after blank is text") << QByteArray(" \"a\",b\"c,1\r\n")
                                               << Rows{row(" \"a\"", "b\"c", "1")};
    QTest::newRow("quoted field in Shift-JIS") << sjis("\"" + tsugi + ",\",0,1\r\n")
                                               << Rows{row(tsugi + ",", "0", "1")};
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + (tsugi + ",1,2\r\n\xF0\x9F\x98\x80,0,0").toUtf8()
        << Rows{row(tsugi, "1", "2"), row(QString::fromUcs4(U"\U0001F600", 1), "0", "0")};
    QTest::newRow("UTF-8 keeps a later U+FEFF") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "a\n")
                                                << Rows{row(QString(QChar(0xFEFF)) + "a")};
    // Lines read together are split as lines read one by one: blank and CR-only lines
    // skipped, one CR dropped before the LF, a U+FEFF starting a later line kept.
    QTest::newRow("UTF-8 lines read together")
        << QByteArray("\xEF\xBB\xBF" "a,1\r\r\n\r\r\n\n\xEF\xBB\xBF" "b\r\nc")
        << Rows{row("a", "1\r"), row(QString(QChar(0xFEFF)) + "b"), row("c")};
    // Lines shaped like the usual one (content and two one-character signals) that are not.
    QTest::newRow("one-character signals, a quote inside") << QByteArray("a\"b,1,0\r\n,0,3")
        << Rows{row("a\"b", "1", "0"), row("", "0", "3")};
    QTest::newRow("quoted content, then signals") << QByteArray("\"a\",1,0\r\n")
                                                  << Rows{row("a", "1", "0")};
    QTest::newRow("written placeholder") << hex("28 9056 82B5 82A2 8D73 29 2C 2C 0D0A")
                                         << Rows{row(QStringLiteral("(新しい行)"), "", "")};
}

void TestBroadcastFileFormat::reads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Rows, rows);

    const broadcast_file::ParseResult read = broadcast_file::parse(bytes);
    QVERIFY2(read.ok(), qPrintable(QString::number(read.failedLine) + ": " + read.cause));
    QVERIFY(read.cause.isEmpty());
    compareRows(read.rows, rows);
}

void TestBroadcastFileFormat::stopsAtTheFirstBadLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("failedLine");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<Rows>("rowsBefore");

    const Rows two{row("a", "1", "2"), row("b", "0", "0")};
    const QByteArray twoLines("a,1,2\r\n\r\nb,0,0\r\n"); // lines 1 to 3
    QTest::newRow("four fields") << twoLines + "c,1,2,3\r\nd,0,0\r\n" << 4 << QString() << two;
    QTest::newRow("a comma as the last signal") << twoLines + "c,1,,\r\n" << 4 << QString() << two;
    QTest::newRow("a comma as the first signal") << twoLines + "c,,,1\r\n" << 4 << QString() << two;
    QTest::newRow("a quote as the last signal") << twoLines + "c,1,\"\r\n" << 4 << QString() << two;
    QTest::newRow("a quote as the first signal") << twoLines + "c,\",1\r\n" << 4 << QString() << two;
    QTest::newRow("quoted comma counts once, real one does not")
        << QByteArray("\"a,b\",1,2,\r\n") << 1 << QString() << Rows{};
    QTest::newRow("truncated pair at end") << twoLines + "c\x82" << 4
        << QStringLiteral("2バイト文字の途中でファイルが終わっています 0x82") << two;
    QTest::newRow("invalid trail byte") << twoLines + "c\x81\x20,1,2\r\n" << 4
                                        << QStringLiteral("不正な2バイト文字 0x81 0x20") << two;
    QTest::newRow("lead byte before line end") << QByteArray("a\x81\r\nb\r\n") << 1
                                               << QStringLiteral("不正な2バイト文字 0x81 0x0D")
                                               << Rows{};
    QTest::newRow("lead byte before LF") << twoLines + "\x9F\n" << 4
                                         << QStringLiteral("不正な2バイト文字 0x9F 0x0A") << two;
    QTest::newRow("undefined pair") << twoLines + "\n\x85\x40,1,2" << 5
                                    << QStringLiteral("不正な2バイト文字 0x85 0x40") << two;
    QTest::newRow("unterminated quote") << twoLines + "\"abc,1,2\r\n" << 4 << QString() << two;
    QTest::newRow("quote does not span lines") << QByteArray("\"a\r\nb\",1,2\r\n") << 1
                                               << QString() << Rows{};
    QTest::newRow("text after closing quote") << twoLines + "\"a\"b,1,2\r\n" << 4 << QString()
                                              << two;
    QTest::newRow("blank after closing quote") << QByteArray("\"a\" ,1,2") << 1 << QString()
                                               << Rows{};
    QTest::newRow("invalid UTF-8") << QByteArray("\xEF\xBB\xBF" "a,1,2\r\n\xC3\x28,0,0\r\n") << 2
                                   << QString() << Rows{row("a", "1", "2")};
    QTest::newRow("UTF-8 cut off at end") << QByteArray("\xEF\xBB\xBF" "a,1,2\n\xE3\x81") << 2
                                          << QString() << Rows{row("a", "1", "2")};
    QTest::newRow("UTF-8 cut off by a line end")
        << QByteArray("\xEF\xBB\xBF" "a,1,2\n\n\xE3\x81\nb\n") << 3 << QString()
        << Rows{row("a", "1", "2")};
    QTest::newRow("UTF-8 surrogate") << QByteArray("\xEF\xBB\xBF\xED\xA0\x80") << 1 << QString()
                                     << Rows{};
}

void TestBroadcastFileFormat::stopsAtTheFirstBadLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, failedLine);
    QFETCH(QString, cause);
    QFETCH(Rows, rowsBefore);

    const broadcast_file::ParseResult read = broadcast_file::parse(bytes);
    QVERIFY(!read.ok());
    QCOMPARE(read.failedLine, failedLine);
    QVERIFY(!read.cause.isEmpty());
    if (!cause.isEmpty())
        QCOMPARE(read.cause, cause);
    compareRows(read.rows, rowsBefore);
}

// Feeds bytes in pieces of one size, the way a file is read in blocks.
broadcast_file::ParseResult readInPieces(const QByteArray &bytes, qsizetype pieceSize)
{
    broadcast_file::Reader reader;
    for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
        reader.feed(QByteArrayView(bytes).sliced(at, std::min(pieceSize, bytes.size() - at)));
    return reader.finish();
}

void TestBroadcastFileFormat::readsTheSameInPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Rows, rows);

    // Every piece size up to the whole file splits some line, pair or mark somewhere.
    for (qsizetype pieceSize = 1; pieceSize <= std::max<qsizetype>(1, bytes.size()); ++pieceSize) {
        const broadcast_file::ParseResult read = readInPieces(bytes, pieceSize);
        QVERIFY2(read.ok(), qPrintable(QStringLiteral("pieces of %1: line %2: %3")
                                           .arg(pieceSize).arg(read.failedLine).arg(read.cause)));
        compareRows(read.rows, rows);
    }
}

void TestBroadcastFileFormat::failsTheSameInPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, failedLine);
    QFETCH(Rows, rowsBefore);

    const QString cause = broadcast_file::parse(bytes).cause;
    for (qsizetype pieceSize = 1; pieceSize <= bytes.size(); ++pieceSize) {
        const broadcast_file::ParseResult read = readInPieces(bytes, pieceSize);
        QCOMPARE(read.failedLine, failedLine);
        QCOMPARE(read.cause, cause);
        compareRows(read.rows, rowsBefore);
    }
}

void TestBroadcastFileFormat::ignoresPiecesAfterAFailure()
{
    broadcast_file::Reader reader;
    QVERIFY(reader.feed("a,1,2\n"));
    QVERIFY(!reader.feed("b,1,2,3\n"));
    QVERIFY(!reader.feed("c,1,2\n"));
    const broadcast_file::ParseResult read = reader.finish();
    QCOMPARE(read.failedLine, 2);
    compareRows(read.rows, Rows{row("a", "1", "2")});
}

void TestBroadcastFileFormat::everyReadableCharacterRoundTrips()
{
    const QString all = everyReadableCharacter();
    QVERIFY(all.size() > 9000);

    // Rows of varied length, with blanks inside fields; characters that cannot stand in a
    // field (separators, a quote at the start) are left out as serialize would refuse them.
    Rows rows;
    qsizetype next = 0;
    int n = 0;
    while (next < all.size()) {
        const qsizetype length = 1 + (n * 7) % 60;
        QString content = all.mid(next, length);
        next += length;
        content.remove(u',').remove(u'\r').remove(u'\n');
        if (content.startsWith(u'"'))
            content.prepend(u' ');
        content.insert(content.size() / 2, n % 2 ? u'\t' : u' ');
        const QString fare = n % 5 == 0 ? QString() : QString::number(n % 4);
        const QString sound = n % 3 == 0 ? QStringLiteral(" 0\t") : QString::number(n % 10);
        rows.push_back(row(content, fare, sound));
        ++n;
    }

    const broadcast_file::SerializeResult written = broadcast_file::serialize(rows);
    QVERIFY2(written.ok(), qPrintable(QString::number(written.failedRow) + written.cause));
    const broadcast_file::ParseResult read = broadcast_file::parse(written.bytes);
    QVERIFY2(read.ok(), qPrintable(QString::number(read.failedLine) + read.cause));
    compareRows(read.rows, rows);
    QCOMPARE(broadcast_file::serialize(read.rows).bytes, written.bytes);
}

QTEST_GUILESS_MAIN(TestBroadcastFileFormat)
#include "tst_broadcast_file_format.moc"
