#pragma once

#include <QCoreApplication>

// The file core's words for what went wrong, written in Japanese as the window shows them;
// the companion reads them in English through its translation (cli/broadcast-data_en.ts).
class FileTexts
{
    Q_DECLARE_TR_FUNCTIONS(FileTexts)
};
