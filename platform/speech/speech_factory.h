#pragma once

#include "platform/speech/speech_component.h"
#include "platform/speech/speech_settings_ui.h"

// Chooses the engine the machine can offer: Open JTalk when it has a voice, else Qt
// TextToSpeech. Creation only looks at files and, without Open JTalk, asks the Qt
// engines whether they work; no speech is synthesized and no process is started.
class DefaultSpeechFactory : public ISpeechComponentFactory
{
public:
    // ui shows the components' voice dialog; it outlives them.
    explicit DefaultSpeechFactory(ISpeechSettingsUi &ui) : m_ui(ui) {}
    ISpeechComponent *create(QObject *parent) override;

private:
    ISpeechSettingsUi &m_ui;
};
