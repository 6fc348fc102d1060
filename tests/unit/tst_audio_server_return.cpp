// 再生 after the sound server was away for longer than Qt's sound layer waits for it (a
// restart of PulseAudio, a session switched away and back): speech must be heard again
// once the server is back, without a restart of the program. The suite runs a PulseAudio
// server of its own, with a null sink, in a folder of its own, since it stops it: other
// suites that run meanwhile must keep theirs.
#include "settings_home.h"
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/open_jtalk_speech.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);
const QString kServerScript = QStringLiteral(BDT_SOURCE_DIR "/scripts/sound-server.sh");
QTemporaryDir *g_serverDir = nullptr;

// sound-server.sh start or stop, on this suite's server.
bool server(const QString &command)
{
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("BDT_SOUND_DIR"), g_serverDir->path());
    script.setProcessEnvironment(environment);
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral("bash"), {kServerScript, command});
    return script.waitForFinished(30000) && script.exitCode() == 0;
}

// The loudest sample the null sink played while parec recorded it.
int loudest(QProcess &parec)
{
    parec.terminate();
    parec.waitForFinished(5000);
    const QByteArray pcm = parec.readAllStandardOutput();
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    int most = 0;
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        most = std::max(most, std::abs(int(samples[i])));
    return most;
}

} // namespace

class TestAudioServerReturn : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void speaksAgainOnceTheServerIsBack();

private:
    QtSpeechSettingsUi m_settingsUi;
};

void TestAudioServerReturn::initTestCase()
{
    OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    if (!setup.isReady() || !QFile::exists(kVoice))
        QSKIP("open_jtalk or the voice is missing");
    QVERIFY2(server(QStringLiteral("start")), "the suite's own PulseAudio server did not start");
}

void TestAudioServerReturn::cleanupTestCase()
{
    server(QStringLiteral("stop"));
}

// 再生 once, the server away for six seconds (Qt's layer waits three), then 再生 again: it
// must not fail, and the sink must play it.
void TestAudioServerReturn::speaksAgainOnceTheServerIsBack()
{
    OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    setup.voices = {kVoice};
    OpenJTalkSpeech speech(setup, m_settingsUi, nullptr);
    QSignalSpy finished(&speech, &OpenJTalkSpeech::finished);
    QSignalSpy failed(&speech, &ISpeechComponent::failed);
    speech.speak(QStringLiteral("テスト"));
    QVERIFY(finished.wait(20000));
    QCOMPARE(failed.count(), 0);

    QVERIFY(server(QStringLiteral("stop")));
    QTest::qWait(6000);
    QVERIFY(server(QStringLiteral("start")));

    QProcess parec;
    parec.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("bdt_null.monitor"),
                                          QStringLiteral("--raw"), QStringLiteral("--format=s16le")});
    QVERIFY(parec.waitForStarted(5000));
    const auto stopRecording = qScopeGuard([&parec] { parec.kill(); parec.waitForFinished(5000); });
    QTest::qWait(300);
    try {
        speech.speak(QStringLiteral("テスト"));
    } catch (const RuntimeError &error) {
        QFAIL(qPrintable(error.description()));
    }
    QVERIFY(finished.wait(20000));
    QTest::qWait(300);
    QCOMPARE(failed.count(), 0);
    QVERIFY2(loudest(parec) > 1000, "nothing reached the sink");
}

int main(int argc, char **argv)
{
    // The server's folder, and the client's settings pointed at it, before Qt's sound
    // layer first connects.
    QTemporaryDir serverDir(QStringLiteral("/tmp/bdt-outage-XXXXXX"));
    g_serverDir = &serverDir;
    qputenv("XDG_RUNTIME_DIR", (serverDir.path() + QStringLiteral("/runtime")).toUtf8());
    qputenv("PULSE_SERVER", (QStringLiteral("unix:") + serverDir.path() + QStringLiteral("/native")).toUtf8());
    qputenv("PULSE_COOKIE", (serverDir.path() + QStringLiteral("/home/.config/pulse/cookie")).toUtf8());
    QTemporaryDir configHome;
    QApplication app(argc, argv);
    keepSettingsIn(configHome.path());
    TestAudioServerReturn test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_audio_server_return.moc"
