#include "platform/speech/utterance_failures.h"

#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_component.h"
#include "platform/speech/speech_settings_ui.h"

void UtteranceFailures::report(const QString &description)
{
    if (m_reported)
        return;
    m_reported = true;
    const RuntimeError error = RuntimeError::invalidProcedureCall(description);
    if (m_sample)
        m_ui.showSampleFailure(error.description());
    else
        emit m_component.failed(error.number(), error.description());
}
