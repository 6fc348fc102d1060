#pragma once

#include <QString>

// The user's voice settings, the only thing the speech component keeps between runs. The
// same three controls drive both engines: Open JTalk takes them as they are, Qt
// TextToSpeech gets them converted to its -1..1 and 0..1 scales.
struct SpeechSettings
{
    static constexpr double kMinSpeed = 0.5;
    static constexpr double kMaxSpeed = 2.0;
    static constexpr int kMinHalfTones = -12;
    static constexpr int kMaxHalfTones = 12;
    // Open JTalk's gain goes above 0 dB only by clipping the waveform.
    static constexpr int kMinVolumeDb = -20;
    static constexpr int kMaxVolumeDb = 0;

    // Qt TextToSpeech engine name; empty means the first one that works. Open JTalk is
    // used whenever it has a voice, whatever this says.
    QString ttsEngine;
    // Open JTalk: the .htsvoice file; Qt TextToSpeech: the voice's name. Empty means the
    // first voice found (for Qt TextToSpeech, its Japanese voice if it has one).
    QString voice;
    double speed = 1.0;
    int halfTones = 0;
    int volumeDb = 0;

    // Values outside the ranges (a hand-edited file) are pulled back into them.
    static SpeechSettings load(const QString &file);
    // False when the file cannot be written.
    bool save(const QString &file) const;

    // <config>/broadcast-data-tool/speech.ini, following XDG_CONFIG_HOME.
    static QString defaultFile();

    // Qt TextToSpeech's scales: rate and pitch -1..1, volume 0..1.
    double ttsRate() const;
    double ttsPitch() const;
    double ttsVolume() const;

    bool operator==(const SpeechSettings &) const = default;
};
