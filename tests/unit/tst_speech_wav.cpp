// Reading the WAV files Open JTalk writes, and trimming their silence.
#include "platform/speech/speech_wav.h"

#include <QtEndian>
#include <QtTest>

namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const QByteArray &id, const QByteArray &body)
{
    QByteArray c = id + le32(quint32(body.size())) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

QByteArray fmtBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 align = channels * bits / 8;
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

QByteArray samples(std::initializer_list<qint16> values)
{
    QByteArray b;
    for (qint16 v : values)
        b += le16(quint16(v));
    return b;
}

QByteArray frames(int count, qint16 value, int channels = 1)
{
    QByteArray b;
    for (int i = 0; i < count * channels; ++i)
        b += le16(quint16(value));
    return b;
}

} // namespace

class TestSpeechWav : public QObject
{
    Q_OBJECT
private slots:
    void goodFiles_data();
    void goodFiles();
    void badFiles_data();
    void badFiles();
    void trim_data();
    void trim();
};

void TestSpeechWav::goodFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QByteArray>("pcm");

    const QByteArray pcm = samples({0, 1000, -1000, 32767, -32768, 5});
    QTest::newRow("mono 48 kHz as Open JTalk writes it")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16)) + chunk("data", pcm)) << 48000 << 1 << pcm;
    QTest::newRow("stereo 22 kHz")
        << riff(chunk("fmt ", fmtBody(1, 2, 22050, 16)) + chunk("data", pcm)) << 22050 << 2 << pcm;
    QTest::newRow("other chunks before and after the data")
        << riff(chunk("fmt ", fmtBody(1, 1, 16000, 16)) + chunk("LIST", "odd")
                + chunk("data", pcm) + chunk("cue ", "xxxx"))
        << 16000 << 1 << pcm;
    QTest::newRow("extended format chunk")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16) + le16(0)) + chunk("data", pcm)) << 48000
        << 1 << pcm;
    // A writer that cannot seek back leaves the size unknown.
    QTest::newRow("data size larger than the file")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16)) + "data" + le32(0xFFFFFFFFu) + pcm)
        << 48000 << 1 << pcm;
    QTest::newRow("trailing half frame dropped")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16)) + "data" + le32(quint32(pcm.size() + 1))
                + pcm + 'x')
        << 48000 << 1 << pcm;
    QTest::newRow("empty data")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16)) + chunk("data", {})) << 48000 << 1
        << QByteArray();
}

void TestSpeechWav::goodFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(QByteArray, pcm);

    QString error;
    const auto audio = parseWav(file, &error);
    QVERIFY2(audio, qPrintable(error));
    QCOMPARE(audio->sampleRate, rate);
    QCOMPARE(audio->channels, channels);
    QCOMPARE(audio->bitsPerSample, 16);
    QCOMPARE(audio->pcm, pcm);
}

void TestSpeechWav::badFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");

    const QByteArray data = chunk("data", samples({1, 2, 3}));
    QTest::newRow("empty") << QByteArray() << "RIFF";
    QTest::newRow("text") << QByteArray("Error: waveform cannot be synthesized.\n") << "RIFF";
    QTest::newRow("not WAVE")
        << ("RIFF" + le32(4) + "AVI " + chunk("fmt ", fmtBody(1, 1, 48000, 16))) << "RIFF";
    QTest::newRow("float samples") << riff(chunk("fmt ", fmtBody(3, 1, 48000, 32)) + data)
                                   << "not PCM";
    QTest::newRow("8-bit samples") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 8)) + data) << "8-bit";
    QTest::newRow("no channels") << riff(chunk("fmt ", fmtBody(1, 0, 48000, 16)) + data)
                                 << "channels";
    QTest::newRow("absurd rate") << riff(chunk("fmt ", fmtBody(1, 1, 7, 16)) + data) << "rate";
    QTest::newRow("short format chunk") << riff(chunk("fmt ", le16(1) + le16(1))) << "short";
    QTest::newRow("data before format")
        << riff(data + chunk("fmt ", fmtBody(1, 1, 48000, 16))) << "before format";
    QTest::newRow("no data") << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16))) << "no data";
    QTest::newRow("no format") << riff(chunk("LIST", "abcd")) << "no format";
    QTest::newRow("header cut off") << riff(chunk("fmt ", fmtBody(1, 1, 48000, 16))).left(30)
                                    << "short";
}

void TestSpeechWav::badFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(!parseWav(file, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestSpeechWav::trim_data()
{
    // At 1,000 frames a second one millisecond is one frame, which keeps the cases legible.
    QTest::addColumn<QByteArray>("pcm");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("leadMs");
    QTest::addColumn<int>("tailMs");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray voice = samples({3000, -2500, 100, -4000});
    QTest::newRow("long silence both sides")
        << frames(500, 0) + voice + frames(600, 0) << 1 << 10 << 20
        << frames(10, 0) + voice + frames(20, 0);
    QTest::newRow("less silence than kept")
        << frames(5, 0) + voice + frames(3, 0) << 1 << 10 << 20
        << frames(5, 0) + voice + frames(3, 0);
    QTest::newRow("quiet noise counts as silence")
        << frames(100, 40) + voice + frames(100, -40) << 1 << 0 << 0 << voice;
    QTest::newRow("pauses inside are kept")
        << frames(50, 0) + voice + frames(400, 0) + voice + frames(50, 0) << 1 << 0 << 0
        << voice + frames(400, 0) + voice;
    QTest::newRow("all silence") << frames(1000, 0) << 1 << 10 << 10 << QByteArray();
    QTest::newRow("nothing") << QByteArray() << 1 << 10 << 10 << QByteArray();
    QTest::newRow("stereo, sound in one channel only")
        << frames(100, 0, 2) + samples({0, 5000}) + frames(100, 0, 2) << 2 << 10 << 5
        << frames(10, 0, 2) + samples({0, 5000}) + frames(5, 0, 2);
}

void TestSpeechWav::trim()
{
    QFETCH(QByteArray, pcm);
    QFETCH(int, channels);
    QFETCH(int, leadMs);
    QFETCH(int, tailMs);
    QFETCH(QByteArray, expected);
    QCOMPARE(trimSilence(pcm, channels, 1000, leadMs, tailMs), expected);
}

QTEST_GUILESS_MAIN(TestSpeechWav)
#include "tst_speech_wav.moc"
