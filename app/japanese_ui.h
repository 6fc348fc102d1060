#pragma once

class QCoreApplication;

// Qt's own texts (message box buttons, file dialogs) in Japanese whatever the user's
// locale: the tool's users read Japanese, and its own captions are Japanese too.
// Returns false when the translation could not be found.
bool installJapaneseTranslations(QCoreApplication &app);
