#pragma once

#include "platform/speech/speech_settings.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// An engine or voice offered in the voice-settings dialog: the value kept in the settings
// and the text shown for it.
struct SpeechChoiceItem
{
    QString id;
    QString label;
};

// What a speech component hands the dialog: the engines it can switch between, a way to
// list an engine's voices, and a way to try the values out.
struct SpeechDialogSources
{
    // The engine in use comes first. Open JTalk offers only itself.
    QList<SpeechChoiceItem> engines;
    // Whether the engine id is a Qt TextToSpeech engine to be saved in the settings.
    bool enginesAreTts = false;
    std::function<QList<SpeechChoiceItem>(const QString &engine)> voices;
    // Speaks the sample with the given values; may throw RuntimeError.
    std::function<void(const SpeechSettings &)> tryOut;
};

// The voice-settings dialog as the speech components use it. The components speak without
// any widget; the dialog is the one piece of speech that needs them, and is handed in.
class ISpeechSettingsUi
{
public:
    virtual ~ISpeechSettingsUi() = default;

    // Shows the dialog modal to owner; returns the values chosen with OK, or nothing when
    // it was cancelled.
    virtual std::optional<SpeechSettings> run(QWidget *owner, const QString &title,
                                              const SpeechSettings &shown,
                                              SpeechDialogSources sources) = 0;
    // While run() shows the dialog: a sample failed. Shown in the dialog, where the
    // operator's attention is.
    virtual void showSampleFailure(const QString &description) = 0;
};

// What the dialog's try-out speaks.
QString speechSampleText();
