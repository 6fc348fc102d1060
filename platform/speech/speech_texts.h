#pragma once

#include <QCoreApplication>

// The speech engine's words for a synthesis that failed, written in Japanese as the window
// shows them; the companion reads them in English through its translation
// (cli/broadcast-data_en.ts).
class SpeechTexts
{
    Q_DECLARE_TR_FUNCTIONS(SpeechTexts)
};
