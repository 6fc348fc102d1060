// The voice-settings dialog as the operator meets it: owned by the window, modal, in
// Japanese, saving on OK and forgetting on Cancel.
#include "settings_home.h"
#include "platform/speech/open_jtalk_speech.h"
#include "fake_tts_engine.h"
#include "platform/speech/speech_engine_choice.h"
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/speech/dialog/speech_settings_dialog.h"
#include "platform/speech/tts_speech.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QTimer>
#include <QtTest>
#include <functional>

Q_IMPORT_PLUGIN(FakeTtsPlugin)
Q_IMPORT_PLUGIN(FakeTtsPlugin2)
Q_IMPORT_PLUGIN(FakeFlitePlugin)

namespace {

QTemporaryDir *g_home = nullptr;
const QString kTitle = QStringLiteral("音声の調節");

// Runs check on the dialog once it is up, then closes it if the check left it open, so a
// failed check cannot leave the test waiting in the modal loop.
void whenDialogOpens(QObject *context, std::function<void(SpeechSettingsDialog *)> check)
{
    auto *poll = new QTimer(context);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, context, [poll, check] {
        auto *dialog = qobject_cast<SpeechSettingsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        check(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start();
}

template<typename T>
T *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

void clickButton(SpeechSettingsDialog *dialog, QDialogButtonBox::StandardButton which)
{
    child<QDialogButtonBox>(dialog, "buttonBox")->button(which)->click();
}

} // namespace

class TestSpeechDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void isModalToTheWindowWithItsTitle();
    void okSavesForTheNextRun();
    void cancelForgets();
    void failedTryOutIsShownInTheDialog();
    void voicesAreReadAfreshEachTime();
    void textToSpeechOffersItsEnginesAndVoices();

private:
    QtSpeechSettingsUi m_settingsUi;
    OpenJTalkSetup setup() const;
    QString m_voiceA;
    QString m_voiceB;
};

void TestSpeechDialog::initTestCase()
{
    m_voiceA = g_home->filePath(QStringLiteral("voices/a-voice.htsvoice"));
    m_voiceB = g_home->filePath(QStringLiteral("voices/b-voice.htsvoice"));
    QDir().mkpath(g_home->filePath(QStringLiteral("voices")));
    for (const QString &path : {m_voiceA, m_voiceB}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[GLOBAL]\nSAMPLING_FREQUENCY:48000\n");
    }
}

void TestSpeechDialog::init()
{
    QFile::remove(SpeechSettings::defaultFile());
}

OpenJTalkSetup TestSpeechDialog::setup() const
{
    // No program: the dialog needs none, and trying a sample must fail visibly.
    return OpenJTalkSetup{QStringLiteral("/nonexistent/open_jtalk"), QString(), {m_voiceA, m_voiceB}, {}};
}

void TestSpeechDialog::isModalToTheWindowWithItsTitle()
{
    QWidget window;
    window.show();
    OpenJTalkSpeech speech(setup(), m_settingsUi, nullptr);
    bool seen = false;
    whenDialogOpens(this, [&](SpeechSettingsDialog *dialog) {
        seen = true;
        QCOMPARE(dialog->windowTitle(), kTitle);
        QCOMPARE(dialog->parentWidget(), &window);
        QVERIFY(dialog->isModal());
        QCOMPARE(child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->text(),
                 QStringLiteral("OK"));
        QCOMPARE(child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Cancel)->text(),
                 QStringLiteral("キャンセル"));
        QCOMPARE(child<QPushButton>(dialog, "tryButton")->text(), QStringLiteral("試聴"));
        // Open JTalk's voices by name; the engine cannot be switched from here.
        auto *voices = child<QComboBox>(dialog, "voiceCombo");
        QCOMPARE(voices->count(), 2);
        QCOMPARE(voices->itemText(0), QStringLiteral("a-voice"));
        QCOMPARE(voices->itemText(1), QStringLiteral("b-voice"));
        QVERIFY(!child<QComboBox>(dialog, "engineCombo")->isEnabled());
        // Gain above 0 dB clips.
        QCOMPARE(child<QSpinBox>(dialog, "volumeSpin")->maximum(), 0);
    });
    speech.showSettingsDialog(&window, kTitle);
    QVERIFY(seen);
}

void TestSpeechDialog::okSavesForTheNextRun()
{
    QWidget window;
    OpenJTalkSpeech speech(setup(), m_settingsUi, nullptr);
    whenDialogOpens(this, [](SpeechSettingsDialog *dialog) {
        child<QComboBox>(dialog, "voiceCombo")->setCurrentIndex(1);
        child<QDoubleSpinBox>(dialog, "speedSpin")->setValue(1.5);
        child<QSpinBox>(dialog, "pitchSpin")->setValue(-3);
        child<QSpinBox>(dialog, "volumeSpin")->setValue(-10);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    speech.showSettingsDialog(&window, kTitle);

    SpeechSettings expected;
    expected.voice = m_voiceB;
    expected.speed = 1.5;
    expected.halfTones = -3;
    expected.volumeDb = -10;
    QCOMPARE(speech.settings(), expected);
    QCOMPARE(speech.currentVoice(), m_voiceB);

    // The next run of the tool starts with them.
    OpenJTalkSpeech nextRun(setup(), m_settingsUi, nullptr);
    QCOMPARE(nextRun.settings(), expected);
    QCOMPARE(nextRun.currentVoice(), m_voiceB);

    // And the dialog shows them when opened again.
    bool seen = false;
    whenDialogOpens(this, [&](SpeechSettingsDialog *dialog) {
        seen = true;
        QCOMPARE(child<QComboBox>(dialog, "voiceCombo")->currentData().toString(), m_voiceB);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "speedSpin")->value(), 1.5);
        QCOMPARE(child<QSpinBox>(dialog, "pitchSpin")->value(), -3);
        QCOMPARE(child<QSpinBox>(dialog, "volumeSpin")->value(), -10);
    });
    nextRun.showSettingsDialog(&window, kTitle);
    QVERIFY(seen);
}

void TestSpeechDialog::cancelForgets()
{
    QWidget window;
    OpenJTalkSpeech speech(setup(), m_settingsUi, nullptr);
    const SpeechSettings before = speech.settings();
    whenDialogOpens(this, [](SpeechSettingsDialog *dialog) {
        child<QComboBox>(dialog, "voiceCombo")->setCurrentIndex(1);
        child<QDoubleSpinBox>(dialog, "speedSpin")->setValue(0.7);
        child<QSpinBox>(dialog, "volumeSpin")->setValue(-15);
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    speech.showSettingsDialog(&window, kTitle);
    QCOMPARE(speech.settings(), before);
    QCOMPARE(speech.currentVoice(), m_voiceA);
    QVERIFY(!QFile::exists(SpeechSettings::defaultFile()));
}

void TestSpeechDialog::failedTryOutIsShownInTheDialog()
{
    QWidget window;
    OpenJTalkSpeech speech(setup(), m_settingsUi, nullptr);
    bool seen = false;
    whenDialogOpens(this, [&](SpeechSettingsDialog *dialog) {
        seen = true;
        auto *status = child<QLabel>(dialog, "statusLabel");
        QVERIFY(status->text().isEmpty());
        child<QPushButton>(dialog, "tryButton")->click();
        QVERIFY2(status->text().contains(QStringLiteral("open_jtalk")), qPrintable(status->text()));
        // The operator can still correct things or cancel.
        QVERIFY(dialog->isVisible());
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    speech.showSettingsDialog(&window, kTitle);
    QVERIFY(seen);
    QVERIFY(!speech.isSpeaking());
}

// A voice put in a voice folder while the tool runs is offered the next time the dialog
// opens, without starting the tool again.
void TestSpeechDialog::voicesAreReadAfreshEachTime()
{
    QTemporaryDir folder;
    QFile(m_voiceA).copy(folder.filePath(QStringLiteral("a-voice.htsvoice")));
    OpenJTalkSetup found = OpenJTalkSetup::detect({folder.path()});
    found.program = QStringLiteral("/nonexistent/open_jtalk");
    OpenJTalkSpeech speech(found, m_settingsUi, nullptr);
    QWidget window;
    QStringList offered;
    const auto listVoices = [&offered](SpeechSettingsDialog *dialog) {
        auto *voices = child<QComboBox>(dialog, "voiceCombo");
        offered.clear();
        for (int i = 0; i < voices->count(); ++i)
            offered << voices->itemText(i);
    };
    whenDialogOpens(this, listVoices);
    speech.showSettingsDialog(&window, kTitle);
    QCOMPARE(offered, QStringList{QStringLiteral("a-voice")});

    QFile(m_voiceB).copy(folder.filePath(QStringLiteral("b-voice.htsvoice")));
    whenDialogOpens(this, listVoices);
    speech.showSettingsDialog(&window, kTitle);
    QCOMPARE(offered, (QStringList{QStringLiteral("a-voice"), QStringLiteral("b-voice")}));
}

void TestSpeechDialog::textToSpeechOffersItsEnginesAndVoices()
{
    auto *engine = new QTextToSpeech(QStringLiteral("bdt-fake"));
    QVERIFY(engine->state() != QTextToSpeech::Error);
    QStringList voiceNames;
    for (const QVoice &voice : engine->availableVoices())
        voiceNames << voice.name();
    QVERIFY(!voiceNames.isEmpty());
    TtsSpeech speech(engine, m_settingsUi, nullptr);

    QWidget window;
    whenDialogOpens(this, [&](SpeechSettingsDialog *dialog) {
        QCOMPARE(dialog->parentWidget(), &window);
        auto *engines = child<QComboBox>(dialog, "engineCombo");
        QCOMPARE(engines->currentData().toString(), QStringLiteral("bdt-fake"));
        // Every engine but the one that cannot be heard here.
        QCOMPARE(engines->count(), audibleTtsEngines(QTextToSpeech::availableEngines()).size());
        auto *voices = child<QComboBox>(dialog, "voiceCombo");
        // First the automatic choice, then the engine's own voices.
        QCOMPARE(voices->count(), voiceNames.size() + 1);
        QVERIFY(voices->itemData(0).toString().isEmpty());
        QCOMPARE(voices->currentIndex(), 0);
        voices->setCurrentIndex(voices->findData(voiceNames.last()));
        child<QSpinBox>(dialog, "pitchSpin")->setValue(5);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    speech.showSettingsDialog(&window, kTitle);

    const SpeechSettings saved = SpeechSettings::load(SpeechSettings::defaultFile());
    QCOMPARE(saved.ttsEngine, QStringLiteral("bdt-fake"));
    QCOMPARE(saved.voice, voiceNames.last());
    QCOMPARE(saved.halfTones, 5);
    QCOMPARE(speech.settings(), saved);
    QCOMPARE(speech.engineName(), QStringLiteral("bdt-fake"));
}

int main(int argc, char **argv)
{
    QTemporaryDir home;
    g_home = &home;
    QApplication app(argc, argv);
    keepSettingsIn(home.filePath(QStringLiteral("config")));
    TestSpeechDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_speech_dialog.moc"
