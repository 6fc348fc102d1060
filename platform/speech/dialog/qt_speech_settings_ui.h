#pragma once

#include "platform/speech/speech_settings_ui.h"

#include <QPointer>

class SpeechSettingsDialog;

// The voice-settings dialog on Qt Widgets, modal to its owner window.
class QtSpeechSettingsUi final : public ISpeechSettingsUi
{
public:
    std::optional<SpeechSettings> run(QWidget *owner, const QString &title,
                                      const SpeechSettings &shown,
                                      SpeechDialogSources sources) override;
    void showSampleFailure(const QString &description) override;

private:
    QPointer<SpeechSettingsDialog> m_dialog; // while it is shown
};
