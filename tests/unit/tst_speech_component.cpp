// The Open JTalk component without sound: what it refuses, and that it starts nothing it
// does not need. The sound server is pointed at nothing, so every device is missing.
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/speech/open_jtalk_speech.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "child_processes.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_factory.h"
#include "platform/speech/speech_voices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);
QTemporaryDir *g_home = nullptr;


OpenJTalkSetup realSetup()
{
    OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    setup.voices = {kVoice};
    return setup;
}

} // namespace

class TestSpeechComponent : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void blankTextIsSilence_data();
    void blankTextIsSilence();
    void failuresAreThrownFromTheCall_data();
    void failuresAreThrownFromTheCall();
    void stopWhenSilentDoesNothing();
    void creationStartsNothing();
    void factoryWithoutVoiceDoesNotChooseOpenJTalk();
    void hungSynthesisIsEnded_data();
    void hungSynthesisIsEnded();

private:
    QtSpeechSettingsUi m_settingsUi;
};

void TestSpeechComponent::init()
{
    QVERIFY(childProcesses().isEmpty());
}

void TestSpeechComponent::blankTextIsSilence_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << QStringLiteral("  　 \t");
    QTest::newRow("line breaks") << QStringLiteral("\r\n\n\r");
    QTest::newRow("punctuation") << QStringLiteral("。、！？「」…");
}

void TestSpeechComponent::blankTextIsSilence()
{
    QFETCH(QString, text);
    // Even with no program and no device: nothing is needed to say nothing.
    OpenJTalkSpeech speech(OpenJTalkSetup{}, m_settingsUi, nullptr);
    QSignalSpy finished(&speech, &OpenJTalkSpeech::finished);
    speech.speak(text);
    QVERIFY(!speech.isSpeaking());
    QCOMPARE(finished.count(), 0);
    QVERIFY(childProcesses().isEmpty());
}

void TestSpeechComponent::failuresAreThrownFromTheCall_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("dictionary");
    QTest::addColumn<QStringList>("voices");
    QTest::addColumn<QString>("described");

    const OpenJTalkSetup real = realSetup();
    if (!real.isReady())
        QSKIP("open_jtalk and its dictionary are not installed");
    const QString junk = g_home->filePath(QStringLiteral("not-a-program"));
    {
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x7f" "ELF but not really");
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    }

    QTest::newRow("open_jtalk missing") << QStringLiteral("/nonexistent/open_jtalk")
                                        << real.dictionary << QStringList{kVoice}
                                        << QStringLiteral("open_jtalk");
    QTest::newRow("dictionary missing") << real.program << QStringLiteral("/nonexistent")
                                        << QStringList{kVoice} << QStringLiteral("辞書");
    QTest::newRow("no voice") << real.program << real.dictionary << QStringList{}
                              << QStringLiteral("htsvoice");
    QTest::newRow("program cannot be started") << junk << real.dictionary
                                               << QStringList{kVoice}
                                               << QStringLiteral("起動できません");
    // open_jtalk starts, the device is refused, and the process must not be left behind.
    QTest::newRow("no audio device") << real.program << real.dictionary
                                     << QStringList{kVoice} << QStringLiteral("出力装置");
}

void TestSpeechComponent::failuresAreThrownFromTheCall()
{
    QFETCH(QString, program);
    QFETCH(QString, dictionary);
    QFETCH(QStringList, voices);
    QFETCH(QString, described);

    OpenJTalkSpeech speech(OpenJTalkSetup{program, dictionary, voices, {}}, m_settingsUi, nullptr);
    QSignalSpy finished(&speech, &OpenJTalkSpeech::finished);
    try {
        speech.speak(QStringLiteral("ご乗車ありがとうございます。"));
        QFAIL("speak() did not throw");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 5);
        QVERIFY2(error.description().contains(described), qPrintable(error.description()));
    }
    QVERIFY(!speech.isSpeaking());
    QCOMPARE(speech.synthesisProcessId(), 0);
    QVERIFY(childProcesses().isEmpty());
    // A failed start is not an utterance that ended.
    QCOMPARE(finished.count(), 0);
}

void TestSpeechComponent::stopWhenSilentDoesNothing()
{
    OpenJTalkSpeech speech(realSetup(), m_settingsUi, nullptr);
    QSignalSpy finished(&speech, &OpenJTalkSpeech::finished);
    speech.stop();
    speech.stop();
    QCOMPARE(finished.count(), 0);
    QVERIFY(!speech.isSpeaking());
}

void TestSpeechComponent::creationStartsNothing()
{
    if (!realSetup().isReady() || !QFile::exists(kVoice))
        QSKIP("open_jtalk or the voice is missing");
    // The voice reaches the factory the way a user installs one: in ~/.local/share.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QDir().mkpath(dataHome.filePath(QStringLiteral("hts-voice")));
    const QString link = dataHome.filePath(QStringLiteral("hts-voice/tohoku-f01-neutral.htsvoice"));
    QVERIFY(QFile::link(kVoice, link));

    QObject owner;
    DefaultSpeechFactory factory(m_settingsUi);
    ISpeechComponent *component = factory.create(&owner);
    QVERIFY(component);
    QCOMPARE(component->parent(), &owner);
    auto *openJTalk = qobject_cast<OpenJTalkSpeech *>(component);
    QVERIFY(openJTalk);
    // Voices of the program's own and the system's folders come before the user's.
    QStringList others = SpeechVoices::defaultFolders();
    others.removeLast();
    const QStringList system = SpeechVoices::find(others);
    QCOMPARE(openJTalk->currentVoice(), system.isEmpty() ? link : system.first());
    // No synthesis and no process before the first speak.
    QVERIFY(childProcesses().isEmpty());
    qunsetenv("XDG_DATA_HOME");
}

void TestSpeechComponent::factoryWithoutVoiceDoesNotChooseOpenJTalk()
{
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    if (!SpeechVoices::find(SpeechVoices::defaultFolders()).isEmpty())
        QSKIP("this machine has Open JTalk voices installed system-wide");
    QObject owner;
    DefaultSpeechFactory factory(m_settingsUi);
    std::unique_ptr<ISpeechComponent> component;
    try {
        component.reset(factory.create(&owner));
    } catch (const RuntimeError &error) {
        // No Qt engine works here either: the window disables its speech buttons.
        QCOMPARE(error.number(), 429);
        QVERIFY(!error.description().isEmpty());
    }
    if (component) {
        QVERIFY(!qobject_cast<OpenJTalkSpeech *>(component.get()));
        QCOMPARE(QString::fromLatin1(component->metaObject()->className()),
                 QStringLiteral("TtsSpeech"));
    }
    qunsetenv("XDG_DATA_HOME");
}

void TestSpeechComponent::hungSynthesisIsEnded_data()
{
    QTest::addColumn<QByteArray>("script");
    // One case only: each waits out the time limit.
    QTest::newRow("closes its output, then sleeps") << QByteArray("exec >&- 2>&-; exec sleep 1000");
}

// A synthesizer that never ends must not stall 再生 (nor the companion's speak, which runs
// the same synthesis) for ever: it is ended after a time that allows for its text, and
// reported.
void TestSpeechComponent::hungSynthesisIsEnded()
{
    QFETCH(QByteArray, script);
    const QString program = g_home->filePath(QStringLiteral("hangs"));
    {
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/bin/sh\n" + script + '\n');
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    OpenJTalkSynthesis synthesis(nullptr);
    QSignalSpy failed(&synthesis, &OpenJTalkSynthesis::failed);
    QSignalSpy finished(&synthesis, &OpenJTalkSynthesis::finished);
    QString error;
    QVERIFY(synthesis.start(program, {}, QStringLiteral("あ"), &error));
    QVERIFY(failed.wait(15000));
    QVERIFY2(failed.first().at(0).toString().contains(QStringLiteral("秒たっても終わらない")),
             qPrintable(failed.first().at(0).toString()));
    QCOMPARE(finished.count(), 0);
    QVERIFY(childProcesses().isEmpty());
}

int main(int argc, char **argv)
{
    QTemporaryDir home;
    g_home = &home;
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    // No sound server: every attempt to open the audio device fails.
    qputenv("PULSE_SERVER", home.filePath(QStringLiteral("no-such-socket")).prepend("unix:").toUtf8());
    QApplication app(argc, argv);
    TestSpeechComponent test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_speech_component.moc"
