// The speech engine's lifetime and the speech buttons.
#include "app/form1.h"

#include "platform/system/api_lib.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_component.h"

#include <QLineEdit>
#include <QPushButton>

void Form1::setSpeechButtonsEnabled(bool enabled)
{
    for (QPushButton *button : Command1)
        button->setEnabled(enabled);
}

void Form1::Form_Load()
{
    // The name is asked before the trap: a failing query is not a reason to go quiet.
    const QString osName = apiLib().GetOsInfo();
    if (osName == QLatin1String("Windows Vista")) {
        setSpeechButtonsEnabled(false);
        return;
    }
    try {
        if (!m_services.speechFactory)
            throw RuntimeError(429, QStringLiteral("ActiveX コンポーネントはオブジェクトを作成できません。"));
        SpeechEngine = m_services.speechFactory->create(this);
        // Speech that fails after 再生 has returned reaches the operator through the same
        // boundary as a handler's error. Queued, so that the box is not opened from inside
        // the component while it is still putting itself in order.
        connect(SpeechEngine, &ISpeechComponent::failed, this,
                [this](int number, const QString &description) {
                    Dispatch([&] { SpeechEngine_Failed(number, description); });
                }, Qt::QueuedConnection);
        setSpeechButtonsEnabled(true);
    } catch (const RuntimeError &) {
        setSpeechButtonsEnabled(false);
    }
}

void Form1::Form_QueryUnload(std::int16_t &, std::int16_t)
{
    delete SpeechEngine.data();
    SpeechEngine = nullptr;
}

void Form1::Command1_Click(std::int16_t Index)
{
    if (Index >= 0 && Index <= 2 && !SpeechEngine)
        throw RuntimeError(91, QStringLiteral(
            "オブジェクト変数または With ブロック変数が設定されていません。"));
    switch (Index) {
    case 0:
        SpeechEngine->stop();
        m_speechFailureShown = false;
        SpeechEngine->speak(Text1->text());
        break;
    case 1:
        SpeechEngine->stop();
        break;
    case 2:
        SpeechEngine->showSettingsDialog(this, QStringLiteral("音声の調節"));
        break;
    default:
        break;
    }
}

void Form1::SpeechEngine_Failed(int Number, const QString &Description)
{
    // One box per 再生: a long text can fail in several places, and a box for each would
    // bury the window.
    if (m_speechFailureShown)
        return;
    m_speechFailureShown = true;
    throw RuntimeError(Number, Description);
}
