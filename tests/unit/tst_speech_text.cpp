// How announcement text is cut into pieces for Open JTalk.
#include "platform/speech/speech_text.h"

#include <QtTest>

class TestSpeechText : public QObject
{
    Q_OBJECT
private slots:
    void sentences_data();
    void sentences();
    void defaultLimitsKeepEveryPieceSpeakable_data();
    void defaultLimitsKeepEveryPieceSpeakable();
    void endsSentence_data();
    void endsSentence();
};

void TestSpeechText::sentences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<int>("firstMaxChars");
    QTest::addColumn<QStringList>("expected");

    const int big = SpeechText::kMaxChars;
    QTest::newRow("empty") << QString() << big << big << QStringList{};
    QTest::newRow("blank") << QStringLiteral("  \r\n\t　 ") << big << big << QStringList{};
    QTest::newRow("punctuation only")
        << QStringLiteral("。、！？ 「」") << big << big << QStringList{};
    QTest::newRow("one sentence") << QStringLiteral("ご乗車ありがとうございます。") << big << big
                                  << QStringList{QStringLiteral("ご乗車ありがとうございます。")};
    QTest::newRow("two sentences")
        << QStringLiteral("次は東京です。お出口は右側です。") << big << big
        << QStringList{QStringLiteral("次は東京です。"), QStringLiteral("お出口は右側です。")};
    QTest::newRow("exclamation and question")
        << QStringLiteral("危ない！下がって？はい") << big << big
        << QStringList{QStringLiteral("危ない！"), QStringLiteral("下がって？"),
                       QStringLiteral("はい")};
    QTest::newRow("repeated marks stay together")
        << QStringLiteral("えっ！？本当に。") << big << big
        << QStringList{QStringLiteral("えっ！？"), QStringLiteral("本当に。")};
    QTest::newRow("closing bracket stays with its sentence")
        << QStringLiteral("「次は東京です。」と放送する。") << big << big
        << QStringList{QStringLiteral("「次は東京です。」"), QStringLiteral("と放送する。")};
    QTest::newRow("commas do not split a short sentence")
        << QStringLiteral("まもなく、一番線に、電車が参ります。") << big << big
        << QStringList{QStringLiteral("まもなく、一番線に、電車が参ります。")};
    QTest::newRow("lines are joined with a space")
        << QStringLiteral("次は\n東京です。\r\nお出口は\r右側です。") << big << big
        << QStringList{QStringLiteral("次は 東京です。"), QStringLiteral("お出口は 右側です。")};
    QTest::newRow("blank lines between sentences")
        << QStringLiteral("一番線です。\n\n\n二番線です。") << big << big
        << QStringList{QStringLiteral("一番線です。"), QStringLiteral("二番線です。")};
    QTest::newRow("long sentence cut after the last comma in reach")
        << QStringLiteral("あいう、えお、かきくけこさし。") << 10 << 10
        << QStringList{QStringLiteral("あいう、えお、"), QStringLiteral("かきくけこさし。")};
    QTest::newRow("long sentence cut at a space")
        << QStringLiteral("Please stand behind the yellow line.") << 16 << 16
        << QStringList{QStringLiteral("Please stand"), QStringLiteral("behind the"),
                       QStringLiteral("yellow line.")};
    QTest::newRow("full-width space is a space")
        << QStringLiteral("一番線　二番線　三番線") << 8 << 8
        << QStringList{QStringLiteral("一番線　二番線"), QStringLiteral("三番線")};
    QTest::newRow("hard cut without a break")
        << QString(25, u'あ') << 10 << 10
        << QStringList{QString(10, u'あ'), QString(10, u'あ'), QString(5, u'あ')};
    QTest::newRow("hard cut leaves a lone mark out")
        << QStringLiteral("かきくけこさしすせそ。") << 10 << 10
        << QStringList{QStringLiteral("かきくけこさしすせそ")};
    QTest::newRow("hard cut keeps surrogate pairs whole")
        << QString(QStringLiteral("𠮷")).repeated(5) << 5 << 5
        << QStringList{QStringLiteral("𠮷𠮷"), QStringLiteral("𠮷𠮷"), QStringLiteral("𠮷")};
    QTest::newRow("first piece cut at a comma")
        << QStringLiteral("あいう、えおかきくけこ。さしす") << 20 << 8
        << QStringList{QStringLiteral("あいう、"), QStringLiteral("えおかきくけこ。"),
                       QStringLiteral("さしす")};
    QTest::newRow("first piece without a comma keeps the ordinary limit")
        << QStringLiteral("あいうえおかきくけこ。さしす") << 20 << 5
        << QStringList{QStringLiteral("あいうえおかきくけこ。"), QStringLiteral("さしす")};
    QTest::newRow("only the first piece is shortened")
        << QStringLiteral("はい。あいう、えおかきく。") << 20 << 5
        << QStringList{QStringLiteral("はい。"), QStringLiteral("あいう、えおかきく。")};
    // A NUL from a data file would end open_jtalk's input there; other controls are noise.
    QTest::newRow("control characters are spaces")
        << QStringLiteral("次は") + QChar(0) + QStringLiteral("東京") + QChar(0x1B)
               + QStringLiteral("です。") + QChar(0x7F) + QChar(0x85) + QChar(0x9F)
               + QStringLiteral("お出口")
        << big << big << QStringList{QStringLiteral("次は 東京 です。"), QStringLiteral("お出口")};
    QTest::newRow("half-width stop and comma")
        << QStringLiteral("あいう､えお､かきく｡けこ｣さし｡") << 10 << 10
        << QStringList{QStringLiteral("あいう､えお､"), QStringLiteral("かきく｡"),
                       QStringLiteral("けこ｣さし｡")};
    QTest::newRow("ASCII stops before a space or a line break")
        << QStringLiteral("Next stop. Tokyo! Mind the gap?\nYes") << big << big
        << QStringList{QStringLiteral("Next stop."), QStringLiteral("Tokyo!"),
                       QStringLiteral("Mind the gap?"), QStringLiteral("Yes")};
    QTest::newRow("ASCII stops inside a word do not cut")
        << QStringLiteral("Ver.3.5 at www.example.jp!Go.") << big << big
        << QStringList{QStringLiteral("Ver.3.5 at www.example.jp!Go.")};
    QTest::newRow("repeated ASCII stops stay together")
        << QStringLiteral("Wait... What?! 了解。") << big << big
        << QStringList{QStringLiteral("Wait..."), QStringLiteral("What?!"), QStringLiteral("了解。")};
    QTest::newRow("unspeakable first sentence does not use up the short limit")
        << QStringLiteral("……。あいう、えおかきく。") << 20 << 5
        << QStringList{QStringLiteral("あいう、"), QStringLiteral("えおかきく。")};
}

void TestSpeechText::sentences()
{
    QFETCH(QString, text);
    QFETCH(int, maxChars);
    QFETCH(int, firstMaxChars);
    QFETCH(QStringList, expected);
    QCOMPARE(SpeechText::sentences(text, maxChars, firstMaxChars), expected);
}

// The limits Open JTalk imposes, checked on long texts with the limits the component uses.
void TestSpeechText::defaultLimitsKeepEveryPieceSpeakable_data()
{
    QTest::addColumn<QString>("text");

    QString paragraph;
    for (int i = 0; i < 12; ++i)
        paragraph += QStringLiteral("お客様にお知らせいたします、%1番線の電車は信号確認のため、"
                                    "およそ五分遅れて到着する見込みです。")
                         .arg(i + 1);
    QTest::newRow("japanese paragraph") << paragraph;
    QTest::newRow("japanese without any break") << QString(1000, u'ア');

    QString ascii;
    for (int i = 0; i < 150; ++i)
        ascii += QStringLiteral("Attention please train %1 is delayed by signal checks\n").arg(i);
    QTest::newRow("long ascii text") << ascii;
    QTest::newRow("ascii without any break") << QString(1200, u'x');
    QTest::newRow("many lines") << QStringLiteral("一番線\n").repeated(300);
}

void TestSpeechText::defaultLimitsKeepEveryPieceSpeakable()
{
    QFETCH(QString, text);
    const QStringList pieces = SpeechText::sentences(text);
    QVERIFY(pieces.size() > 1);

    QString rejoined;
    for (const QString &piece : pieces) {
        QVERIFY2(piece.size() <= SpeechText::kMaxChars, qPrintable(piece));
        // Open JTalk drops Japanese after about 1,000 bytes and crashes on about 400
        // ASCII characters.
        QVERIFY2(piece.toUtf8().size() < 1000, qPrintable(piece));
        QVERIFY2(piece.size() < 400, qPrintable(piece));
        QVERIFY2(!piece.contains(u'\n') && !piece.contains(u'\r'), qPrintable(piece));
        QVERIFY2(piece.contains(QRegularExpression(QStringLiteral("[\\p{L}\\p{N}]"))),
                 qPrintable(piece));
        rejoined += piece;
    }
    // Nothing but white space goes missing.
    QString original = text;
    original.remove(QRegularExpression(QStringLiteral("\\s")));
    rejoined.remove(QRegularExpression(QStringLiteral("\\s")));
    QCOMPARE(rejoined, original);
}

void TestSpeechText::endsSentence_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<bool>("expected");
    QTest::newRow("full stop") << QStringLiteral("次は東京です。") << true;
    QTest::newRow("exclamation") << QStringLiteral("危ない！") << true;
    QTest::newRow("question") << QStringLiteral("よろしいですか？") << true;
    QTest::newRow("stop inside brackets") << QStringLiteral("「次は東京です。」") << true;
    QTest::newRow("comma") << QStringLiteral("まもなく、") << false;
    QTest::newRow("cut at a space") << QStringLiteral("Please stand") << false;
    QTest::newRow("bracket without a stop") << QStringLiteral("「東京」") << false;
    QTest::newRow("half-width stop") << QStringLiteral("東京です｡") << true;
    QTest::newRow("half-width comma") << QStringLiteral("まもなく､") << false;
    QTest::newRow("ASCII stop") << QStringLiteral("Next stop.") << true;
}

void TestSpeechText::endsSentence()
{
    QFETCH(QString, piece);
    QFETCH(bool, expected);
    QCOMPARE(SpeechText::endsSentence(piece), expected);
}

QTEST_GUILESS_MAIN(TestSpeechText)
#include "tst_speech_text.moc"
