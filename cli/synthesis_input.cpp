#include "cli/synthesis_input.h"

#include "cli/cli_messages.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_engine_choice.h"
#include "platform/speech/speech_settings.h"
#include "platform/speech/speech_voices.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>

using CliMessages::complain;

std::vector<int> selectRows(const std::vector<RowRange> &ranges, int count, int *missing)
{
    *missing = 0;
    std::vector<bool> picked(std::size_t(count), ranges.empty());
    for (const RowRange &range : ranges) {
        const int last = range.last == 0 ? count : range.last;
        if (range.first > count || last > count) {
            *missing = range.first > count ? range.first : last;
            return {};
        }
        std::fill(picked.begin() + (range.first - 1), picked.begin() + last, true);
    }
    std::vector<int> rows;
    for (int i = 0; i < count; ++i) {
        if (picked[std::size_t(i)])
            rows.push_back(i);
    }
    return rows;
}

std::optional<std::vector<int>> pickRows(const QString &file, const std::vector<RowRange> &ranges,
                                         int count)
{
    int missing = 0;
    std::vector<int> picked = selectRows(ranges, count, &missing);
    if (missing > 0) {
        complain(CliTexts::tr("--rows: %1 に %2 行目はありません（%3 行です）")
                     .arg(file, QString::number(missing), QString::number(count)));
        return std::nullopt;
    }
    return picked;
}

std::optional<SynthesisSetup> findSynthesis(const QString &voiceOption)
{
    // The voice and its settings as the window's speech reads them.
    const OpenJTalkSetup setup = OpenJTalkSetup::detect(SpeechVoices::defaultFolders());
    if (!setup.isReady()) {
        complain(CliTexts::tr("音声合成プログラム open_jtalk またはその辞書が見つかりません"
                                     "（open-jtalk と open-jtalk-mecab-naist-jdic のパッケージが必要です）"));
        return std::nullopt;
    }
    const SpeechSettings settings = SpeechSettings::load();
    const QString voice = voiceOption.isEmpty() ? chooseOpenJTalkVoice(setup.voices, settings.voice)
                                                : voiceOption;
    if (voice.isEmpty()) {
        complain(CliTexts::tr("Open JTalk の声のファイル（.htsvoice）が見つかりません"));
        return std::nullopt;
    }
    if (!QFileInfo(voice).isFile() || !QFileInfo(voice).isReadable()) {
        complain(CliTexts::tr("声のファイルを読めません: %1")
                     .arg(voice));
        return std::nullopt;
    }
    SynthesisSetup found;
    found.program = setup.program;
    found.arguments = openJTalkArguments(setup, voice, settings);
    found.voice = voice;
    found.processes = std::max(1, QThread::idealThreadCount());
    return found;
}
