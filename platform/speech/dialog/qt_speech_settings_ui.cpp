#include "platform/speech/dialog/qt_speech_settings_ui.h"

#include "platform/dialogs/modal_dialog.h"
#include "platform/speech/dialog/speech_settings_dialog.h"

std::optional<SpeechSettings> QtSpeechSettingsUi::run(QWidget *owner, const QString &title,
                                                      const SpeechSettings &shown,
                                                      SpeechDialogSources sources)
{
    SpeechSettingsDialog dialog(owner, title, shown, std::move(sources));
    m_dialog = &dialog;
    const bool accepted = execModal(dialog, owner) == QDialog::Accepted;
    m_dialog = nullptr;
    if (!accepted)
        return std::nullopt;
    return dialog.settings();
}

void QtSpeechSettingsUi::showSampleFailure(const QString &description)
{
    if (m_dialog)
        m_dialog->showFailure(description);
}
