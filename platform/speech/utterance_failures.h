#pragma once

class ISpeechComponent;
class ISpeechSettingsUi;
class QString;

// How a speech component tells of what fails after speak() has returned: once per
// utterance, in the voice dialog when the utterance is the dialog's sample (the operator is
// busy there), otherwise through the component's failed signal.
class UtteranceFailures
{
public:
    UtteranceFailures(ISpeechComponent &component, ISpeechSettingsUi &ui)
        : m_component(component), m_ui(ui)
    {
    }

    // A new utterance; sample: it is the voice dialog's try-out.
    void begin(bool sample)
    {
        m_sample = sample;
        m_reported = false;
    }
    bool isSample() const { return m_sample; }
    void report(const QString &description);

private:
    ISpeechComponent &m_component;
    ISpeechSettingsUi &m_ui;
    bool m_sample = false;
    bool m_reported = false;
};
