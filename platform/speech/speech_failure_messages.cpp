#include "platform/speech/speech_failure_messages.h"

#include "platform/speech/speech_texts.h"

#include <QStringList>

namespace SpeechFailureMessages {

namespace {

QString reinstall()
{
    return SpeechTexts::tr("open-jtalk と open-jtalk-mecab-naist-jdic のパッケージを入れ直すか、"
                           "「音声調整」で別の声を選んでください。");
}

const QString kCheckSound = QStringLiteral(
    "サウンドサーバー（PulseAudio など）が動いているか、スピーカーやヘッドホンが"
    "つながっているかを確かめてから、もう一度「再生」を押してください。");

// The line of what the program said that tells most, short enough for a message box:
// its error, where warnings come first, else its first line.
QString firstLine(const QString &detail)
{
    const QStringList lines = detail.trimmed().split(u'\n');
    QString line = lines.value(0).trimmed();
    for (const QString &candidate : lines) {
        if (candidate.trimmed().startsWith(QLatin1String("Error"))) {
            line = candidate.trimmed();
            break;
        }
    }
    return line.size() > 200 ? line.left(200) + QStringLiteral("…") : line;
}

// The detail in brackets after what failed, when the program said anything.
QString inBrackets(const QString &detail)
{
    const QString line = firstLine(detail);
    return line.isEmpty() ? QString() : SpeechTexts::tr("（%1）").arg(line);
}

QString withDetail(const QString &what, const QString &detail)
{
    return what + inBrackets(detail);
}

} // namespace

QString synthesisExited(int exitCode, const QString &detail)
{
    const QString line = firstLine(detail);
    const QString status = line.isEmpty()
        ? SpeechTexts::tr("終了コード %1").arg(exitCode)
        : SpeechTexts::tr("終了コード %1: %2").arg(QString::number(exitCode), line);
    // The voice loaded (a voice that does not is told apart), so the text is at fault.
    return SpeechTexts::tr("音声合成プログラム open_jtalk がこの部分を音声にできませんでした（%1）。"
                           "記号を言葉に直すなど、読み方のわかる書き方に変えて、もう一度試してください。")
        .arg(status);
}

QString voiceNotLoaded(const QString &detail)
{
    return SpeechTexts::tr("音声合成プログラム open_jtalk が声のファイルを読み込めませんでした（%1）。"
                           "別の声を選んでください。")
        .arg(firstLine(detail));
}

QString synthesisCrashed(const QString &detail)
{
    return SpeechTexts::tr("音声合成プログラム open_jtalk が異常終了しました%1。"
                           "この部分の記号や珍しい文字を書き換えてみてください。直らないときは、%2")
        .arg(inBrackets(detail), reinstall());
}

QString synthesisNotAudio(const QString &reason)
{
    return SpeechTexts::tr("音声合成プログラム open_jtalk の出力が音声データではありませんでした%1。%2")
        .arg(inBrackets(reason), reinstall());
}

QString synthesisWrongFormat(int wroteRate, int expectedRate)
{
    return SpeechTexts::tr("音声合成プログラム open_jtalk が、声のファイルの示す形式（%1 Hz）と"
                           "違う形式（%2 Hz）で音声を出力しました。%3")
        .arg(QString::number(expectedRate), QString::number(wroteRate), reinstall());
}

QString synthesisNotStarted(const QString &reason)
{
    return SpeechTexts::tr("音声合成プログラム open_jtalk を起動できません%1。%2")
        .arg(inBrackets(reason), reinstall());
}

QString synthesisTimedOut(int seconds)
{
    return SpeechTexts::tr("音声合成プログラム open_jtalk が %1 秒たっても終わらないため止めました。"
                           "この部分を短く区切るか書き換えて、もう一度試してください。")
        .arg(seconds);
}

QString pieceSkipped(const QString &piece, const QString &cause)
{
    return QStringLiteral("「%1」を読み上げられませんでした（続きは読み上げます）。\n%2").arg(piece, cause);
}

QString restDropped(const QString &piece, const QString &cause)
{
    return QStringLiteral("「%1」から後を読み上げられませんでした。\n%2").arg(piece, cause);
}

QString nothingSpoken(const QString &voiceName, const QString &cause)
{
    return QStringLiteral("何も読み上げられませんでした。\n%2\n"
                          "声を変えるときは、「音声調整」で「%1」から別の声を選んでください。")
        .arg(voiceName, cause);
}

QString noOutputDevice()
{
    return QStringLiteral("音声の出力装置が見つかりません。") + kCheckSound;
}

QString outputFormatRefused(int sampleRate)
{
    return QStringLiteral("音声の出力装置がこの声の形式（%1 Hz）に対応していません。"
                          "「音声調整」で別の声を選ぶか、別の出力装置を使ってください。")
        .arg(sampleRate);
}

QString outputNotOpened(int errorCode)
{
    return QStringLiteral("音声の出力装置を開けません（エラー %1）。").arg(errorCode) + kCheckSound;
}

QString outputLost()
{
    return QStringLiteral("読み上げの途中で音声の出力装置が使えなくなったため、読み上げを中止しました。")
        + kCheckSound;
}

QString engineFailed(const QString &engine, const QString &reason)
{
    return withDetail(QStringLiteral("音声合成エンジン %1 が読み上げの途中でエラーになりました").arg(engine),
                      reason)
        + QStringLiteral("。speech-dispatcher が動いているかを確かめるか、"
                         "「音声調整」で別のエンジンを選んでください。");
}

} // namespace SpeechFailureMessages
