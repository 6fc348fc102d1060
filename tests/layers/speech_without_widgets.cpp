// A program on the file core and the speech engine: finds Open JTalk, prepares the text of
// a row for it and creates the speech component, without a window. It must link without
// Qt Widgets; the voice dialog, the engine's only widget, is left out.
#include "files/broadcast_file_format.h"
#include "platform/speech/open_jtalk_speech.h"
#include "platform/speech/speech_text.h"
#include "platform/speech/speech_voices.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
class NoSettingsUi final : public ISpeechSettingsUi
{
public:
    std::optional<SpeechSettings> run(QWidget *, const QString &, const SpeechSettings &,
                                      SpeechDialogSources) override
    {
        return std::nullopt;
    }
    void showSampleFailure(const QString &) override {}
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const broadcast_file::ParseResult read = broadcast_file::parse("\x8e\x9f\x82\xcd\x81\x42,1,2\r\n");
    const QStringList pieces = SpeechText::sentences(read.rows.at(0).Content);
    NoSettingsUi ui;
    OpenJTalkSpeech speech(OpenJTalkSetup::detect(SpeechVoices::defaultFolders()), ui, nullptr);
    speech.stop();
    std::printf("%d piece(s), voice %s\n", int(pieces.size()), qPrintable(speech.currentVoice()));
    return pieces.size() == 1 ? 0 : 1;
}
