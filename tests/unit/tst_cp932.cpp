#include "files/cp932.h"

#include <QtTest>

#include <map>
#include <vector>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QString ucs4(std::initializer_list<char32_t> characters)
{
    // Built unit by unit: QString::fromUcs4 would take a leading U+FEFF for a byte-order mark.
    QString s;
    for (char32_t c : characters) {
        if (QChar::requiresSurrogates(c)) {
            s += QChar(QChar::highSurrogate(c));
            s += QChar(QChar::lowSurrogate(c));
        } else {
            s += QChar(char16_t(c));
        }
    }
    return s;
}

// Windows writes a character that has several codes with the first of these groups that
// holds it; the NEC-selected IBM copies (0xED/0xEE) are never written.
int preferenceRank(quint16 code)
{
    const int lead = code >> 8;
    if (lead == 0x87)
        return 1;
    if (lead >= 0xFA && lead <= 0xFC)
        return 2;
    if (lead == 0xED || lead == 0xEE)
        return 3;
    return 0;
}

} // namespace

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    // Reading
    void decodesValidBytes_data();
    void decodesValidBytes();
    void rejectsInvalidBytes_data();
    void rejectsInvalidBytes();
    void decodeIntoWritesUnitsAndReportsOffset();

    // Writing
    void encodesCharacters_data();
    void encodesCharacters();
    void refusesCharactersOutsideTheCodePage_data();
    void refusesCharactersOutsideTheCodePage();
    void encodeAppendsToExistingBytes();
    void canEncodeAgreesWithEncode_data();
    void canEncodeAgreesWithEncode();

    // The whole code page
    void everyAcceptedCodeRoundTrips();
};

void TestCp932::decodesValidBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii letters") << QByteArray("Ab1,") << QStringLiteral("Ab1,");
    QTest::newRow("NUL") << hex("00") << ucs4({0x0000});
    QTest::newRow("0x5C is backslash") << hex("5C") << ucs4({0x005C});
    QTest::newRow("0x7E is tilde") << hex("7E") << ucs4({0x007E});
    QTest::newRow("0x1A stays") << hex("1A") << ucs4({0x001A});
    QTest::newRow("0x1C stays") << hex("1C") << ucs4({0x001C});
    QTest::newRow("0x7F stays") << hex("7F") << ucs4({0x007F});
    QTest::newRow("katakana first") << hex("A1") << ucs4({0xFF61});
    QTest::newRow("katakana ka") << hex("B6") << ucs4({0xFF76});
    QTest::newRow("katakana last") << hex("DF") << ucs4({0xFF9F});
    QTest::newRow("single 0x80") << hex("80") << ucs4({0x0080});
    QTest::newRow("single 0xA0") << hex("A0") << ucs4({0xF8F0});
    QTest::newRow("single 0xFD") << hex("FD") << ucs4({0xF8F1});
    QTest::newRow("single 0xFE") << hex("FE") << ucs4({0xF8F2});
    QTest::newRow("single 0xFF") << hex("FF") << ucs4({0xF8F3});
    QTest::newRow("JIS ideographic space") << hex("8140") << ucs4({0x3000});
    QTest::newRow("JIS hiragana a") << hex("82A0") << ucs4({0x3042});
    QTest::newRow("JIS first kanji") << hex("889F") << ucs4({0x4E9C});
    QTest::newRow("JIS last kanji") << hex("EAA4") << ucs4({0x7199});
    QTest::newRow("JIS 815C horizontal bar") << hex("815C") << ucs4({0x2015});
    QTest::newRow("JIS 815F fullwidth backslash") << hex("815F") << ucs4({0xFF3C});
    QTest::newRow("JIS 8160 fullwidth tilde") << hex("8160") << ucs4({0xFF5E});
    QTest::newRow("JIS 8161 parallel") << hex("8161") << ucs4({0x2225});
    QTest::newRow("JIS 817C fullwidth minus") << hex("817C") << ucs4({0xFF0D});
    QTest::newRow("JIS 8191 fullwidth cent") << hex("8191") << ucs4({0xFFE0});
    QTest::newRow("JIS 8192 fullwidth pound") << hex("8192") << ucs4({0xFFE1});
    QTest::newRow("JIS 81CA fullwidth not") << hex("81CA") << ucs4({0xFFE2});
    QTest::newRow("NEC row 13 circled one") << hex("8740") << ucs4({0x2460});
    QTest::newRow("NEC row 13 roman one") << hex("8754") << ucs4({0x2160});
    QTest::newRow("NEC row 13 nearly equal") << hex("8790") << ucs4({0x2252});
    QTest::newRow("NEC-selected IBM first") << hex("ED40") << ucs4({0x7E8A});
    QTest::newRow("NEC-selected IBM small roman") << hex("EEEF") << ucs4({0x2170});
    QTest::newRow("NEC-selected IBM not sign") << hex("EEF9") << ucs4({0xFFE2});
    QTest::newRow("IBM small roman one") << hex("FA40") << ucs4({0x2170});
    QTest::newRow("IBM kanji FA68") << hex("FA68") << ucs4({0x4E28});
    QTest::newRow("IBM last") << hex("FC4B") << ucs4({0x9ED1});
    QTest::newRow("user-defined first") << hex("F040") << ucs4({0xE000});
    QTest::newRow("user-defined before 0x7F") << hex("F07E") << ucs4({0xE03E});
    QTest::newRow("user-defined after 0x7F") << hex("F080") << ucs4({0xE03F});
    QTest::newRow("user-defined row end") << hex("F0FC") << ucs4({0xE0BB});
    QTest::newRow("user-defined next row") << hex("F140") << ucs4({0xE0BC});
    QTest::newRow("user-defined last") << hex("F9FC") << ucs4({0xE757});
    QTest::newRow("mixed line")
        << hex("8E9F82CD8F49935F82C582B72C302C300D0A")
        << QStringLiteral("次は終点です,0,0\r\n");
    QTest::newRow("trail byte looks like ASCII") << hex("835C5C") << ucs4({0x30BD, 0x5C});
    // ASCII is decoded eight bytes at a time: runs that start and end anywhere.
    QTest::newRow("ASCII runs around kana") << QByteArray("abcdefghi\x82\xA0jklmnopqrstuvw")
                                            << QStringLiteral("abcdefghiあjklmnopqrstuvw");
    QTest::newRow("kana inside eight bytes") << QByteArray("abc\x82\xA0" "defghijk")
                                             << QStringLiteral("abcあdefghijk");
}

void TestCp932::decodesValidBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QString out = QStringLiteral("previous contents");
    cp932::DecodeError err;
    QVERIFY(cp932::decode(bytes, out, &err));
    QCOMPARE(out, text);
    QCOMPARE(err.offset, qsizetype(-1));
}

void TestCp932::rejectsInvalidBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("before");

    const QString bad = QStringLiteral("不正な2バイト文字 %1");
    const QString cut = QStringLiteral("2バイト文字の途中でファイルが終わっています 0x%1");
    QTest::newRow("trail below range") << hex("41 8120") << qsizetype(1)
                                       << bad.arg("0x81 0x20") << QStringLiteral("A");
    QTest::newRow("trail 0x7F") << hex("817F") << qsizetype(0) << bad.arg("0x81 0x7F")
                                << QString();
    QTest::newRow("trail above range") << hex("82A0 E0FD") << qsizetype(2)
                                       << bad.arg("0xE0 0xFD") << ucs4({0x3042});
    QTest::newRow("trail is a line feed") << hex("41 42 9F0A") << qsizetype(2)
                                          << bad.arg("0x9F 0x0A") << QStringLiteral("AB");
    QTest::newRow("trail is a comma") << hex("FC2C") << qsizetype(0) << bad.arg("0xFC 0x2C")
                                      << QString();
    QTest::newRow("undefined lead 0x85") << hex("8540") << qsizetype(0)
                                         << bad.arg("0x85 0x40") << QString();
    QTest::newRow("undefined lead 0xEB") << hex("31 EB9F") << qsizetype(1)
                                         << bad.arg("0xEB 0x9F") << QStringLiteral("1");
    QTest::newRow("gap in row 0x81") << hex("81AD") << qsizetype(0) << bad.arg("0x81 0xAD")
                                     << QString();
    QTest::newRow("after last JIS kanji") << hex("EAA5") << qsizetype(0)
                                          << bad.arg("0xEA 0xA5") << QString();
    QTest::newRow("after last IBM kanji") << hex("FC4C") << qsizetype(0)
                                          << bad.arg("0xFC 0x4C") << QString();
    QTest::newRow("gap in NEC row 13") << hex("879D") << qsizetype(0) << bad.arg("0x87 0x9D")
                                       << QString();
    QTest::newRow("after an ASCII run") << QByteArray("abcdefghi\x85\x40") << qsizetype(9)
                                        << bad.arg("0x85 0x40") << QStringLiteral("abcdefghi");
    QTest::newRow("lead byte alone") << hex("81") << qsizetype(0) << cut.arg("81") << QString();
    QTest::newRow("lead byte at end") << hex("82A0 4142 E0") << qsizetype(4) << cut.arg("E0")
                                      << QStringLiteral("あAB");
}

void TestCp932::rejectsInvalidBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, offset);
    QFETCH(QString, cause);
    QFETCH(QString, before);

    QString out;
    cp932::DecodeError err;
    QVERIFY(!cp932::decode(bytes, out, &err));
    QCOMPARE(err.offset, offset);
    QCOMPARE(err.cause, cause);
    QCOMPARE(out, before);
    QVERIFY(!out.contains(QChar(0xFFFD)));
    QVERIFY(!cp932::decode(bytes, out, nullptr)); // no error record is fine too
}

void TestCp932::decodeIntoWritesUnitsAndReportsOffset()
{
    const QByteArray good = hex("82A0 41 B6 F9FC");
    std::vector<char16_t> buffer(good.size(), u'#');
    QCOMPARE(cp932::decodeInto(good, buffer.data(), nullptr), qsizetype(4));
    QCOMPARE(QStringView(buffer.data(), 4).toString(), ucs4({0x3042, 0x41, 0xFF76, 0xE757}));

    cp932::DecodeError err;
    QCOMPARE(cp932::decodeInto(hex("41 41 8540"), buffer.data(), &err), qsizetype(-1));
    QCOMPARE(err.offset, qsizetype(2));
}

void TestCp932::encodesCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii") << QStringLiteral("x,7,9\r\n") << QByteArray("x,7,9\r\n");
    QTest::newRow("backslash and tilde") << QStringLiteral("\\~") << hex("5C7E");
    QTest::newRow("control bytes") << ucs4({0x1A, 0x1C, 0x7F, 0x00}) << hex("1A1C7F00");
    QTest::newRow("katakana") << ucs4({0xFF61, 0xFF76, 0xFF9F}) << hex("A1B6DF");
    QTest::newRow("Windows single bytes") << ucs4({0x80, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3})
                                          << hex("80A0FDFEFF");
    QTest::newRow("hiragana and kanji") << QStringLiteral("ご乗車") << hex("82B28FE68ED4");
    QTest::newRow("nearly equal takes JIS") << ucs4({0x2252}) << hex("81E0");
    QTest::newRow("because takes JIS") << ucs4({0x2235}) << hex("81E6");
    QTest::newRow("fullwidth not takes JIS") << ucs4({0xFFE2}) << hex("81CA");
    QTest::newRow("roman one takes NEC row 13") << ucs4({0x2160}) << hex("8754");
    QTest::newRow("small roman takes IBM") << ucs4({0x2170}) << hex("FA40");
    QTest::newRow("kanji 4E28 takes IBM") << ucs4({0x4E28}) << hex("FA68");
    QTest::newRow("kanji 7E8A takes IBM") << ucs4({0x7E8A}) << hex("FA5C");
    QTest::newRow("wave dash") << ucs4({0x301C}) << hex("8160");
    QTest::newRow("double vertical line") << ucs4({0x2016}) << hex("8161");
    QTest::newRow("minus sign") << ucs4({0x2212}) << hex("817C");
    QTest::newRow("cent sign") << ucs4({0x00A2}) << hex("8191");
    QTest::newRow("pound sign") << ucs4({0x00A3}) << hex("8192");
    QTest::newRow("not sign") << ucs4({0x00AC}) << hex("81CA");
    QTest::newRow("em dash") << ucs4({0x2014}) << hex("815C");
    QTest::newRow("yen sign") << ucs4({0x00A5}) << hex("5C");
    QTest::newRow("look-alike inside an ASCII run") << QStringLiteral("abc") + ucs4({0x00A5}) + "defghij"
                                                    << QByteArray("abc\\defghij");
    QTest::newRow("overline") << ucs4({0x203E}) << hex("7E");
    QTest::newRow("look-alikes themselves") << ucs4({0xFF5E, 0x2225, 0xFF0D, 0x2015})
                                            << hex("8160 8161 817C 815C");
    QTest::newRow("user-defined ends") << ucs4({0xE000, 0xE03F, 0xE757})
                                       << hex("F040 F080 F9FC");
}

void TestCp932::encodesCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QByteArray out;
    cp932::EncodeError err;
    QVERIFY(cp932::encode(text, out, &err));
    QCOMPARE(out.toHex(' '), bytes.toHex(' '));
    QCOMPARE(err.index, qsizetype(-1));
}

void TestCp932::refusesCharactersOutsideTheCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<uint>("character");

    QTest::newRow("emoji") << QStringLiteral("ab") + ucs4({0x1F600}) << qsizetype(2)
                           << uint(0x1F600);
    QTest::newRow("supplementary kanji") << QStringLiteral("あ") + ucs4({0x20B9F})
                                         << qsizetype(1) << uint(0x20B9F);
    QTest::newRow("lone high surrogate")
        << QString(QChar(0x3042)) + QChar(0xD83D) + QChar(u'x') << qsizetype(1) << uint(0xD83D);
    QTest::newRow("high surrogate at end") << QString(QChar(0xD800)) << qsizetype(0)
                                           << uint(0xD800);
    QTest::newRow("lone low surrogate") << QStringLiteral("a") + QChar(0xDE00) << qsizetype(1)
                                        << uint(0xDE00);
    QTest::newRow("latin A grave") << ucs4({0x41, 0xC0}) << qsizetype(1) << uint(0xC0);
    QTest::newRow("hangul") << ucs4({0xAC00}) << qsizetype(0) << uint(0xAC00);
    QTest::newRow("euro sign") << ucs4({0x20AC}) << qsizetype(0) << uint(0x20AC);
    QTest::newRow("private use past user area") << ucs4({0xE758}) << qsizetype(0)
                                                << uint(0xE758);
    QTest::newRow("replacement character") << ucs4({0xFFFD}) << qsizetype(0) << uint(0xFFFD);
    QTest::newRow("byte order mark") << ucs4({0xFEFF}) << qsizetype(0) << uint(0xFEFF);
    QTest::newRow("kanji not in JIS") << ucs4({0x4E02}) << qsizetype(0) << uint(0x4E02);
    // ASCII is encoded four units at a time.
    QTest::newRow("after an ASCII run") << QStringLiteral("abcdefghi") + ucs4({0x1F600})
                                        << qsizetype(9) << uint(0x1F600);
    QTest::newRow("inside four units") << QStringLiteral("ab") + ucs4({0xAC00}) + "cdefgh"
                                       << qsizetype(2) << uint(0xAC00);
}

void TestCp932::refusesCharactersOutsideTheCodePage()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, index);
    QFETCH(uint, character);

    QByteArray out("kept");
    cp932::EncodeError err;
    QVERIFY(!cp932::encode(text, out, &err));
    QCOMPARE(err.index, index);
    QCOMPARE(uint(err.character), character);
    QCOMPARE(out, QByteArray("kept"));
    QVERIFY(!cp932::canEncode(character));
}

void TestCp932::encodeAppendsToExistingBytes()
{
    QByteArray out("A,");
    QVERIFY(cp932::encode(QStringLiteral("東京"), out, nullptr));
    QVERIFY(cp932::encode(QStringLiteral(",1"), out, nullptr));
    QCOMPARE(out, QByteArray("A,") + hex("938C 8B9E") + QByteArray(",1"));
}

void TestCp932::canEncodeAgreesWithEncode_data()
{
    QTest::addColumn<uint>("character");
    QTest::addColumn<bool>("encodable");
    QTest::newRow("ascii") << uint('A') << true;
    QTest::newRow("wave dash") << uint(0x301C) << true;
    QTest::newRow("user-defined last") << uint(0xE757) << true;
    QTest::newRow("Windows single 0xFF") << uint(0xF8F3) << true;
    QTest::newRow("emoji") << uint(0x1F600) << false;
    QTest::newRow("surrogate") << uint(0xDC00) << false;
    QTest::newRow("latin e acute") << uint(0xE9) << false;
    QTest::newRow("past Unicode") << uint(0x110000) << false;
}

void TestCp932::canEncodeAgreesWithEncode()
{
    QFETCH(uint, character);
    QFETCH(bool, encodable);
    QCOMPARE(cp932::canEncode(character), encodable);
    if (character <= 0xFFFF) {
        QByteArray out;
        QCOMPARE(cp932::encode(QString(QChar(char16_t(character))), out, nullptr), encodable);
    }
}

void TestCp932::everyAcceptedCodeRoundTrips()
{
    // Every one- and two-byte sequence, with the codes the reader accepts.
    std::map<quint16, char16_t> accepted;
    for (int first = 0; first < 256; ++first) {
        QString text;
        if (cp932::decode(QByteArray(1, char(first)), text, nullptr)) {
            QCOMPARE(text.size(), 1);
            accepted[quint16(first)] = text[0].unicode();
            continue;
        }
        for (int second = 0; second < 256; ++second) {
            const char pair[2] = {char(first), char(second)};
            if (cp932::decode(QByteArrayView(pair, 2), text, nullptr)) {
                QCOMPARE(text.size(), 1);
                accepted[quint16(first << 8 | second)] = text[0].unicode();
            }
        }
    }
    // 256 minus the 60 lead bytes, 1880 user-defined codes, and Microsoft's fixed pairs.
    QCOMPARE(accepted.size(), std::size_t(196 + 1880 + 7724));

    std::map<char16_t, quint16> preferred;
    for (const auto &[code, character] : accepted) {
        const auto it = preferred.find(character);
        if (it == preferred.end() || preferenceRank(code) < preferenceRank(it->second))
            preferred[character] = code;
    }

    for (const auto &[code, character] : accepted) {
        QByteArray bytes;
        QVERIFY2(cp932::encode(QString(QChar(character)), bytes, nullptr),
                 qPrintable(QString::number(code, 16)));
        QString back;
        QVERIFY(cp932::decode(bytes, back, nullptr));
        QCOMPARE(back, QString(QChar(character)));
        const quint16 written = bytes.size() == 1
            ? quint16(uchar(bytes[0]))
            : quint16(uchar(bytes[0]) << 8 | uchar(bytes[1]));
        QCOMPARE(QString::number(written, 16), QString::number(preferred[character], 16));
        QVERIFY(preferenceRank(written) < 3);
    }
}

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
