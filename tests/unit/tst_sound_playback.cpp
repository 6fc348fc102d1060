// Real sound: what the component plays is recorded from the null sink's monitor and
// measured. Runs under scripts/with-sound-server.sh.
#include "settings_home.h"
#include "platform/speech/open_jtalk_speech.h"
#include "platform/speech/speech_factory.h"
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/speech/dialog/speech_settings_dialog.h"
#include "platform/speech/speech_text.h"
#include "platform/speech/speech_wav.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);
constexpr int kRate = 48000;
constexpr int kBlockFrames = kRate / 100; // 10 ms
// A 10 ms block above this RMS is sound; the sink's silence is digital zero.
constexpr double kLoud = 300;

struct Block
{
    qint64 arrivedMs; // when it reached us: no earlier than when the sink played it
    double rms;
};

double rmsOf(const qint16 *samples, qsizetype count)
{
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / count) : 0;
}

QList<Block> blocksOf(const QByteArray &pcm)
{
    QList<Block> blocks;
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    for (qsizetype i = 0; i + kBlockFrames <= pcm.size() / 2; i += kBlockFrames)
        blocks.append({0, rmsOf(s + i, kBlockFrames)});
    return blocks;
}

// Length of the stretch from the first to the last loud block, and its speech level (the
// RMS of its loud blocks), which is what a listener hears.
struct Voiced
{
    double seconds = 0;
    double level = 0;
    int firstIndex = -1;
    int lastIndex = -1;
};

Voiced voicedPart(const QList<Block> &blocks)
{
    Voiced v;
    double sum = 0;
    int loud = 0;
    for (int i = 0; i < blocks.size(); ++i) {
        if (blocks.at(i).rms <= kLoud)
            continue;
        if (v.firstIndex < 0)
            v.firstIndex = i;
        v.lastIndex = i;
        sum += blocks.at(i).rms * blocks.at(i).rms;
        ++loud;
    }
    if (loud) {
        v.seconds = (v.lastIndex - v.firstIndex + 1) / 100.0;
        v.level = std::sqrt(sum / loud);
    }
    return v;
}

double decibels(double ratio)
{
    return 20 * std::log10(ratio);
}

// Records the null sink's monitor as 48 kHz mono, cut into 10 ms blocks stamped with the
// time they arrived. The record stream asks for 20 ms latency so that arrival follows
// playing closely.
class MonitorRecorder : public QObject
{
public:
    MonitorRecorder(const QElapsedTimer &clock, QObject *parent)
        : QObject(parent), m_clock(clock), m_parec(new QProcess(this))
    {
        connect(m_parec, &QProcess::readyReadStandardOutput, this, &MonitorRecorder::take);
    }
    ~MonitorRecorder() override { stop(); }

    bool start()
    {
        m_parec->start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), QStringLiteral("bdt_null.monitor"),
                        QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                        QStringLiteral("--rate=48000"), QStringLiteral("--channels=1"),
                        QStringLiteral("--latency-msec=20")});
        return m_parec->waitForStarted(5000)
            && QTest::qWaitFor([this] { return m_blocks.size() > 20; }, 5000);
    }
    void stop()
    {
        if (m_parec->state() == QProcess::NotRunning)
            return;
        m_parec->terminate();
        if (!m_parec->waitForFinished(3000)) {
            m_parec->kill();
            m_parec->waitForFinished(3000);
        }
    }
    const QList<Block> &blocks() const { return m_blocks; }
    std::function<void(const Block &)> onBlock;

private:
    void take()
    {
        m_pending += m_parec->readAllStandardOutput();
        const qint64 now = m_clock.elapsed();
        const qsizetype bytes = kBlockFrames * 2;
        qsizetype used = 0;
        for (; used + bytes <= m_pending.size(); used += bytes) {
            const Block block{now, rmsOf(reinterpret_cast<const qint16 *>(m_pending.constData() + used),
                                         kBlockFrames)};
            m_blocks.append(block);
            if (onBlock)
                onBlock(block);
        }
        m_pending.remove(0, used);
    }

    const QElapsedTimer &m_clock;
    QProcess *m_parec;
    QByteArray m_pending;
    QList<Block> m_blocks;
};

} // namespace

class TestSoundPlayback : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void sentenceReachesTheSink();
    void piecesFollowEachOtherClosely();
    void stopCutsTheSoundAtOnce();
    void tryOutSpeaksWithTheDialogValues();

private:
    QtSpeechSettingsUi m_settingsUi;
    std::unique_ptr<OpenJTalkSpeech> createSpeech();
    Voiced reference(const QString &text, const SpeechSettings &settings);
    QElapsedTimer m_clock;
    std::unique_ptr<QTemporaryDir> m_dataHome;
};

void TestSoundPlayback::initTestCase()
{
    if (!OpenJTalkSetup::detect({}).isReady() || !QFile::exists(kVoice))
        QSKIP("open_jtalk or the voice is missing");
    QVERIFY2(qEnvironmentVariableIsSet("PULSE_SERVER"), "run me through scripts/with-sound-server.sh");
    // The voice is installed for the user the way an operator would: a link in the
    // user's hts-voice folder, found by the factory.
    m_dataHome = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", m_dataHome->path().toUtf8());
    QDir().mkpath(m_dataHome->filePath(QStringLiteral("hts-voice")));
    QVERIFY(QFile::link(kVoice,
                        m_dataHome->filePath(QStringLiteral("hts-voice/tohoku-f01-neutral.htsvoice"))));
    m_clock.start();
}

void TestSoundPlayback::init()
{
    QFile::remove(SpeechSettings::defaultFile());
}

std::unique_ptr<OpenJTalkSpeech> TestSoundPlayback::createSpeech()
{
    DefaultSpeechFactory factory(m_settingsUi);
    std::unique_ptr<ISpeechComponent> component(factory.create(nullptr));
    auto *speech = qobject_cast<OpenJTalkSpeech *>(component.get());
    if (speech)
        component.release();
    return std::unique_ptr<OpenJTalkSpeech>(speech);
}

// What open_jtalk alone makes of the text, measured the same way as the recording.
Voiced TestSoundPlayback::reference(const QString &text, const SpeechSettings &settings)
{
    const OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    QProcess run;
    run.start(setup.program, openJTalkArguments(setup, kVoice, settings));
    run.write(text.toUtf8() + '\n');
    run.closeWriteChannel();
    if (!run.waitForFinished(30000))
        return {};
    const auto wav = parseWav(run.readAllStandardOutput());
    return wav ? voicedPart(blocksOf(wav->pcm)) : Voiced{};
}

void TestSoundPlayback::sentenceReachesTheSink()
{
    const QString text = QStringLiteral("ご乗車ありがとうございます。次は、東京です。");
    const Voiced expected = reference(text, SpeechSettings{});
    QVERIFY(expected.seconds > 1.0);

    auto speech = createSpeech();
    QVERIFY(speech);
    MonitorRecorder recorder(m_clock, this);
    QVERIFY(recorder.start());
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    speech->speak(text);
    QVERIFY(speech->isSpeaking());
    QVERIFY(finished.wait(30000));
    QTest::qWait(500);
    recorder.stop();

    const Voiced heard = voicedPart(recorder.blocks());
    qInfo("voiced %.2f s at %.0f RMS; open_jtalk alone: %.2f s at %.0f RMS", heard.seconds,
          heard.level, expected.seconds, expected.level);
    // Two pieces played back to back: only the pause between them may differ from a
    // single run, by far less than the second of padding Open JTalk puts around a piece.
    QVERIFY(std::abs(heard.seconds - expected.seconds) < 0.5);
    // The null sink passes samples unchanged: the level is the synthesizer's.
    QVERIFY2(std::abs(decibels(heard.level / expected.level)) < 2.0, "level differs");
}

// The pieces of a longer text are synthesized one by one while the earlier ones play; the
// listener must not hear where one ends and the next begins. The text has no commas, so
// every long silence in it lies between two pieces.
void TestSoundPlayback::piecesFollowEachOtherClosely()
{
    const QString text = QStringLiteral("次は東京です。出口は右側です。ご注意ください。終点です。");
    QCOMPARE(SpeechText::sentences(text).size(), 4);
    auto speech = createSpeech();
    QVERIFY(speech);
    MonitorRecorder recorder(m_clock, this);
    QVERIFY(recorder.start());
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    speech->speak(text);
    QVERIFY(finished.wait(30000));
    QTest::qWait(300);
    recorder.stop();

    const QList<Block> &blocks = recorder.blocks();
    const Voiced heard = voicedPart(blocks);
    int longest = 0;
    for (int i = heard.firstIndex, quiet = 0; i >= 0 && i <= heard.lastIndex; ++i) {
        quiet = blocks.at(i).rms <= kLoud ? quiet + 1 : 0;
        longest = std::max(longest, quiet);
    }
    qInfo("longest silence between pieces: %d ms in %.2f s of speech", longest * 10, heard.seconds);
    QVERIFY(heard.seconds > 3);
    QVERIFY2(longest * 10 < 250, qPrintable(QStringLiteral("%1 ms").arg(longest * 10)));
}

void TestSoundPlayback::stopCutsTheSoundAtOnce()
{
    const QString text = QStringLiteral(
        "お客様にお知らせいたします。ただいま、信号確認のため、列車の運転を見合わせております。"
        "運転再開まで、今しばらくお待ちください。");
    auto speech = createSpeech();
    QVERIFY(speech);
    MonitorRecorder recorder(m_clock, this);
    QVERIFY(recorder.start());

    // Stop once the speech has been heard for a second: well inside the text, which lasts
    // many seconds.
    qint64 firstLoudMs = -1;
    qint64 stopMs = -1;
    recorder.onBlock = [&](const Block &block) {
        if (block.rms <= kLoud || stopMs >= 0)
            return;
        if (firstLoudMs < 0)
            firstLoudMs = block.arrivedMs;
        else if (block.arrivedMs - firstLoudMs >= 1000) {
            stopMs = m_clock.elapsed();
            speech->stop();
        }
    };
    speech->speak(text);
    QTRY_VERIFY_WITH_TIMEOUT(stopMs >= 0, 20000);
    QVERIFY(!speech->isSpeaking());
    QTest::qWait(1500);
    recorder.stop();

    // Arrival times are upper bounds of when the sink played a block, so the gap between
    // the stop call and the last loud block's arrival bounds how long sound went on.
    qint64 lastLoudMs = -1;
    for (const Block &block : recorder.blocks()) {
        if (block.rms > kLoud)
            lastLoudMs = block.arrivedMs;
    }
    qInfo("sound went on for at most %lld ms after stop()", lastLoudMs - stopMs);
    QVERIFY(lastLoudMs >= stopMs - 100); // it was speaking when stopped
    QVERIFY2(lastLoudMs - stopMs <= 300, "sound went on after stop()");
}

void TestSoundPlayback::tryOutSpeaksWithTheDialogValues()
{
    auto speech = createSpeech();
    QVERIFY(speech);
    MonitorRecorder recorder(m_clock, this);
    QVERIFY(recorder.start());

    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    speech->speak(speechSampleText());
    QVERIFY(finished.wait(30000));
    QTest::qWait(300);
    const qsizetype normalEnd = recorder.blocks().size();

    // The sample is tried at -20 dB without saving anything.
    QWidget window;
    bool tried = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<SpeechSettingsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->findChild<QSpinBox *>(QStringLiteral("volumeSpin"))->setValue(-20);
        dialog->findChild<QPushButton *>(QStringLiteral("tryButton"))->click();
        tried = speech->isSpeaking() && finished.wait(30000);
        QTest::qWait(300);
        dialog->reject();
    });
    speech->showSettingsDialog(&window, QStringLiteral("音声の調節"));
    recorder.stop();
    QVERIFY(tried);
    QCOMPARE(speech->settings().volumeDb, 0);

    const Voiced normal = voicedPart(recorder.blocks().mid(0, normalEnd));
    const Voiced quiet = voicedPart(recorder.blocks().mid(normalEnd));
    const double drop = decibels(normal.level / quiet.level);
    qInfo("sample at -20 dB is %.1f dB quieter", drop);
    QVERIFY(quiet.seconds > 0.5);
    QVERIFY(drop > 17 && drop < 23);
}

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    QApplication app(argc, argv);
    keepSettingsIn(configHome.path());
    TestSoundPlayback test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound_playback.moc"
