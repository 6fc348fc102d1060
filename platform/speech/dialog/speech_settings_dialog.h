#pragma once

#include "platform/speech/speech_settings_ui.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

// The voice-settings dialog. Its controls carry object names (engineCombo, voiceCombo,
// speedSpin, pitchSpin, volumeSpin, tryButton, statusLabel, buttonBox) so that tests can
// drive it. The caller saves settings() when it is accepted.
class SpeechSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    SpeechSettingsDialog(QWidget *owner, const QString &title, const SpeechSettings &initial,
                         SpeechDialogSources sources);
    ~SpeechSettingsDialog() override;

    SpeechSettings settings() const;
    // Shows why the sample failed, in the dialog: the operator is busy with it, and a
    // message box on top would only stand in the way.
    void showFailure(const QString &description);

private:
    void fillVoices(const QString &selected);
    void tryOut();

    SpeechSettings m_initial;
    SpeechDialogSources m_sources;
    QComboBox *m_engine;
    QComboBox *m_voice;
    QDoubleSpinBox *m_speed;
    QSpinBox *m_pitch;
    QSpinBox *m_volume;
    QLabel *m_status;
    QDialogButtonBox *m_buttons;
};
