#include "cli/cli_help.h"

#include "cli/cli_messages.h"

#include <QCoreApplication>


namespace {

QString overview()
{
    return CliTexts::tr("使い方: %1 コマンド [オプション] ファイル...\n"
        "放送用データファイル（*Tp.csv）をまとめて確かめ、変換し、読み上げます。\n"
        "\n"
        "コマンド:\n"
        "  check [--strict] ファイル...      ファイルを「開く」と同じように読み、問題を1行ずつ示す\n"
        "  convert 入力 -o 出力              シフトJIS または UTF-8（BOM 付き）を正規のシフトJISファイルにする\n"
        "  speak ファイル -o フォルダー      行ごとに WAV（00001.wav ...）を書き出す\n"
        "  reading ファイル...               行ごとに音声合成での読み（カタカナ、アクセント）と長さを示す\n"
        "\n"
        "オプション:\n"
        "  -h, --help     この説明を表示して終了する（コマンドの後に付けるとそのコマンドの説明）\n"
        "  -V, --version  バージョンを表示して終了する\n"
        "\n"
        "終了コード: 0 問題なし、1 ファイルに問題がある、2 コマンドラインの誤り\n"
        "詳しくは man %1 を見てください。");
}

QString checkHelp()
{
    return CliTexts::tr("使い方: %1 check [--strict] ファイル...\n"
        "ファイルを「ファイル > 開く」と同じ読み方で読み、問題ごとに「ファイル:行: 理由」を1行出力します。\n"
        "問題のないファイルについては何も出力しません。\n"
        "\n"
        "ツールでは開けても放送装置で使えないものは警告になります: 運賃切替信号が「0」「1」以外、\n"
        "サウンド指定信号が「0」～「3」以外（確定していない行の空の信号を含む）、\n"
        "放送内容に「確定」で使えない文字（タブ、全角スペース、スペース、カンマ）がある行、\n"
        "BOM のない UTF-8 と見えるファイル（ツールも放送装置もシフトJIS として読みます）。\n"
        "\n"
        "  --strict    警告も問題として扱う（終了コード 1）\n"
        "  -h, --help  この説明を表示して終了する\n"
        "\n"
        "終了コード: 0 すべて問題なし、1 問題のあるファイルがある、2 コマンドラインの誤り");
}

QString convertHelp()
{
    return CliTexts::tr("使い方: %1 convert 入力 -o 出力 [--from utf-8|cp932]\n"
        "シフトJIS（コードページ 932）または UTF-8（BOM 付き）のファイルを、ツールが保存するのと\n"
        "同じ正規のシフトJISファイル（1行 放送内容,運賃切替信号,サウンド指定信号 と CR LF）にします。\n"
        "書き込みは「保存」と同じく、全部か何もしないかのどちらかです。読み戻せない文字があれば\n"
        "何も書かずに、その行を示して終了します。BOM のないファイルは、ツールと同じくシフトJIS\n"
        "として読みます。ただし UTF-8 と見えるファイルは、どちらか指定されるまで変換しません。\n"
        "\n"
        "  -o, --output 出力  書き出すファイル。「-」で標準出力\n"
        "  --from utf-8       BOM のないファイルを UTF-8 として読む\n"
        "  --from cp932       BOM のないファイルをシフトJIS として読む（UTF-8 と見えても）\n"
        "  -h, --help         この説明を表示して終了する\n"
        "\n"
        "入力に「-」を指定すると標準入力から読みます。");
}

QString speakHelp()
{
    return CliTexts::tr("使い方: %1 speak ファイル -o フォルダー [--rows 行] [--voice 声のファイル]\n"
        "行ごとに放送内容を読み上げた WAV を書き出します（1行目は 00001.wav）。声、速さ、高さ、\n"
        "音量はツールの「音声調整」の設定に従います。読み上げる文字のない行は短い無音の WAV になります。\n"
        "端末では進み具合を表示します。\n"
        "\n"
        "  -o, --output フォルダー  WAV を書き出すフォルダー（なければ作ります）\n"
        "  --rows 行                書き出す行（例: 3-7、5、2,4-6、10-、-2 は 1～2 行目）\n"
        "  --voice 声のファイル     この .htsvoice で読み上げる（速さ、高さ、音量は設定のまま）\n"
        "  -h, --help               この説明を表示して終了する");
}

QString readingHelp()
{
    return CliTexts::tr("使い方: %1 reading ファイル... [--rows 行] [--voice 声のファイル]\n"
        "行ごとに、音声合成プログラムが放送内容をどう読むかを「ファイル:行: 秒数 読み」の形で\n"
        "1行ずつ出力します。読み上げは「再生」や speak と同じに整え、同じところで区切ります。\n"
        "読みはカタカナの発音です。/ はアクセント句の区切り、「、」は間（ま）、' は直前の拍の\n"
        "後で音が下がるところ（アクセント核）、？ は問いかけの上がり調子を表します。\n"
        "秒数は読み上げの長さ（speak が書き出す WAV の長さ）です。読み上げる文字のない行は\n"
        "0.00 で、読みは空です。声、速さ、高さ、音量はツールの「音声調整」の設定に従います。\n"
        "\n"
        "  --rows 行                読む行（例: 3-7、5、2,4-6、10-、-2 は 1～2 行目）\n"
        "  --voice 声のファイル     この .htsvoice で読む（速さ、高さ、音量は設定のまま）\n"
        "  -h, --help               この説明を表示して終了する\n"
        "\n"
        "終了コード: 0 すべての行を読めた、1 読めないファイルや行がある、2 コマンドラインの誤り");
}

} // namespace

QString helpText(Invocation::Command command)
{
    QString text;
    switch (command) {
    case Invocation::Command::Check: text = checkHelp(); break;
    case Invocation::Command::Convert: text = convertHelp(); break;
    case Invocation::Command::Speak: text = speakHelp(); break;
    case Invocation::Command::Reading: text = readingHelp(); break;
    case Invocation::Command::None: text = overview(); break;
    }
    return text.arg(QCoreApplication::applicationName());
}
