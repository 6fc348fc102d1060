#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

// Which engine speaks, decided from what the machine offers. Kept apart from the engines
// themselves so the decision can be checked against any combination of voices and engines.

struct SpeechEngineInputs
{
    bool openJTalkReady = false; // open_jtalk and its dictionary are installed
    QStringList voices;          // Open JTalk voices found
    QStringList ttsEngines;      // Qt TextToSpeech engines, in Qt's order of preference
    QString preferredTtsEngine;  // from the settings
    QString preferredVoice;      // from the settings
};

struct SpeechEngineChoice
{
    enum Kind { None, OpenJTalk, TextToSpeech };
    Kind kind = None;
    QString voice;     // Open JTalk's voice file
    QString ttsEngine; // the Qt TextToSpeech engine that answered
};

// Open JTalk whenever it has a voice, since it is the one that reads Japanese well.
// Otherwise the first Qt TextToSpeech engine that works, the preferred one first.
// engineWorks starts an engine to see whether it is usable; it is called only when Open
// JTalk cannot be used, and only until one engine works.
SpeechEngineChoice chooseSpeechEngine(const SpeechEngineInputs &inputs,
                                      const std::function<bool(const QString &)> &engineWorks);

// The installed Qt TextToSpeech engines that can be heard here. Qt 6.4's flite engine
// cannot play through PulseAudio ("Audio streaming error"), so its speech would end in
// silence while the buttons claim to work; it is left out.
QStringList audibleTtsEngines(QStringList engines);

// The preferred voice when it is still there (matched by path, or by file name when the
// voice was moved), else the first voice; empty when there is none.
QString chooseOpenJTalkVoice(const QStringList &voices, const QString &preferred);

struct TtsVoiceInfo
{
    QString name;
    QLocale locale;
};

// Index of the voice to use: the preferred one by name, else the first Japanese one, else
// -1 to leave the engine's default voice.
int chooseTtsVoice(const QList<TtsVoiceInfo> &voices, const QString &preferred);
