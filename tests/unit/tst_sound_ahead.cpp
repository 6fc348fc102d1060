// The first piece made ahead of 再生: what reaches the sink is the audio of the text and
// settings 再生 speaks, made ahead or not, and 停止 cuts it either way. A stand-in for
// open_jtalk plays a tone whose loudness tells which text and pitch it was given, and
// notes each run, so nothing here depends on how fast the machine is. Runs under
// scripts/with-sound-server.sh.
#include "child_processes.h"
#include "platform/speech/open_jtalk_speech.h"
#include "platform/speech/speech_voices.h"
#include "settings_home.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);

// Picks the values the dialog would be closed with.
class ChoosingUi final : public ISpeechSettingsUi
{
public:
    SpeechSettings chosen;
    std::optional<SpeechSettings> run(QWidget *, const QString &, const SpeechSettings &,
                                      SpeechDialogSources) override
    {
        return chosen;
    }
    void showSampleFailure(const QString &) override {}
};

// Records the null sink in small pieces, all along: a sink nobody listens to is suspended,
// and waking it takes a second or two.
class Recording
{
public:
    Recording()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), QStringLiteral("bdt_null.monitor"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                       QStringLiteral("--latency-msec=20"), QStringLiteral("--raw")});
        m_parec.waitForStarted(5000);
    }
    ~Recording() { m_parec.kill(), m_parec.waitForFinished(5000); }
    bool flowing() { return m_parec.waitForReadyRead(5000); }
    qint64 processId() const { return m_parec.processId(); }

    // The loudest sample recorded from now until sound comes, or until ms have passed.
    int loudestWithin(int ms)
    {
        m_parec.readAllStandardOutput(); // what came before
        int loudest = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            m_parec.waitForReadyRead(20);
            const QByteArray pcm = m_parec.readAllStandardOutput();
            const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
            for (qsizetype i = 0; i < pcm.size() / 2; ++i)
                loudest = std::max(loudest, std::abs(int(samples[i])));
            // A tone's whole height comes within its first cycles.
            if (loudest >= 1000 && clock.elapsed() >= 100)
                break;
        }
        return loudest;
    }

private:
    QProcess m_parec;
};

// Which tone was heard: 甲 or 乙, at the usual pitch or another.
QString heard(int loudest)
{
    if (loudest < 1000)
        return QStringLiteral("silence");
    const int bands[] = {3277, 6554, 13107, 26214};
    const char *names[] = {"甲 higher", "甲", "乙 higher", "乙"};
    int best = 0;
    for (int i = 1; i < 4; ++i) {
        if (std::abs(loudest - bands[i]) < std::abs(loudest - bands[best]))
            best = i;
    }
    return QString::fromUtf8(names[best]);
}

} // namespace

class TestSoundAhead : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void speaksWhatItIsGiven_data();
    void speaksWhatItIsGiven();
    void failureMadeAheadIsToldOnlyWhenSpoken();

private:
    int runs();
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    ChoosingUi m_ui;
    std::unique_ptr<OpenJTalkSpeech> m_speech;
    std::unique_ptr<Recording> m_sink;
};

void TestSoundAhead::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("PULSE_SERVER"), "run me through scripts/with-sound-server.sh");
    OpenJTalkSetup probe = OpenJTalkSetup::detect({});
    if (!probe.isReady() || !QFile::exists(kVoice))
        QSKIP("open_jtalk or the voice is missing");
    m_dir = std::make_unique<QTemporaryDir>();
    m_program = m_dir->filePath(QStringLiteral("open_jtalk"));
    QFile script(m_program);
    QVERIFY(script.open(QIODevice::WriteOnly));
    // Loudness: 甲 0.2, anything else 0.8, halved at another pitch (-fm). "hold" makes it
    // wait for "go"; "fail" makes it fail.
    script.write(QStringLiteral(
        "#!/bin/sh\n"
        "text=$(cat)\n"
        "echo \"$text\" >>\"$0.runs\"\n"
        "case \"$text\" in *甲*) v=0.2 ;; *) v=0.8 ;; esac\n"
        "prev=; for a in \"$@\"; do [ \"$prev\" = -fm ] && [ \"$a\" != 0 ] && v=$(awk \"BEGIN{print $v/2}\"); prev=$a; done\n"
        "[ -e \"$0.fail\" ] && { echo 'Error: cannot make it' >&2; exit 1; }\n"
        "if [ -e \"$0.hold\" ]; then while [ ! -e \"$0.go\" ]; do sleep 0.02; done; fi\n"
        "exec sox -n -r %1 -b 16 -c 1 -t wav - synth 3 sine 440 vol $v\n")
                     .arg(SpeechVoices::sampleRate(kVoice))
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_sink = std::make_unique<Recording>();
    QVERIFY(m_sink->flowing());
}

void TestSoundAhead::init()
{
    for (const char *flag : {".runs", ".hold", ".go", ".fail"})
        QFile::remove(m_program + QLatin1String(flag));
    OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    setup.program = m_program;
    setup.voices = {kVoice};
    m_speech = std::make_unique<OpenJTalkSpeech>(setup, m_ui, nullptr);
}

void TestSoundAhead::cleanup()
{
    m_speech.reset();
    // Nothing of the synthesis is left running: only the recording.
    QTRY_COMPARE(childProcesses(), QList<qint64>{m_sink->processId()});
}

int TestSoundAhead::runs()
{
    QFile file(m_program + QStringLiteral(".runs"));
    return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
}

void TestSoundAhead::speaksWhatItIsGiven_data()
{
    QTest::addColumn<QString>("ahead");   // the editor's text made ahead; empty: none
    QTest::addColumn<bool>("held");       // 再生 comes while it is still being made
    QTest::addColumn<int>("halfTones");   // the pitch chosen before 再生
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedRuns");
    QTest::newRow("nothing made ahead") << "" << false << 0 << "甲です。" << "甲" << 1;
    QTest::newRow("made ahead, the same text") << "甲です。" << false << 0 << "甲です。" << "甲" << 1;
    QTest::newRow("still being made, the same text") << "甲です。" << true << 0 << "甲です。" << "甲" << 1;
    QTest::newRow("made ahead, then the text changed") << "甲です。" << false << 0 << "乙です。" << "乙" << 2;
    QTest::newRow("still being made, then the text changed") << "甲です。" << true << 0 << "乙です。" << "乙" << 2;
    QTest::newRow("made ahead, then the pitch changed") << "甲です。" << false << 3 << "甲です。" << "甲 higher" << 2;
}

void TestSoundAhead::speaksWhatItIsGiven()
{
    QFETCH(QString, ahead);
    QFETCH(bool, held);
    QFETCH(int, halfTones);
    QFETCH(QString, spoken);
    QFETCH(QString, expected);
    QFETCH(int, expectedRuns);
    if (held)
        QFile(m_program + QStringLiteral(".hold")).open(QIODevice::WriteOnly);
    QSignalSpy prepared(m_speech.get(), &OpenJTalkSpeech::prepared);
    if (!ahead.isEmpty()) {
        m_speech->prepare(ahead);
        if (held)
            QTRY_COMPARE_WITH_TIMEOUT(runs(), 1, 10000); // started, and waiting
        else
            QVERIFY(prepared.wait(10000));
    }
    if (halfTones != 0) {
        m_ui.chosen = m_speech->settings();
        m_ui.chosen.halfTones = halfTones;
        m_speech->showSettingsDialog(nullptr, QStringLiteral("音声の調節"));
    }

    QSignalSpy first(m_speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    QSignalSpy failed(m_speech.get(), &ISpeechComponent::failed);
    m_speech->speak(spoken);
    if (held)
        QFile(m_program + QStringLiteral(".go")).open(QIODevice::WriteOnly);
    QVERIFY(first.wait(10000));
    QCOMPARE(heard(m_sink->loudestWithin(3000)), expected);
    QCOMPARE(runs(), expectedRuns);
    QCOMPARE(failed.count(), 0);

    // 停止 cuts it: the rest of the three-second tone never reaches the sink.
    m_speech->stop();
    QTest::qWait(150); // what the server still held when it was cut
    QCOMPARE(heard(m_sink->loudestWithin(300)), QStringLiteral("silence"));
}

void TestSoundAhead::failureMadeAheadIsToldOnlyWhenSpoken()
{
    QFile(m_program + QStringLiteral(".fail")).open(QIODevice::WriteOnly);
    QSignalSpy failed(m_speech.get(), &ISpeechComponent::failed);
    m_speech->prepare(QStringLiteral("甲です。"));
    QTRY_COMPARE_WITH_TIMEOUT(runs(), 1, 10000);
    QTRY_COMPARE(childProcesses(), QList<qint64>{m_sink->processId()}); // it failed, and nobody was told
    QCoreApplication::processEvents();
    QCOMPARE(failed.count(), 0);
    m_speech->speak(QStringLiteral("甲です。"));
    QVERIFY(failed.wait(10000));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(runs(), 2);
}

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    QCoreApplication app(argc, argv);
    keepSettingsIn(configHome.path());
    TestSoundAhead test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound_ahead.moc"
