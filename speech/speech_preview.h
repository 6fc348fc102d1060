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
class SpeechPreview final
{
public:
    struct Services
    {
        IApiLib &apiLib;
        // Creates the engine; null when the window was given none.
        ISpeechComponentFactory *speechFactory;
        // The window: the engine's parent and its dialog's owner.
        QWidget *owner;
        // The editor's content, confirmed or not: what 再生 speaks.
        std::function<QString()> editorContent;
    };

    SpeechPreview(const std::array<QPushButton *, 3> &buttons, Services services);
    SpeechPreview(const SpeechPreview &) = delete;
    SpeechPreview &operator=(const SpeechPreview &) = delete;

    // Controls, named as the handlers use them.
    const std::array<QPushButton *, 3> Command1;

    QPointer<ISpeechComponent> SpeechEngine;

    // Handlers.
    void Command1_Click(std::int16_t Index);
    void Form_Load();
    void Form_QueryUnload(std::int16_t &Cancel, std::int16_t UnloadMode);
    void SpeechEngine_Failed(int Number, const QString &Description);
    // The editor's content changed: the engine may make its first sound ahead of 再生.
    void Text1_Change();

    void setSpeechButtonsEnabled(bool enabled);

private:
    Services m_services;
    bool m_speechFailureShown = false; // since the last 再生
};
