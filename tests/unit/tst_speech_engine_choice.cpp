// Which engine speaks on which machine, decided from injected inputs.
#include "platform/speech/speech_engine_choice.h"

#include <QtTest>

using Kind = SpeechEngineChoice::Kind;
Q_DECLARE_METATYPE(SpeechEngineChoice::Kind)

class TestSpeechEngineChoice : public QObject
{
    Q_OBJECT
private slots:
    void engine_data();
    void engine();
    void openJTalkVoice_data();
    void openJTalkVoice();
    void ttsVoice_data();
    void ttsVoice();
    void silentEnginesLeftOut();
};

void TestSpeechEngineChoice::engine_data()
{
    QTest::addColumn<bool>("openJTalkReady");
    QTest::addColumn<QStringList>("voices");
    QTest::addColumn<QStringList>("engines");
    QTest::addColumn<QString>("preferredEngine");
    QTest::addColumn<QStringList>("working");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("voice");
    QTest::addColumn<QString>("ttsEngine");
    QTest::addColumn<QStringList>("tried");

    const QStringList voices{QStringLiteral("/usr/share/hts-voice/a.htsvoice"),
                             QStringLiteral("/home/u/.local/share/hts-voice/b.htsvoice")};
    const QStringList engines{QStringLiteral("speechd"), QStringLiteral("flite")};

    QTest::newRow("open jtalk with voices, no engine started")
        << true << voices << engines << QString() << engines << Kind::OpenJTalk << voices.first()
        << QString() << QStringList{};
    QTest::newRow("open jtalk wins over a preferred tts engine")
        << true << voices << engines << QStringLiteral("flite") << engines << Kind::OpenJTalk
        << voices.first() << QString() << QStringList{};
    QTest::newRow("no voice: first engine that works")
        << true << QStringList{} << engines << QString() << QStringList{QStringLiteral("flite")}
        << Kind::TextToSpeech << QString() << QStringLiteral("flite") << engines;
    QTest::newRow("voices but no open_jtalk")
        << false << voices << engines << QString() << engines << Kind::TextToSpeech << QString()
        << QStringLiteral("speechd") << QStringList{QStringLiteral("speechd")};
    QTest::newRow("preferred engine tried first")
        << false << QStringList{} << engines << QStringLiteral("flite") << engines
        << Kind::TextToSpeech << QString() << QStringLiteral("flite")
        << QStringList{QStringLiteral("flite")};
    QTest::newRow("preferred engine broken: the others follow")
        << false << QStringList{} << engines << QStringLiteral("flite")
        << QStringList{QStringLiteral("speechd")} << Kind::TextToSpeech << QString()
        << QStringLiteral("speechd") << QStringList{QStringLiteral("flite"), QStringLiteral("speechd")};
    QTest::newRow("preferred engine no longer installed")
        << false << QStringList{} << engines << QStringLiteral("sapi") << engines
        << Kind::TextToSpeech << QString() << QStringLiteral("speechd")
        << QStringList{QStringLiteral("speechd")};
    QTest::newRow("no engine installed") << false << QStringList{} << QStringList{} << QString()
                                         << QStringList{} << Kind::None << QString() << QString()
                                         << QStringList{};
    QTest::newRow("every engine in an error state")
        << false << QStringList{} << engines << QString() << QStringList{} << Kind::None
        << QString() << QString() << engines;
}

void TestSpeechEngineChoice::engine()
{
    QFETCH(bool, openJTalkReady);
    QFETCH(QStringList, voices);
    QFETCH(QStringList, engines);
    QFETCH(QString, preferredEngine);
    QFETCH(QStringList, working);

    SpeechEngineInputs inputs;
    inputs.openJTalkReady = openJTalkReady;
    inputs.voices = voices;
    inputs.ttsEngines = engines;
    inputs.preferredTtsEngine = preferredEngine;
    QStringList tried;
    const SpeechEngineChoice choice = chooseSpeechEngine(inputs, [&](const QString &engine) {
        tried << engine;
        return working.contains(engine);
    });

    QTEST(choice.kind, "kind");
    QTEST(choice.voice, "voice");
    QTEST(choice.ttsEngine, "ttsEngine");
    // Starting an engine costs time at start-up; only the ones needed are asked.
    QTEST(tried, "tried");
}

void TestSpeechEngineChoice::openJTalkVoice_data()
{
    QTest::addColumn<QStringList>("voices");
    QTest::addColumn<QString>("preferred");
    QTest::addColumn<QString>("expected");

    const QStringList voices{QStringLiteral("/usr/share/hts-voice/mei/mei_normal.htsvoice"),
                             QStringLiteral("/home/u/.local/share/hts-voice/tohoku.htsvoice")};
    QTest::newRow("nothing chosen: first") << voices << QString() << voices.at(0);
    QTest::newRow("chosen voice") << voices << voices.at(1) << voices.at(1);
    QTest::newRow("chosen voice moved elsewhere")
        << voices << QStringLiteral("/usr/local/share/hts-voice/tohoku.htsvoice") << voices.at(1);
    QTest::newRow("chosen voice removed")
        << voices << QStringLiteral("/usr/share/hts-voice/gone.htsvoice") << voices.at(0);
    QTest::newRow("no voices") << QStringList{} << voices.at(0) << QString();
}

void TestSpeechEngineChoice::openJTalkVoice()
{
    QFETCH(QStringList, voices);
    QFETCH(QString, preferred);
    QTEST(chooseOpenJTalkVoice(voices, preferred), "expected");
}

void TestSpeechEngineChoice::ttsVoice_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("locales");
    QTest::addColumn<QString>("preferred");
    QTest::addColumn<int>("expected");

    const QStringList names{QStringLiteral("slt"), QStringLiteral("kyoko"), QStringLiteral("otoya")};
    const QStringList locales{QStringLiteral("en_US"), QStringLiteral("ja_JP"), QStringLiteral("ja_JP")};
    QTest::newRow("first japanese voice") << names << locales << QString() << 1;
    QTest::newRow("chosen voice, even if not japanese") << names << locales << QStringLiteral("slt") << 0;
    QTest::newRow("chosen voice gone: japanese") << names << locales << QStringLiteral("gone") << 1;
    QTest::newRow("no japanese voice: engine default")
        << QStringList{QStringLiteral("slt"), QStringLiteral("rms")}
        << QStringList{QStringLiteral("en_US"), QStringLiteral("en_US")} << QString() << -1;
    QTest::newRow("no voices") << QStringList{} << QStringList{} << QString() << -1;
}

void TestSpeechEngineChoice::ttsVoice()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, locales);
    QFETCH(QString, preferred);
    QList<TtsVoiceInfo> voices;
    for (qsizetype i = 0; i < names.size(); ++i)
        voices.append({names.at(i), QLocale(locales.at(i))});
    QTEST(chooseTtsVoice(voices, preferred), "expected");
}

void TestSpeechEngineChoice::silentEnginesLeftOut()
{
    QCOMPARE(audibleTtsEngines({QStringLiteral("speechd"), QStringLiteral("flite")}),
             QStringList{QStringLiteral("speechd")});
    QCOMPARE(audibleTtsEngines({QStringLiteral("flite")}), QStringList{});
    QCOMPARE(audibleTtsEngines({}), QStringList{});
}

QTEST_GUILESS_MAIN(TestSpeechEngineChoice)
#include "tst_speech_engine_choice.moc"
