// The synthesis processes and the utterance's life with a real audio device: nothing is
// left running or unreaped, later failures are reported once without losing the rest of
// the text, and a new text replaces the old one. Runs under scripts/with-sound-server.sh.
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "settings_home.h"
#include "platform/speech/open_jtalk_speech.h"
#include "child_processes.h"
#include "platform/speech/dialog/speech_settings_dialog.h"
#include "platform/speech/speech_text.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);
const QString kLongText = QStringLiteral(
    "お客様にお知らせいたします。ただいま、信号確認のため、列車の運転を見合わせております。"
    "運転再開まで、今しばらくお待ちください。お急ぎのところ、ご迷惑をおかけいたします。"
    "振替輸送を実施しておりますので、係員にお尋ねください。");
const QString kThreePieces = QStringLiteral("次は東京です。お出口は右側です。ドアにご注意ください。");

bool pactl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}


} // namespace

class TestSoundLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void speakReturnsBeforeSynthesisEnds();
    void stopKillsAndReapsTheSynthesis_data();
    void stopKillsAndReapsTheSynthesis();
    void destructionKillsAndReapsTheSynthesis();
    void laterFailuresAreReportedOnce_data();
    void laterFailuresAreReportedOnce();
    void nothingSpokenNamesTheVoice_data();
    void nothingSpokenNamesTheVoice();
    void lostDeviceIsReported();
    void dialogLeavesTheAnnouncementAlone_data();
    void dialogLeavesTheAnnouncementAlone();
    void failingSampleIsShownInTheDialog();
    void speakingAgainReplacesTheSpeech();
    void longTextIsSynthesizedOnlyAhead();

private:
    QtSpeechSettingsUi m_settingsUi;
    std::unique_ptr<OpenJTalkSpeech> createSpeech(const QString &program = {});
    QString fakeProgram(const QByteArray &body);
    OpenJTalkSetup m_setup;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSoundLifecycle::initTestCase()
{
    m_setup = OpenJTalkSetup::detect({});
    m_setup.voices = {kVoice};
    if (!m_setup.isReady() || !QFile::exists(kVoice))
        QSKIP("open_jtalk or the voice is missing");
    QVERIFY2(qEnvironmentVariableIsSet("PULSE_SERVER"), "run me through scripts/with-sound-server.sh");
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestSoundLifecycle::init()
{
    QVERIFY(childProcesses().isEmpty());
}

std::unique_ptr<OpenJTalkSpeech> TestSoundLifecycle::createSpeech(const QString &program)
{
    OpenJTalkSetup setup = m_setup;
    if (!program.isEmpty())
        setup.program = program;
    return std::make_unique<OpenJTalkSpeech>(setup, m_settingsUi, nullptr);
}

// A stand-in for open_jtalk that misbehaves the way the real one can.
QString TestSoundLifecycle::fakeProgram(const QByteArray &body)
{
    static int count = 0;
    const QString path = m_dir->filePath(QStringLiteral("fake-%1").arg(++count));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("#!/bin/sh\n" + body + '\n');
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void TestSoundLifecycle::speakReturnsBeforeSynthesisEnds()
{
    auto speech = createSpeech();
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    speech->speak(kLongText);
    // Still synthesizing the first piece: the call did not wait for it.
    QVERIFY(speech->synthesisProcessId() > 0);
    QCOMPARE(first.count(), 0);
    QVERIFY(first.wait(10000));
    speech->stop();
}

void TestSoundLifecycle::stopKillsAndReapsTheSynthesis_data()
{
    QTest::addColumn<bool>("afterFirstSound");
    QTest::newRow("while the first piece is synthesized") << false;
    QTest::newRow("while playing") << true;
}

void TestSoundLifecycle::stopKillsAndReapsTheSynthesis()
{
    QFETCH(bool, afterFirstSound);
    auto speech = createSpeech();
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    speech->speak(kLongText);
    if (afterFirstSound)
        QVERIFY(first.wait(10000));
    const qint64 pid = speech->synthesisProcessId();
    if (!afterFirstSound)
        QVERIFY(pid > 0);
    speech->stop();
    QVERIFY(!speech->isSpeaking());
    QCOMPARE(speech->synthesisProcessId(), 0);
    QCOMPARE(finished.count(), 1);
    // Gone, not a zombie: a reaped process has no /proc entry.
    if (pid > 0)
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    QVERIFY(childProcesses().isEmpty());
    // Nothing more happens after the stop.
    QVERIFY(!finished.wait(500));
    QCOMPARE(finished.count(), 1);
}

void TestSoundLifecycle::destructionKillsAndReapsTheSynthesis()
{
    auto speech = createSpeech();
    speech->speak(kLongText);
    const qint64 pid = speech->synthesisProcessId();
    QVERIFY(pid > 0);
    speech.reset();
    QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    QVERIFY(childProcesses().isEmpty());
}

void TestSoundLifecycle::laterFailuresAreReportedOnce_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("someSound");
    QTest::addColumn<QString>("described");

    // Every run is counted in $0.runs; a real piece is made by the real program.
    const QByteArray real = "exec " + m_setup.program.toUtf8() + " \"$@\"";
    QTest::newRow("exits with an error")
        << QByteArray("echo 'Error: no phoneme' >&2; exit 1") << false
        << QStringLiteral("終了コード 1: Error: no phoneme");
    QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << false
                             << QStringLiteral("異常終了");
    QTest::newRow("writes no WAV") << QByteArray("cat >/dev/null; echo 'not a wav'") << false
                                   << QStringLiteral("音声データではありません");
    // The failing piece is named and left out; the pieces after it are still spoken.
    QTest::newRow("fails on the middle piece")
        << ("if [ \"$(wc -l <\"$0.runs\")\" -eq 2 ]; then exit 3; fi; " + real) << true
        << QStringLiteral("「お出口は右側です。」を読み上げられませんでした");
    QTest::newRow("crashes after the first piece")
        << ("if [ \"$(wc -l <\"$0.runs\")\" -gt 1 ]; then kill -SEGV $$; fi; " + real) << true
        << QStringLiteral("「お出口は右側です。」");
}

void TestSoundLifecycle::laterFailuresAreReportedOnce()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, someSound);
    QFETCH(QString, described);
    const QString program = fakeProgram("echo run >>\"$0.runs\"; " + script);
    auto speech = createSpeech(program);
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    QSignalSpy failed(speech.get(), &ISpeechComponent::failed);

    speech->speak(kThreePieces); // starting works; the failure comes later and must not throw
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().at(0).toInt(), 5);
    const QString description = failed.first().at(1).toString();
    QVERIFY2(description.contains(described), qPrintable(description));
    // Every piece was tried: a failing one does not take the rest of the text with it.
    QFile runs(program + QStringLiteral(".runs"));
    QVERIFY(runs.open(QIODevice::ReadOnly));
    QCOMPARE(runs.readAll().count('\n'), SpeechText::sentences(kThreePieces).size());
    QCOMPARE(first.count(), someSound ? 1 : 0);
    QVERIFY(!speech->isSpeaking());
    QVERIFY(childProcesses().isEmpty());
    QVERIFY(!failed.wait(300));
}

void TestSoundLifecycle::nothingSpokenNamesTheVoice_data()
{
    QTest::addColumn<QByteArray>("script"); // empty: the real program with a broken voice
    QTest::addColumn<int>("runs");          // synthesis runs for the three pieces
    QTest::addColumn<QString>("voiceName");
    // A voice file cut short: open_jtalk cannot load it, for this piece or any other.
    QTest::newRow("a voice that does not load") << QByteArray() << 1 << QStringLiteral("broken");
    QTest::newRow("every piece fails alike")
        << QByteArray("echo 'Error: no phoneme' >&2; exit 1") << 3
        << QStringLiteral("tohoku-f01-neutral");
}

// When nothing at all could be spoken, the one box says so and names the voice to change
// in 音声調整, instead of promising that the rest will be read.
void TestSoundLifecycle::nothingSpokenNamesTheVoice()
{
    QFETCH(QByteArray, script);
    QFETCH(int, runs);
    QFETCH(QString, voiceName);
    const QByteArray real = m_setup.program.toUtf8();
    const QString program = fakeProgram("echo run >>\"$0.runs\"; "
                                        + (script.isEmpty() ? "exec " + real + " \"$@\"" : script));
    OpenJTalkSetup setup = m_setup;
    setup.program = program;
    if (script.isEmpty()) {
        const QString broken = m_dir->filePath(QStringLiteral("broken.htsvoice"));
        QFile voice(kVoice);
        QFile cut(broken);
        QVERIFY(voice.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
        cut.write(voice.read(5000));
        setup.voices = {broken};
    }
    OpenJTalkSpeech speech(setup, m_settingsUi, nullptr);
    QSignalSpy finished(&speech, &OpenJTalkSpeech::finished);
    QSignalSpy failed(&speech, &ISpeechComponent::failed);

    speech.speak(kThreePieces);
    QVERIFY(finished.wait(20000));
    QCOMPARE(failed.count(), 1);
    const QString description = failed.first().at(1).toString();
    QVERIFY2(description.startsWith(QStringLiteral("何も読み上げられませんでした。")), qPrintable(description));
    QVERIFY2(description.contains(QStringLiteral("「%1」").arg(voiceName))
                 && description.contains(QStringLiteral("「音声調整」")),
             qPrintable(description));
    QVERIFY2(!description.contains(QStringLiteral("続きは読み上げます")), qPrintable(description));
    QFile runsFile(program + QStringLiteral(".runs"));
    QVERIFY(runsFile.open(QIODevice::ReadOnly));
    QCOMPARE(runsFile.readAll().count('\n'), runs);
    QVERIFY(childProcesses().isEmpty());
    QVERIFY(!failed.wait(300));
}

// The sound server loses its only sink while speaking (as when a USB headset is pulled):
// the speech ends and says why, instead of waiting for the device forever.
void TestSoundLifecycle::lostDeviceIsReported()
{
    auto speech = createSpeech();
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    QSignalSpy failed(speech.get(), &ISpeechComponent::failed);
    speech->speak(kLongText);
    QVERIFY(first.wait(10000));

    const auto restore = qScopeGuard([] {
        pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
               QStringLiteral("sink_name=bdt_null"), QStringLiteral("rate=48000")});
        pactl({QStringLiteral("set-default-sink"), QStringLiteral("bdt_null")});
    });
    QVERIFY(pactl({QStringLiteral("unload-module"), QStringLiteral("module-null-sink")}));
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.count(), 1);
    QVERIFY2(failed.first().at(1).toString().contains(QStringLiteral("出力装置が使えなくなった")),
             qPrintable(failed.first().at(1).toString()));
    QCOMPARE(finished.count(), 1);
    QVERIFY(!speech->isSpeaking());
    QCOMPARE(speech->synthesisProcessId(), 0);
    QVERIFY(childProcesses().isEmpty());
}

void TestSoundLifecycle::dialogLeavesTheAnnouncementAlone_data()
{
    QTest::addColumn<bool>("tryOut");
    QTest::addColumn<bool>("ok");
    QTest::newRow("cancel") << false << false;
    QTest::newRow("OK without a try-out") << false << true;
    // A sample replaces the announcement, and closing the dialog ends the sample.
    QTest::newRow("cancel after a try-out") << true << false;
    QTest::newRow("OK after a try-out") << true << true;
}

void TestSoundLifecycle::dialogLeavesTheAnnouncementAlone()
{
    QFETCH(bool, tryOut);
    QFETCH(bool, ok);
    auto speech = createSpeech();
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    speech->speak(kLongText);
    QVERIFY(first.wait(10000));

    QWidget window;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<SpeechSettingsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (tryOut)
            dialog->findChild<QPushButton *>(QStringLiteral("tryButton"))->click();
        dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
            ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    speech->showSettingsDialog(&window, QStringLiteral("音声の調節"));
    QCOMPARE(speech->isSpeaking(), !tryOut);
    QCOMPARE(finished.count(), tryOut ? 2 : 0);
    speech->stop();
    QVERIFY(childProcesses().isEmpty());
}

// A sample that fails once the dialog's try-out has returned is shown in the dialog, where
// the operator is looking, and not in a box of the window's.
void TestSoundLifecycle::failingSampleIsShownInTheDialog()
{
    auto speech = createSpeech(fakeProgram("exit 1"));
    QSignalSpy failed(speech.get(), &ISpeechComponent::failed);
    QString shown;
    QWidget window;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<SpeechSettingsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->findChild<QPushButton *>(QStringLiteral("tryButton"))->click();
        auto *status = dialog->findChild<QLabel *>(QStringLiteral("statusLabel"));
        if (QTest::qWaitFor([status] { return !status->text().isEmpty(); }, 10000))
            shown = status->text();
        dialog->reject();
    });
    speech->showSettingsDialog(&window, QStringLiteral("音声の調節"));
    QVERIFY2(shown.contains(QStringLiteral("終了コード 1")), qPrintable(shown));
    QCOMPARE(failed.count(), 0);
    QVERIFY(childProcesses().isEmpty());
}

void TestSoundLifecycle::speakingAgainReplacesTheSpeech()
{
    auto speech = createSpeech();
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    QSignalSpy finished(speech.get(), &OpenJTalkSpeech::finished);
    speech->speak(kLongText);
    QVERIFY(first.wait(10000));

    QElapsedTimer clock;
    clock.start();
    speech->speak(QStringLiteral("はい。"));
    QCOMPARE(finished.count(), 1); // the long text ended here
    QVERIFY(finished.wait(10000));
    // The short word plays and ends; the long text, many seconds more, does not resume.
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(first.count(), 2);
    QVERIFY(!finished.wait(1000));
    QVERIFY(childProcesses().isEmpty());
}

void TestSoundLifecycle::longTextIsSynthesizedOnlyAhead()
{
    // Minutes of speech: synthesizing it all at once would hold every second of it in
    // memory. The stand-in synthesizes once and then answers every piece at once with
    // the same sound, so a run ahead of playing would reach the end within a moment,
    // however busy the machine is.
    const QByteArray real = m_setup.program.toUtf8();
    const QString program = fakeProgram(
        "echo run >>\"$0.runs\"; "
        "if [ ! -s \"$0.wav\" ]; then " + real + " \"$@\" >\"$0.tmp\" && mv \"$0.tmp\" \"$0.wav\"; "
        "else cat >/dev/null; fi; exec cat \"$0.wav\"");
    const QString text = kLongText.repeated(12);
    const qsizetype pieces = SpeechText::sentences(text).size();
    auto speech = createSpeech(program);
    QSignalSpy first(speech.get(), &OpenJTalkSpeech::firstBufferWritten);
    speech->speak(text);
    QVERIFY(first.wait(10000));
    QTest::qWait(5000); // long enough for every piece, were they all made at once

    QVERIFY(speech->isSpeaking());
    QFile runs(program + QStringLiteral(".runs"));
    QVERIFY(runs.open(QIODevice::ReadOnly));
    const qsizetype made = runs.readAll().count('\n');
    // Five seconds played and the read-ahead: a handful of pieces, far from all of them.
    QVERIFY2(made < pieces / 3, qPrintable(QStringLiteral("%1 of %2 pieces made").arg(made).arg(pieces)));
    speech->stop();
    QVERIFY(childProcesses().isEmpty());
}

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    QApplication app(argc, argv);
    keepSettingsIn(configHome.path());
    TestSoundLifecycle test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound_lifecycle.moc"
