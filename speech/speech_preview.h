#pragma once

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class IApiLib;
class ISpeechComponent;
class ISpeechComponentFactory;
class QPushButton;
class QWidget;

// The speech preview's part of the window: the speech engine's lifetime and the three
// speech buttons, which speak the editor's content, stop, and open the voice dialog.
class SpeechPreview
{
public:
    // Controls, named as the handlers use them.
    std::array<QPushButton *, 3> Command1{};

    QPointer<ISpeechComponent> SpeechEngine;

    // Handlers.
    void Command1_Click(std::int16_t Index);
    void Form_Load();
    void Form_QueryUnload(std::int16_t &Cancel, std::int16_t UnloadMode);
    void SpeechEngine_Failed(int Number, const QString &Description);

    // The window's error boundary, which shows what a handler did not trap.
    virtual void Dispatch(const std::function<void()> &handler) = 0;

protected:
    SpeechPreview() = default;
    virtual ~SpeechPreview() = default;

    virtual IApiLib &apiLib() const = 0;
    // The window: the engine's parent and its dialog's owner.
    virtual QWidget *dialogOwner() = 0;
    // The editor's content, confirmed or not: what 再生 speaks.
    virtual QString editorContent() const = 0;
    // Creates the engine; null when the window was given none.
    virtual ISpeechComponentFactory *speechFactory() const = 0;

    void setSpeechButtonsEnabled(bool enabled);

private:
    bool m_speechFailureShown = false; // since the last 再生
};
