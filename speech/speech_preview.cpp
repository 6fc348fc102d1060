// The speech engine's lifetime and the speech buttons.
#include "speech/speech_preview.h"

#include "platform/system/api_lib.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_component.h"

#include <QPushButton>

SpeechPreview::SpeechPreview(const std::array<QPushButton *, 3> &buttons, Services services)
    : Command1(buttons), m_services(std::move(services))
{
}

void SpeechPreview::setSpeechButtonsEnabled(bool enabled)
{
    for (QPushButton *button : Command1)
        button->setEnabled(enabled);
}

void SpeechPreview::Form_Load()
{
    // The name is asked before the trap: a failing query is not a reason to go quiet.
    const QString osName = m_services.apiLib.GetOsInfo();
    if (osName == QLatin1String("Windows Vista")) {
        setSpeechButtonsEnabled(false);
        return;
    }
    try {
        if (!m_services.speechFactory)
            throw RuntimeError::cannotCreateObject();
        SpeechEngine = m_services.speechFactory->create(m_services.owner);
        setSpeechButtonsEnabled(true);
    } catch (const RuntimeError &) {
        setSpeechButtonsEnabled(false);
    }
}

void SpeechPreview::Form_QueryUnload(std::int16_t &, std::int16_t)
{
    delete SpeechEngine.data();
    SpeechEngine = nullptr;
}

void SpeechPreview::Command1_Click(std::int16_t Index)
{
    if (Index >= 0 && Index <= 2 && !SpeechEngine)
        throw RuntimeError::objectNotSet();
    switch (Index) {
    case 0:
        SpeechEngine->stop();
        m_speechFailureShown = false;
        SpeechEngine->speak(m_services.editorContent());
        break;
    case 1:
        SpeechEngine->stop();
        break;
    case 2:
        SpeechEngine->showSettingsDialog(m_services.owner, QStringLiteral("音声の調節"));
        break;
    default:
        break;
    }
}

void SpeechPreview::SpeechEngine_Failed(int Number, const QString &Description)
{
    // One box per 再生: a long text can fail in several places, and a box for each would
    // bury the window.
    if (m_speechFailureShown)
        return;
    m_speechFailureShown = true;
    throw RuntimeError(Number, Description);
}

void SpeechPreview::Text1_Change()
{
    if (SpeechEngine)
        SpeechEngine->prepare(m_services.editorContent());
}
