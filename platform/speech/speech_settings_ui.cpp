#include "platform/speech/speech_settings_ui.h"

QString speechSampleText()
{
    return QStringLiteral("ご乗車ありがとうございます。");
}
