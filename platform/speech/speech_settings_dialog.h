#pragma once

#include "platform/speech/speech_settings.h"

#include <QDialog>
#include <QList>
#include <functional>

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

// An engine or voice offered in the dialog: the value kept in the settings and the text
// shown for it.
struct SpeechChoiceItem
{
    QString id;
    QString label;
};

// What the component hands the dialog: the engines it can switch between, a way to list
// an engine's voices, and a way to try the values out.
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

    static QString sampleText();

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
