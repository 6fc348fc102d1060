// What Open JTalk makes of the component's arguments: the reading in its phoneme trace,
// and the speed and volume settings in the audio it writes.
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_wav.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);

struct Run
{
    QStringList phonemes;
    double seconds = 0; // from the first to the last phoneme that is not silence
    std::optional<WavAudio> wav;
};

// Runs open_jtalk with the component's arguments plus a trace file.
Run synthesize(const QString &text, const SpeechSettings &settings)
{
    Run run;
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    QProcess process;
    process.start(setup.program, openJTalkArguments(setup, kVoice, settings)
                                     << QStringLiteral("-ot") << trace);
    process.write(text.toUtf8() + '\n');
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return run;
    run.wav = parseWav(process.readAllStandardOutput());

    QFile file(trace);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return run;
    // "[Output label]" lines: start and end in 100 ns units, then the full-context label
    // "a^b-PHONEME+c=d/A:...".
    bool inLabels = false;
    qint64 first = -1, last = -1;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inLabels = line == QStringLiteral("[Output label]");
            continue;
        }
        const QStringList fields = line.split(u' ');
        if (!inLabels || fields.size() != 3)
            continue;
        const QString &label = fields.at(2);
        const qsizetype minus = label.indexOf(u'-');
        const qsizetype plus = label.indexOf(u'+', minus);
        const QString phoneme = label.mid(minus + 1, plus - minus - 1);
        run.phonemes << phoneme;
        if (phoneme != QStringLiteral("sil") && phoneme != QStringLiteral("pau")) {
            if (first < 0)
                first = fields.at(0).toLongLong();
            last = fields.at(1).toLongLong();
        }
    }
    run.seconds = (last - first) / 1e7;
    return run;
}

double levelOf(const QByteArray &pcm)
{
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    double sum = 0;
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / std::max<qsizetype>(1, pcm.size() / 2));
}

// The voice's fundamental frequency: the median over the loud 40 ms frames of the lag
// with the strongest autocorrelation between 70 and 1,000 Hz.
double pitchOf(const QByteArray &pcm)
{
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    constexpr int frame = 1920;
    constexpr int minLag = 48000 / 1000;
    constexpr int maxLag = 48000 / 70;
    QList<double> energies;
    for (qsizetype start = 0; start + frame + maxLag < count; start += frame) {
        double energy = 0;
        for (int i = 0; i < frame; ++i)
            energy += double(s[start + i]) * s[start + i];
        energies << energy;
    }
    const double loud = energies.isEmpty() ? 0 : *std::max_element(energies.begin(), energies.end()) / 10;
    QList<double> estimates;
    for (qsizetype n = 0; n < energies.size(); ++n) {
        const qsizetype start = n * frame;
        const double energy = energies.at(n);
        if (energy < loud)
            continue;
        int bestLag = 0;
        double best = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double sum = 0, shifted = 0;
            for (int i = 0; i < frame; ++i) {
                sum += double(s[start + i]) * s[start + i + lag];
                shifted += double(s[start + i + lag]) * s[start + i + lag];
            }
            const double r = sum / std::sqrt(energy * shifted + 1);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.6)
            estimates << 48000.0 / bestLag;
    }
    if (estimates.isEmpty())
        return 0;
    std::sort(estimates.begin(), estimates.end());
    return estimates.at(estimates.size() / 2);
}

double voicedSeconds(const QByteArray &pcm)
{
    return trimSilence(pcm, 1, 48000, 0, 0).size() / 2 / 48000.0;
}

} // namespace

class TestSoundPhonemes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readsTheGreetingCorrectly();
    void settingsReachTheSynthesizer_data();
    void settingsReachTheSynthesizer();
};

void TestSoundPhonemes::initTestCase()
{
    if (!OpenJTalkSetup::detect({}).isReady() || !QFile::exists(kVoice))
        QSKIP("open_jtalk or the voice is missing");
}

void TestSoundPhonemes::readsTheGreetingCorrectly()
{
    const Run run = synthesize(QStringLiteral("ご乗車ありがとうございます"), SpeechSettings{});
    // Taken from a real run and checked against the reading go-jō-sha a-ri-ga-tō
    // go-za-i-ma-su; the final U is a devoiced u, as it is in natural speech.
    const QStringList expected = QStringLiteral("sil g o j o o sh a a r i g a t o o g o z a i m a s U sil")
                                     .split(u' ');
    QCOMPARE(run.phonemes, expected);

    QVERIFY(run.wav);
    QCOMPARE(run.wav->sampleRate, 48000);
    QCOMPARE(run.wav->channels, 1);
    QCOMPARE(run.wav->bitsPerSample, 16);
    // The trace and the audio describe the same utterance.
    const double audioSeconds = run.wav->pcm.size() / 2 / 48000.0;
    QVERIFY(run.seconds > 1.0 && run.seconds < audioSeconds);
}

void TestSoundPhonemes::settingsReachTheSynthesizer_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("halfTones");
    QTest::addColumn<int>("volumeDb");

    QTest::newRow("twice as fast") << 2.0 << 0 << 0;
    QTest::newRow("half as fast") << 0.5 << 0 << 0;
    QTest::newRow("quietest") << 1.0 << 0 << -20;
    QTest::newRow("higher and a little quieter") << 1.0 << 4 << -6;
    QTest::newRow("highest") << 1.0 << 12 << 0;
    QTest::newRow("lowest") << 1.0 << -12 << 0;
}

void TestSoundPhonemes::settingsReachTheSynthesizer()
{
    QFETCH(double, speed);
    QFETCH(int, halfTones);
    QFETCH(int, volumeDb);
    const QString text = QStringLiteral("本日もご乗車ありがとうございます。次は、東京です。");
    const Run plain = synthesize(text, SpeechSettings{});
    SpeechSettings settings;
    settings.speed = speed;
    settings.halfTones = halfTones;
    settings.volumeDb = volumeDb;
    const Run changed = synthesize(text, settings);

    QVERIFY(plain.wav && changed.wav);
    // The words stay the same whatever the voice settings.
    QCOMPARE(changed.phonemes, plain.phonemes);

    const double durationRatio = voicedSeconds(changed.wav->pcm) / voicedSeconds(plain.wav->pcm);
    QVERIFY2(std::abs(durationRatio * speed - 1.0) < 0.2,
             qPrintable(QStringLiteral("duration ratio %1").arg(durationRatio)));

    const double pitchRatio = pitchOf(changed.wav->pcm) / pitchOf(plain.wav->pcm);
    QVERIFY2(std::abs(pitchRatio / std::pow(2.0, halfTones / 12.0) - 1.0) < 0.1,
             qPrintable(QStringLiteral("pitch ratio %1").arg(pitchRatio)));

    // A shifted voice changes its level by itself; the gain is checked on the plain pitch.
    if (halfTones == 0) {
        const double levelDb = 20 * std::log10(levelOf(changed.wav->pcm) / levelOf(plain.wav->pcm));
        QVERIFY2(std::abs(levelDb - volumeDb) < 1.5,
                 qPrintable(QStringLiteral("level %1 dB").arg(levelDb)));
    }
}

QTEST_GUILESS_MAIN(TestSoundPhonemes)
#include "tst_sound_phonemes.moc"
