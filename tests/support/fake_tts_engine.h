#pragma once

#include <QTextToSpeechEngine>
#include <QTextToSpeechPlugin>
#include <QVoice>

// A Qt TextToSpeech engine that makes no sound: it records what it is asked and leaves
// speaking only when the test says so. Built into the tests as static plugins under three
// names: "bdt-fake" and "bdt-fake-2", which work, and "flite", a stand-in for the engine
// that cannot be heard here and must never be offered. A suite that uses them says
// Q_IMPORT_PLUGIN(FakeTtsPlugin) Q_IMPORT_PLUGIN(FakeTtsPlugin2) Q_IMPORT_PLUGIN(FakeFlitePlugin).
class FakeTtsEngine final : public QTextToSpeechEngine
{
    Q_OBJECT
public:
    explicit FakeTtsEngine(QString name);
    ~FakeTtsEngine() override;
    // The engine of that name made last, or null once it is gone.
    static FakeTtsEngine *last(const QString &name);

    QString name;
    QStringList said;
    int stops = 0;
    // The utterance ends by itself, or fails (the engine's own error, as a dead sound
    // server would give).
    void finish();
    void fail(const QString &reason);

    QList<QLocale> availableLocales() const override { return {QLocale::Japanese, QLocale::English}; }
    QList<QVoice> availableVoices() const override;
    void say(const QString &text) override;
    void stop(QTextToSpeech::BoundaryHint) override;
    void pause(QTextToSpeech::BoundaryHint) override {}
    void resume() override {}
    double rate() const override { return m_rate; }
    bool setRate(double rate) override { m_rate = rate; return true; }
    double pitch() const override { return m_pitch; }
    bool setPitch(double pitch) override { m_pitch = pitch; return true; }
    QLocale locale() const override { return m_voice.locale(); }
    bool setLocale(const QLocale &) override { return false; }
    double volume() const override { return m_volume; }
    bool setVolume(double volume) override { m_volume = volume; return true; }
    QVoice voice() const override { return m_voice; }
    bool setVoice(const QVoice &voice) override { m_voice = voice; return true; }
    QTextToSpeech::State state() const override { return m_state; }
    QTextToSpeech::ErrorReason errorReason() const override;
    QString errorString() const override { return m_error; }

private:
    void setState(QTextToSpeech::State state);

    QTextToSpeech::State m_state = QTextToSpeech::Ready;
    QString m_error;
    double m_rate = 0;
    double m_pitch = 0;
    double m_volume = 1;
    QVoice m_voice;
};

class FakeTtsPlugin final : public QObject, public QTextToSpeechPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "fake_tts/bdt-fake.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    QTextToSpeechEngine *createTextToSpeechEngine(const QVariantMap &, QObject *,
                                                  QString *) const override
    {
        return new FakeTtsEngine(QStringLiteral("bdt-fake"));
    }
};

class FakeTtsPlugin2 final : public QObject, public QTextToSpeechPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "fake_tts/bdt-fake-2.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    QTextToSpeechEngine *createTextToSpeechEngine(const QVariantMap &, QObject *,
                                                  QString *) const override
    {
        return new FakeTtsEngine(QStringLiteral("bdt-fake-2"));
    }
};

class FakeFlitePlugin final : public QObject, public QTextToSpeechPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "fake_tts/flite.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    QTextToSpeechEngine *createTextToSpeechEngine(const QVariantMap &, QObject *,
                                                  QString *) const override
    {
        return new FakeTtsEngine(QStringLiteral("flite"));
    }
};
