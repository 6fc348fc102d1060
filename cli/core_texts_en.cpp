// The English catalogue of the texts that the file core and the speech engine make in
// Japanese. Those texts are the window's, so they stay Japanese where they are made; the
// companion shows this English form in other locales. A catalogue beside the companion
// keeps the core untouched and every translation reviewable in one table, with no
// translation tools in the build.
#include "cli/cli_messages.h"

#include <QList>
#include <QRegularExpression>

namespace {

// %1 and %2 stand for parts that are looked up in turn (a reason inside a failure), or
// kept as they are when the catalogue has no entry for them (numbers, bytes, program
// output).
struct Entry
{
    const char16_t *japanese;
    const char16_t *english;
};

#define REINSTALL_JA u"open-jtalk と open-jtalk-mecab-naist-jdic のパッケージを入れ直すか、「音声調整」で別の声を選んでください。"
#define REINSTALL_EN u"Reinstall the packages open-jtalk and open-jtalk-mecab-naist-jdic, or choose another voice."

constexpr Entry kEntries[] = {
    // Reading a file: files/broadcast_file_reader.cpp, files/cp932.cpp.
    {u"項目が4つ以上あります（1行は3項目までです）", u"more than three fields (a line holds at most three)"},
    {u"行の区切りに CR だけが使われています（行は CR LF か LF で区切ってください）",
     u"lines end in a lone CR (as old Mac files do); lines must end in CR LF or LF"},
    {u"引用符「\"」が閉じられていません", u"a quotation mark (\") is not closed"},
    {u"閉じ引用符「\"」の後に余分な文字があります", u"characters after a closing quotation mark (\")"},
    {u"UTF-8として正しくないバイト列があります", u"bytes that are not valid UTF-8"},
    {u"2バイト文字の途中でファイルが終わっています %1", u"the file ends inside a double-byte character %1"},
    {u"不正な2バイト文字 %1 %2", u"invalid double-byte character %1 %2"},
    // Opening, reading and writing: files/broadcast_file_io.cpp, files/atomic_write.cpp.
    {u"ファイルを開けません（%1）", u"cannot open the file (%1)"},
    {u"ファイルを読み込めません（%1）", u"cannot read the file (%1)"},
    {u"ファイルが大きすぎて開けません（%1）", u"the file is too large to open (%1)"},
    {u"ファイルを作成できません（%1）", u"cannot create the file (%1)"},
    {u"保存先のフォルダーに書き込めません（%1）", u"cannot write to the file's folder (%1)"},
    {u"%1。保存では、新しいファイルを同じフォルダーに作ってから元のファイルと置き換えます",
     u"%1; a save writes a new file in the same folder, then puts it in the old one's place"},
    {u"ファイルに書き込めません（%1）", u"cannot write the file (%1)"},
    {u"ファイルをディスクに書き込めません（%1）", u"cannot write the file to the disk (%1)"},
    {u"ファイルを閉じられません（%1）", u"cannot close the file (%1)"},
    {u"ファイルを置き換えられません（%1）", u"cannot replace the file (%1)"},
    {u"ディスクの空き容量が足りません", u"no space left on the disk"},
    {u"ディスクの使用量の上限に達しています", u"disk quota exceeded"},
    {u"アクセスが許可されていません", u"permission denied"},
    {u"読み取り専用の場所です", u"read-only location"},
    {u"ディスクの入出力エラーです", u"input/output error"},
    {u"ファイルまたはフォルダーが見つかりません", u"no such file or folder"},
    {u"パスの途中にフォルダーでないものがあります", u"a part of the path is not a folder"},
    {u"フォルダーです", u"it is a folder"},
    {u"ファイル名が長すぎます", u"file name too long"},
    {u"ファイルが大きすぎます", u"file too large"},
    {u"開いているファイルが多すぎます", u"too many open files"},
    {u"シンボリックリンクが循環しているか、多すぎます", u"symbolic links that loop, or too many of them"},
    {u"閉じられています", u"it is closed"},
    {u"読み出す側が閉じられています", u"the reading end is closed"},
    {u"エラー %1: %2", u"error %1: %2"},
    {u"名前付きパイプで、ファイルではありません", u"it is a named pipe, not a file"},
    {u"デバイスで、ファイルではありません", u"it is a device, not a file"},
    {u"ソケットで、ファイルではありません", u"it is a socket, not a file"},
    {u"通常のファイルではありません", u"not a regular file"},
    {u"行が %1 行を超えています", u"more than %1 lines"},
    {u"約 %1 MB のメモリーが必要ですが、使えるのは約 %2 MB です",
     u"about %1 MB of memory needed, about %2 MB available"},
    {u"読み込み中にファイルが書き換えられました", u"the file changed while it was read"},
    {u"メモリーが足りません", u"out of memory"},
    {u"行が長すぎて読み込めません（使えるメモリーで読める1行は約 %1 MB までです）",
     u"the line is too long to read (memory allows lines of about %1 MB)"},
    {u"バイト順マークのない UTF-8 のようです。ツールと放送装置はシフトJISとして読みます",
     u"looks like UTF-8 without a byte-order mark; the window and the equipment read it as Shift-JIS"},
    // Fields the writer refuses: files/broadcast_file_format.cpp.
    {u"放送内容: %1", u"content: %1"},
    {u"運賃切替信号: %1", u"fare signal: %1"},
    {u"サウンド指定信号: %1", u"sound signal: %1"},
    {u"改行文字 (CR) は保存できません", u"a line break (CR) cannot be saved"},
    {u"改行文字 (LF) は保存できません", u"a line break (LF) cannot be saved"},
    {u"カンマ「,」は項目の区切りになるため保存できません",
     u"a comma (,) cannot be saved: it separates fields"},
    {u"先頭の「\"」は引用符として読まれるため保存できません",
     u"a leading quotation mark (\") cannot be saved: it would be read as quoting"},
    {u"シフトJISで保存できない文字 %1 があります", u"the character %1 cannot be saved in Shift-JIS"},
    {u"「%1」(%2)", u"\"%1\" (%2)"},
    {u"対になっていないサロゲート %1", u"unpaired surrogate %1"},
    // Synthesis: platform/speech/speech_failure_messages.cpp.
    {u"音声合成プログラム open_jtalk がこの部分を音声にできませんでした（%1）。記号を言葉に直すなど、読み方のわかる書き方に変えて、もう一度試してください。",
     u"The speech synthesizer open_jtalk could not make speech of this part (%1). Reword it, for example spell out symbols, and try again."},
    {u"音声合成プログラム open_jtalk が声のファイルを読み込めませんでした（%1）。別の声を選んでください。",
     u"The speech synthesizer open_jtalk could not load the voice file (%1). Choose another voice."},
    {u"終了コード %1: %2", u"exit code %1: %2"},
    {u"終了コード %1", u"exit code %1"},
    {u"音声合成プログラム open_jtalk が異常終了しました%1。この部分の記号や珍しい文字を書き換えてみてください。直らないときは、" REINSTALL_JA,
     u"The speech synthesizer open_jtalk crashed%1. Try rewording the symbols or rare characters of this part; if that does not help: " REINSTALL_EN},
    {u"音声合成プログラム open_jtalk の出力が音声データではありませんでした%1。" REINSTALL_JA,
     u"The speech synthesizer open_jtalk wrote no audio%1. " REINSTALL_EN},
    {u"音声合成プログラム open_jtalk を起動できません%1。" REINSTALL_JA,
     u"The speech synthesizer open_jtalk cannot be started%1. " REINSTALL_EN},
    {u"音声合成プログラム open_jtalk が、声のファイルの示す形式（%1 Hz）と違う形式（%2 Hz）で音声を出力しました。" REINSTALL_JA,
     u"The speech synthesizer open_jtalk wrote audio at %2 Hz where its voice file says %1 Hz. " REINSTALL_EN},
    {u"音声合成プログラム open_jtalk が %1 秒たっても終わらないため止めました。この部分を短く区切るか書き換えて、もう一度試してください。",
     u"The speech synthesizer open_jtalk was still running after %1 seconds and was stopped. Cut this part shorter or reword it, then try again."},
    // A detail in brackets after a failure.
    {u"（%1）", u" (%1)"},
};

#undef REINSTALL_JA
#undef REINSTALL_EN

struct Pattern
{
    QRegularExpression japanese;
    QString english;
};

// Each entry as an anchored expression: its text literally, a capture for each %N.
QList<Pattern> compile()
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    QList<Pattern> patterns;
    for (const Entry &entry : kEntries) {
        const QString japanese = QString::fromUtf16(entry.japanese);
        QString expression = QStringLiteral("^");
        qsizetype from = 0;
        for (auto it = placeholder.globalMatch(japanese); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            expression += QRegularExpression::escape(japanese.mid(from, match.capturedStart() - from));
            expression += QStringLiteral("(.*)");
            from = match.capturedEnd();
        }
        expression += QRegularExpression::escape(japanese.mid(from)) + u'$';
        patterns.append({QRegularExpression(expression,
                                            QRegularExpression::DotMatchesEverythingOption),
                         QString::fromUtf16(entry.english)});
    }
    return patterns;
}

} // namespace

namespace CliMessages {

QString englishCoreText(const QString &japanese)
{
    static const QList<Pattern> patterns = compile();
    for (const Pattern &pattern : patterns) {
        const QRegularExpressionMatch match = pattern.japanese.match(japanese);
        if (!match.hasMatch())
            continue;
        // In one pass, so that a part holding "%1" of its own is left as it is.
        QString english;
        const QString &form = pattern.english;
        for (qsizetype i = 0; i < form.size(); ++i) {
            const int n = i + 1 < form.size() && form[i] == u'%' ? form[i + 1].digitValue() : -1;
            if (n >= 1 && n <= match.lastCapturedIndex()) {
                english += englishCoreText(match.captured(n));
                ++i;
            } else {
                english += form[i];
            }
        }
        return english;
    }
    return japanese;
}

} // namespace CliMessages
