#include "app/form1.h"
#include "app/first_paint_probe.h"
#include "app/japanese_ui.h"
#include "platform/runtime/application_identity.h"
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/speech/speech_factory.h"
#include "recovery/recovery_store.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setApplicationIdentity(QStringLiteral("broadcast-data-tool"),
                           QStringLiteral("net.bdt.broadcastdatatool"));
    installJapaneseTranslations(app);

    QtSpeechSettingsUi speechSettingsUi;
    DefaultSpeechFactory speechFactory(speechSettingsUi);
    FormServices services;
    services.speechFactory = &speechFactory;
    services.loadAfterFirstPaint = true;
    services.recoveryFolder = RecoveryStore::defaultFolder();
    Form1 window(services);
    reportFirstPaint(&window);
    window.show();
    return app.exec();
}
