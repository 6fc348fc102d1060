// The Qt TextToSpeech fallback, driven through fake engines: what it hands the engine
// when speaking, how an utterance ends, and what the voice dialog does to the engine.
#include "settings_home.h"
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/speech/dialog/speech_settings_dialog.h"
#include "platform/speech/tts_speech.h"
#include "fake_tts_engine.h"
#include "platform/runtime/runtime_error.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

Q_IMPORT_PLUGIN(FakeTtsPlugin)
Q_IMPORT_PLUGIN(FakeTtsPlugin2)
Q_IMPORT_PLUGIN(FakeFlitePlugin)

namespace {

QTemporaryDir *g_home = nullptr;
const QString kText = QStringLiteral("次は東京です。");

// Works the dialog once it is up and closes it with OK or Cancel.
void whenDialogOpens(QObject *context, std::function<void(SpeechSettingsDialog *)> work, bool ok)
{
    QTimer::singleShot(0, context, [work, ok] {
        auto *dialog = qobject_cast<SpeechSettingsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        work(dialog);
        dialog->findChild<QDialogButtonBox *>()
            ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
}

} // namespace

class TestSpeechTts : public QObject
{
    Q_OBJECT
private slots:
    void speaksWithTheSettings_data();
    void speaksWithTheSettings();
    void utteranceEnds_data();
    void utteranceEnds();
    void chosenEngineIsTheOneThatSpeaks();
    void dialogLeavesTheAnnouncementAlone_data();
    void dialogLeavesTheAnnouncementAlone();

private:
    QtSpeechSettingsUi m_settingsUi;
    std::unique_ptr<TtsSpeech> create(const SpeechSettings &settings = {});
};

std::unique_ptr<TtsSpeech> TestSpeechTts::create(const SpeechSettings &settings)
{
    settings.save(SpeechSettings::defaultFile());
    return std::make_unique<TtsSpeech>(new QTextToSpeech(QStringLiteral("bdt-fake")),
                                       m_settingsUi, nullptr);
}

void TestSpeechTts::speaksWithTheSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("halfTones");
    QTest::addColumn<int>("volumeDb");
    QTest::addColumn<QString>("voice");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("voiceUsed");

    QTest::newRow("defaults: the Japanese voice")
        << kText << 1.0 << 0 << 0 << QString() << kText << "kyoko";
    QTest::newRow("chosen voice and values")
        << kText << 2.0 << -12 << -20 << "slt" << kText << "slt";
    QTest::newRow("one line without control characters")
        << QStringLiteral("次は\r\n東京") + QChar(0) + QStringLiteral("です") << 0.5 << 12 << -6
        << QString() << QStringLiteral("次は  東京 です") << "kyoko";
    QTest::newRow("blank is silence") << QStringLiteral(" \n\t") << 1.0 << 0 << 0 << QString()
                                      << QString() << QString();
}

void TestSpeechTts::speaksWithTheSettings()
{
    QFETCH(QString, text);
    QFETCH(double, speed);
    QFETCH(int, halfTones);
    QFETCH(int, volumeDb);
    QFETCH(QString, voice);
    QFETCH(QString, said);
    QFETCH(QString, voiceUsed);
    SpeechSettings settings;
    settings.speed = speed;
    settings.halfTones = halfTones;
    settings.volumeDb = volumeDb;
    settings.voice = voice;
    auto speech = create(settings);
    FakeTtsEngine *engine = FakeTtsEngine::last(QStringLiteral("bdt-fake"));

    speech->speak(text);
    QCOMPARE(engine->said, said.isEmpty() ? QStringList{} : QStringList{said});
    QCOMPARE(speech->isSpeaking(), !said.isEmpty());
    if (said.isEmpty())
        return;
    QCOMPARE(engine->voice().name(), voiceUsed);
    QCOMPARE(engine->rate(), settings.ttsRate());
    QCOMPARE(engine->pitch(), settings.ttsPitch());
    QCOMPARE(engine->volume(), settings.ttsVolume());
}

void TestSpeechTts::utteranceEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("reported");
    QTest::newRow("spoken to the end") << "finish" << false;
    QTest::newRow("stopped") << "stop" << false;
    // The engine's own failure comes after speak() has returned.
    QTest::newRow("engine fails while speaking") << "fail" << true;
}

void TestSpeechTts::utteranceEnds()
{
    QFETCH(QString, how);
    QFETCH(bool, reported);
    auto speech = create();
    FakeTtsEngine *engine = FakeTtsEngine::last(QStringLiteral("bdt-fake"));
    QSignalSpy finished(speech.get(), &TtsSpeech::finished);
    QSignalSpy failed(speech.get(), &ISpeechComponent::failed);
    speech->speak(kText);
    if (how == QLatin1String("finish"))
        engine->finish();
    else if (how == QLatin1String("stop"))
        speech->stop();
    else
        engine->fail(QStringLiteral("sound server gone"));
    QVERIFY(!speech->isSpeaking());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(failed.count(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(failed.first().at(0).toInt(), 5);
        const QString description = failed.first().at(1).toString();
        QVERIFY2(description.contains(QStringLiteral("bdt-fake"))
                     && description.contains(QStringLiteral("sound server gone")),
                 qPrintable(description));
    }
    // Stopping what has ended changes nothing.
    speech->stop();
    QCOMPARE(finished.count(), 1);
}

// The dialog never offers an engine that cannot be heard here, and the engine chosen in
// it is the one that speaks from then on, and the one saved.
void TestSpeechTts::chosenEngineIsTheOneThatSpeaks()
{
    QVERIFY(QTextToSpeech::availableEngines().contains(QStringLiteral("flite")));
    auto speech = create();
    QWidget window;
    QStringList offered;
    whenDialogOpens(this, [&offered](SpeechSettingsDialog *dialog) {
        auto *engines = dialog->findChild<QComboBox *>(QStringLiteral("engineCombo"));
        for (int i = 0; i < engines->count(); ++i)
            offered << engines->itemData(i).toString();
        engines->setCurrentIndex(engines->findData(QStringLiteral("bdt-fake-2")));
    }, true);
    speech->showSettingsDialog(&window, QStringLiteral("音声の調節"));

    QCOMPARE(offered.first(), QStringLiteral("bdt-fake"));
    QVERIFY(offered.contains(QStringLiteral("bdt-fake-2")));
    QVERIFY(!offered.contains(QStringLiteral("flite")));
    QCOMPARE(speech->engineName(), QStringLiteral("bdt-fake-2"));
    QCOMPARE(SpeechSettings::load(SpeechSettings::defaultFile()).ttsEngine, QStringLiteral("bdt-fake-2"));
    speech->speak(kText);
    QCOMPARE(FakeTtsEngine::last(QStringLiteral("bdt-fake-2"))->said, QStringList{kText});
}

void TestSpeechTts::dialogLeavesTheAnnouncementAlone_data()
{
    QTest::addColumn<bool>("tryOut");
    QTest::addColumn<bool>("ok");
    QTest::newRow("cancel") << false << false;
    QTest::newRow("OK without a try-out") << false << true;
    QTest::newRow("cancel after a try-out") << true << false;
    QTest::newRow("OK after a try-out") << true << true;
}

void TestSpeechTts::dialogLeavesTheAnnouncementAlone()
{
    QFETCH(bool, tryOut);
    QFETCH(bool, ok);
    auto speech = create();
    FakeTtsEngine *engine = FakeTtsEngine::last(QStringLiteral("bdt-fake"));
    speech->speak(kText);
    QWidget window;
    whenDialogOpens(this, [tryOut](SpeechSettingsDialog *dialog) {
        if (tryOut)
            dialog->findChild<QPushButton *>(QStringLiteral("tryButton"))->click();
    }, ok);
    speech->showSettingsDialog(&window, QStringLiteral("音声の調節"));
    QCOMPARE(engine->said.size(), tryOut ? 2 : 1);
    // The sample replaced the announcement and ended with the dialog; without one, the
    // announcement goes on.
    QCOMPARE(speech->isSpeaking(), !tryOut);
    QCOMPARE(engine->state(), tryOut ? QTextToSpeech::Ready : QTextToSpeech::Speaking);
}

int main(int argc, char **argv)
{
    QTemporaryDir home;
    g_home = &home;
    QApplication app(argc, argv);
    keepSettingsIn(home.path());
    TestSpeechTts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_speech_tts.moc"
