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

    // The user's settings, kept with the application's identity (its organization name):
    // <config>/broadcast-data-tool/speech.ini. Values outside the ranges (a hand-edited
    // file) are pulled back into them.
    static SpeechSettings load();
    // Saves them as the user's; throws RuntimeError when they cannot be written.
    void saveOrThrow() const;
    static QString defaultFile();

    // The same, in a file of the caller's choosing. save() is false when the file cannot be
    // written.
    static SpeechSettings load(const QString &file);
    bool save(const QString &file) const;

    // Qt TextToSpeech's scales: rate and pitch -1..1, volume 0..1.
    double ttsRate() const;
    double ttsPitch() const;
    double ttsVolume() const;

    bool operator==(const SpeechSettings &) const = default;
};
