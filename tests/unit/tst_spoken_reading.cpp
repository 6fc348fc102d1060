// The reading of Open JTalk's trace: how its words group into accent phrases, pauses and
// morae, as the synthesizer groups them, and where the pitch falls.
#include "platform/speech/spoken_reading.h"

#include <QtTest>

namespace {

// One word of the text analysis: its pronunciation, the accent of the phrase it starts,
// and its chain flag (1: it joins the phrase before it).
QString word(const QString &pronunciation, int accent, int chain)
{
    return QStringLiteral("語,名詞,一般,*,*,*,*,語,%1,%1,%2/%3,C1,%4")
        .arg(pronunciation, QString::number(accent), QString::number(pronunciation.size()),
             QString::number(chain));
}

QString punctuation(const QString &mark)
{
    return QStringLiteral("%1,記号,読点,*,*,*,*,%1,%1,%1,0/0,*,0").arg(mark);
}

QByteArray trace(const QStringList &words)
{
    return "[Text analysis result]\n" + words.join(u'\n').toUtf8()
        + "\n\n[Output label]\n0 5550000 xx^xx-sil+m=i/A:xx+xx+xx\n";
}

} // namespace

class TestSpokenReading : public QObject
{
    Q_OBJECT

private slots:
    void readsTheTrace_data();
    void readsTheTrace();
    void joinsPieces();
};

void TestSpokenReading::readsTheTrace_data()
{
    QTest::addColumn<QByteArray>("trace");
    QTest::addColumn<QString>("reading");

    const QString pause = punctuation(u"、"_qs);
    QTest::newRow("a flat phrase") << trace({word(u"ミタ"_qs, 0, -1)}) << u"ミタ"_qs;
    QTest::newRow("the phrase's accent, from its first word")
        << trace({word(u"シンオーサカ"_qs, 6, -1), word(u"イキ"_qs, 0, 1)})
        << u"シンオーサカ'イキ"_qs;
    QTest::newRow("phrases, an accent past its phrase")
        << trace({word(u"ジュー"_qs, 2, 0), word(u"ジ"_qs, 1, 1), word(u"ゼロ"_qs, 3, 0),
                  word(u"ゴー"_qs, 2, 0), word(u"フン"_qs, 1, 1)})
        << u"ジュー'ジ/ゼロ/ゴー'フン"_qs;
    QTest::newRow("a devoiced vowel is not written")
        << trace({word(u"ミタ"_qs, 3, -1), word(u"デス’"_qs, 1, 1), pause, word(u"オ"_qs, 2, 0)})
        << u"ミタデ'ス、オ"_qs;
    QTest::newRow("no pause before everything nor after")
        << trace({pause, word(u"コンニチワ"_qs, 0, 0), pause}) << u"コンニチワ"_qs;
    QTest::newRow("a question rises and pauses")
        << trace({word(u"デスカ"_qs, 1, -1), punctuation(u"？"_qs), word(u"ハイ"_qs, 1, 0)})
        << u"デ'スカ？ハ'イ"_qs;
    QTest::newRow("a word joining its phrase after a pause")
        << trace({word(u"ア"_qs, 1, -1), pause, word(u"イ"_qs, 0, 1)}) << u"ア'、イ"_qs;
    QTest::newRow("small kana are one mora with the kana before")
        << trace({word(u"キャッシュ"_qs, 2, -1)}) << u"キャッ'シュ"_qs;
    QTest::newRow("a long vowel lengthens the word before")
        << trace({word(u"ア"_qs, 2, -1), word(u"ーイ"_qs, 0, 0)}) << u"アー'/イ"_qs;
    QTest::newRow("but none follows a pause")
        << trace({word(u"ア"_qs, 0, -1), pause, word(u"ーイ"_qs, 0, 0)}) << u"ア、イ"_qs;
    QTest::newRow("the rest of a word after what is no kana is not said")
        << trace({word(u"ア＊イ"_qs, 0, -1), word(u"ウ"_qs, 0, 0)}) << u"ア/ウ"_qs;
    QTest::newRow("nothing to say") << trace({pause}) << QString();
}

void TestSpokenReading::readsTheTrace()
{
    QFETCH(QByteArray, trace);
    QFETCH(QString, reading);
    bool found = false;
    QCOMPARE(SpokenReading::fromTrace(trace, &found), reading);
    QVERIFY(found);
    // Anything else is no trace at all.
    SpokenReading::fromTrace(trace.mid(1), &found);
    QVERIFY(!found);
}

void TestSpokenReading::joinsPieces()
{
    QCOMPARE(SpokenReading::joined({u"ミ'タ"_qs, QString(), u"イキ"_qs}), u"ミ'タ、イキ"_qs);
    QCOMPARE(SpokenReading::joined({QString()}), QString());
}

QTEST_GUILESS_MAIN(TestSpokenReading)
#include "tst_spoken_reading.moc"
