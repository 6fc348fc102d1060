// How soon speech starts: the time from speak() to the first audio handed to the output,
// for one sentence and for a paragraph, against open_jtalk alone synthesizing the
// sentence: for text spoken cold (a component that has made nothing ahead), for text the
// editor has held a second (made ahead), and for 再生 while it is still being made ahead.
// Needs a sound server: scripts/with-sound-server.sh build/bench/bench_speech
#include "platform/speech/dialog/qt_speech_settings_ui.h"
#include "platform/speech/open_jtalk_speech.h"
#include "platform/speech/speech_factory.h"
#include "platform/speech/speech_text.h"

#include <QApplication>
#include <QSettings>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const QString kVoice = QStringLiteral(BDT_TEST_VOICE);
constexpr int kRuns = 9;

const QString kSentence = QStringLiteral("本日も東西線をご利用いただきまして誠にありがとうございます。");
const QString kParagraph = QStringLiteral(
    "お客様にお知らせいたします、ただいま東西線は、中央駅構内で発生した信号故障の影響により、"
    "全線で運転を見合わせております。運転再開は午前十時頃を見込んでおります。"
    "お急ぎのところ大変ご迷惑をおかけいたしまして、誠に申し訳ございません。"
    "なお、北線、南線、および各社線で振替輸送を実施しております。"
    "詳しくは、お近くの駅係員にお尋ねください。"
    "今後の運行情報は、駅構内の掲示板と車内の表示でもお知らせいたします。");

// Runs the event loop for ms milliseconds, as the window would between two clicks.
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Stats
{
    double median, low, high;
};

Stats stats(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return {values.at(values.size() / 2), values.first(), values.last()};
}

// open_jtalk alone, from process start to the finished WAV, with the component's arguments.
double referenceMs(const OpenJTalkSetup &setup, const QString &text)
{
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(setup.program, openJTalkArguments(setup, kVoice, SpeechSettings{}));
    process.write(text.toUtf8() + '\n');
    process.closeWriteChannel();
    process.waitForFinished(30000);
    const double ms = clock.nsecsElapsed() / 1e6;
    process.readAllStandardOutput();
    return ms;
}

// speak() to the first buffer written to the audio output; also how long speak() took.
std::pair<double, double> componentMs(OpenJTalkSpeech &speech, const QString &text)
{
    QEventLoop loop;
    double firstMs = -1;
    QElapsedTimer clock;
    QObject::connect(&speech, &OpenJTalkSpeech::firstBufferWritten, &loop, [&] {
        firstMs = clock.nsecsElapsed() / 1e6;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    clock.start();
    speech.speak(text);
    const double callMs = clock.nsecsElapsed() / 1e6;
    if (firstMs < 0)
        loop.exec();
    speech.stop();
    return {firstMs, callMs};
}

void print(const char *what, const Stats &s, double reference)
{
    std::printf("%-44s %8.1f ms  (min %6.1f, max %6.1f)", what, s.median, s.low, s.high);
    if (reference > 0)
        std::printf("  %.2fx reference", s.median / reference);
    std::printf("\n");
}

} // namespace

// What the window pays at start-up: the factory choosing Open JTalk, the voice installed
// in the user's folder.
double creationMs()
{
    QTemporaryDir dataHome;
    QDir().mkpath(dataHome.filePath(QStringLiteral("hts-voice")));
    QFile::link(kVoice, dataHome.filePath(QStringLiteral("hts-voice/voice.htsvoice")));
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QElapsedTimer clock;
    clock.start();
    QtSpeechSettingsUi settingsUi;
    DefaultSpeechFactory factory(settingsUi);
    std::unique_ptr<ISpeechComponent> component(factory.create(nullptr));
    const double ms = clock.nsecsElapsed() / 1e6;
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    return qobject_cast<OpenJTalkSpeech *>(component.get()) ? ms : -1;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const double createMs = creationMs();
    OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    setup.voices = {kVoice};
    if (!setup.isReady() || !QFile::exists(kVoice)) {
        std::fprintf(stderr, "open_jtalk, its dictionary or the voice is missing\n");
        return 1;
    }
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QtSpeechSettingsUi settingsUi;
    OpenJTalkSpeech speech(setup, settingsUi, nullptr);
    // Cold: a component of its own each time, so nothing said before was made ahead.
    auto cold = [&](const QString &text) {
        OpenJTalkSpeech fresh(setup, settingsUi, nullptr);
        return componentMs(fresh, text);
    };
    // The editor has held the text for a while (ms) before 再生.
    auto held = [&](const QString &text, int ms) {
        OpenJTalkSpeech fresh(setup, settingsUi, nullptr);
        fresh.prepare(text);
        idle(ms);
        return componentMs(fresh, text).first;
    };

    // The first speak() of the process also connects to the sound server.
    referenceMs(setup, kSentence);
    const auto [firstMs, firstCallMs] = componentMs(speech, kSentence);
    if (firstMs < 0) {
        std::fprintf(stderr, "no audio was written: is a sound server running?\n");
        return 1;
    }
    idle(100);

    // Without the short first piece, the paragraph would wait for its whole first sentence.
    const QString firstSentence = kParagraph.left(kParagraph.indexOf(u'。') + 1);
    QList<double> reference, wholeFirstSentence, sentence, paragraph, calls;
    QList<double> sentenceAhead, paragraphAhead, sentenceMaking;
    for (int i = 0; i < kRuns; ++i) {
        reference << referenceMs(setup, kSentence);
        wholeFirstSentence << referenceMs(setup, firstSentence);
        idle(100);
        const auto [s, sCall] = cold(kSentence);
        idle(100);
        const auto [p, pCall] = cold(kParagraph);
        idle(100);
        sentence << s;
        paragraph << p;
        calls << sCall << pCall;
        sentenceAhead << held(kSentence, 1000);
        paragraphAhead << held(kParagraph, 1000);
        // 再生 a moment after the synthesis ahead began.
        sentenceMaking << held(kSentence, OpenJTalkSpeech::kPrepareDelayMs + 100);
        idle(100);
    }

    const QStringList pieces = SpeechText::sentences(kParagraph);
    std::printf("sentence: %lld characters; paragraph: %lld characters in %lld pieces, "
                "the first %lld characters\n",
                qlonglong(kSentence.size()), qlonglong(kParagraph.size()),
                qlonglong(pieces.size()), qlonglong(pieces.first().size()));
    std::printf("median of %d runs\n", kRuns);
    const Stats ref = stats(reference);
    print("open_jtalk alone, sentence (reference)", ref, 0);
    print("speak() to first buffer, sentence", stats(sentence), ref.median);
    print("speak() to first buffer, paragraph", stats(paragraph), ref.median);
    std::printf("  (cold: nothing made ahead; goal <= 1.05x reference)\n");
    print("held 1 s before 再生, sentence", stats(sentenceAhead), ref.median);
    print("held 1 s before 再生, paragraph", stats(paragraphAhead), ref.median);
    std::printf("  (made ahead; goal <= 50 ms)\n");
    print("再生 while it is being made ahead, sentence", stats(sentenceMaking), ref.median);
    print("open_jtalk alone, paragraph's 1st sentence", stats(wholeFirstSentence), ref.median);
    std::printf("  (%lld characters: the wait if the first piece were cut only at 。)\n",
                qlonglong(firstSentence.size()));
    print("time spent inside speak()", stats(calls), 0);
    std::printf("%-44s %8.1f ms\n", "DefaultSpeechFactory::create(), first call", createMs);
    std::printf("%-44s %8.1f ms, first buffer after %.1f ms\n",
                "first speak() of the process, inside speak()", firstCallMs, firstMs);
    return 0;
}
