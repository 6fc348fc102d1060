#pragma once

#include <QHash>
#include <QPointer>
#include <QTextToSpeechEngine>
#include <QTextToSpeechPlugin>
#include <QVoice>

// A Qt TextToSpeech engine that makes no sound: it records what it is asked and leaves
// speaking only when the test says so. Built into the tests as static plugins under three
// names: "bdt-fake" and "bdt-fake-2", which work, and "flite", a stand-in for the engine
// that cannot be heard here and must never be offered. A suite that uses them says
// Q_IMPORT_PLUGIN for FakeTtsPlugin, FakeTtsPlugin2 and FakeFlitePlugin.
class FakeTtsEngine final : public QTextToSpeechEngine
{
    Q_OBJECT
public:
    explicit FakeTtsEngine(QString engineName) : name(std::move(engineName))
    {
        made().insert(name, this);
    }
    // The engine of that name made last, or null once it is gone.
    static FakeTtsEngine *last(const QString &name) { return made().value(name); }

    QString name;
    QStringList said;
    // The utterance ends by itself, or fails (as a dead sound server would make it).
    void finish() { setState(QTextToSpeech::Ready); }
    void fail(const QString &reason) { m_error = reason; setState(QTextToSpeech::Error); }

    QList<QLocale> availableLocales() const override { return {QLocale::Japanese}; }
    QList<QVoice> availableVoices() const override
    {
        return {createVoice(QStringLiteral("slt"), QLocale::English, QVoice::Female,
                            QVoice::Adult, {}),
                createVoice(QStringLiteral("kyoko"), QLocale::Japanese, QVoice::Female,
                            QVoice::Adult, {})};
    }
    void say(const QString &text) override { said << text; setState(QTextToSpeech::Speaking); }
    void stop(QTextToSpeech::BoundaryHint) override
    {
        if (m_state == QTextToSpeech::Speaking)
            finish();
    }
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
    QTextToSpeech::ErrorReason errorReason() const override
    {
        return m_error.isEmpty() ? QTextToSpeech::ErrorReason::NoError
                                 : QTextToSpeech::ErrorReason::Playback;
    }
    QString errorString() const override { return m_error; }

private:
    static QHash<QString, QPointer<FakeTtsEngine>> &made()
    {
        static QHash<QString, QPointer<FakeTtsEngine>> engines;
        return engines;
    }
    void setState(QTextToSpeech::State state)
    {
        if (m_state == state)
            return;
        m_state = state;
        emit stateChanged(state);
    }

    QTextToSpeech::State m_state = QTextToSpeech::Ready;
    QString m_error;
    double m_rate = 0, m_pitch = 0, m_volume = 1;
    QVoice m_voice;
};

// Makes the engine of one name; each plugin below gives its name.
class FakeTtsFactory : public QObject, public QTextToSpeechPlugin
{
public:
    explicit FakeTtsFactory(QString name) : m_name(std::move(name)) {}
    QTextToSpeechEngine *createTextToSpeechEngine(const QVariantMap &, QObject *,
                                                  QString *) const override
    {
        return new FakeTtsEngine(m_name);
    }

private:
    QString m_name;
};

class FakeTtsPlugin final : public FakeTtsFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "fake_tts/bdt-fake.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    FakeTtsPlugin() : FakeTtsFactory(QStringLiteral("bdt-fake")) {}
};

class FakeTtsPlugin2 final : public FakeTtsFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "fake_tts/bdt-fake-2.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    FakeTtsPlugin2() : FakeTtsFactory(QStringLiteral("bdt-fake-2")) {}
};

class FakeFlitePlugin final : public FakeTtsFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "fake_tts/flite.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    FakeFlitePlugin() : FakeTtsFactory(QStringLiteral("flite")) {}
};
