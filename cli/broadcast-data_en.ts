<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CliTexts</name>
    <message>
        <source>タブ</source>
        <translation>tab</translation>
    </message>
    <message>
        <source>全角スペース</source>
        <translation>ideographic space</translation>
    </message>
    <message>
        <source>スペース</source>
        <translation>space</translation>
    </message>
    <message>
        <source>カンマ</source>
        <translation>comma</translation>
    </message>
    <message>
        <source>%1が空です（確定していない行です。%2にしてください）</source>
        <translation>%1 is empty, as in a row never confirmed (must be %2)</translation>
    </message>
    <message>
        <source>%1「%2」は放送装置で使えません（%3にしてください）</source>
        <translation>%1 &quot;%2&quot; cannot be used by the equipment (must be %3)</translation>
    </message>
    <message>
        <source>放送内容の %1 文字目に「確定」で使えない文字（%2、U+%3）があります</source>
        <translation>content holds a character that confirming a row refuses at character %1 (%2, U+%3)</translation>
    </message>
    <message>
        <source>運賃切替信号</source>
        <translation>fare signal</translation>
    </message>
    <message>
        <source>「0」か「1」</source>
        <translation>0 or 1</translation>
    </message>
    <message>
        <source>サウンド指定信号</source>
        <translation>sound signal</translation>
    </message>
    <message>
        <source>「0」～「3」</source>
        <translation>0 to 3</translation>
    </message>
    <message>
        <source>警告: </source>
        <translation>warning: </translation>
    </message>
    <message>
        <source>--%1 は1回だけ指定してください</source>
        <translation>--%1 given more than once</translation>
    </message>
    <message>
        <source>確かめるファイルを指定してください</source>
        <translation>no file to check</translation>
    </message>
    <message>
        <source>読み込むファイルを指定してください</source>
        <translation>no input file</translation>
    </message>
    <message>
        <source>読み込むファイルは1つだけです: %1</source>
        <translation>only one input file is taken: %1</translation>
    </message>
    <message>
        <source>書き出すファイルを -o で指定してください</source>
        <translation>no output file: give one with -o</translation>
    </message>
    <message>
        <source>WAV を書き出すフォルダーを -o で指定してください</source>
        <translation>no output folder: give one with -o</translation>
    </message>
    <message>
        <source>--from には utf-8 か cp932 を指定してください: %1</source>
        <translation>--from takes utf-8 or cp932: %1</translation>
    </message>
    <message>
        <source>--rows の行の指定が正しくありません: %1（例: 3-7、5、2,4-6、10-）</source>
        <translation>bad row list for --rows: %1 (examples: 3-7, 5, 2,4-6, 10-)</translation>
    </message>
    <message>
        <source>--voice に声のファイルを指定してください</source>
        <translation>--voice needs a voice file</translation>
    </message>
    <message>
        <source>使い方: %1 check [--strict] ファイル...
ファイルを「ファイル &gt; 開く」と同じ読み方で読み、問題ごとに「ファイル:行: 理由」を1行出力します。
問題のないファイルについては何も出力しません。

ツールでは開けても放送装置で使えないものは警告になります: 運賃切替信号が「0」「1」以外、
サウンド指定信号が「0」～「3」以外（確定していない行の空の信号を含む）、
放送内容に「確定」で使えない文字（タブ、全角スペース、スペース、カンマ）がある行、
BOM のない UTF-8 と見えるファイル（ツールも放送装置もシフトJIS として読みます）。

  --strict    警告も問題として扱う（終了コード 1）
  -h, --help  この説明を表示して終了する

終了コード: 0 すべて問題なし、1 問題のあるファイルがある、2 コマンドラインの誤り</source>
        <translation>Usage: %1 check [--strict] FILE...
Read each file as File &gt; Open does and print one line per problem, FILE:LINE: cause.
A good file prints nothing.

What the window opens but the equipment cannot use is a warning: a fare signal other
than 0 or 1, a sound signal other than 0 to 3 (the empty signals of a row never
confirmed included), content holding a character that confirming a row refuses
(tab, ideographic space, space, comma), a file that looks like UTF-8 without a BOM
(the tool and the equipment read it as Shift-JIS).

  --strict    count warnings as problems (exit status 1)
  -h, --help  show this help and exit

Exit status: 0 every file is good, 1 a file has problems, 2 a usage error.</translation>
    </message>
    <message>
        <source>使い方: %1 convert 入力 -o 出力 [--from utf-8|cp932]
シフトJIS（コードページ 932）または UTF-8（BOM 付き）のファイルを、ツールが保存するのと
同じ正規のシフトJISファイル（1行 放送内容,運賃切替信号,サウンド指定信号 と CR LF）にします。
書き込みは「保存」と同じく、全部か何もしないかのどちらかです。読み戻せない文字があれば
何も書かずに、その行を示して終了します。BOM のないファイルは、ツールと同じくシフトJIS
として読みます。ただし UTF-8 と見えるファイルは、どちらか指定されるまで変換しません。

  -o, --output 出力  書き出すファイル。「-」で標準出力
  --from utf-8       BOM のないファイルを UTF-8 として読む
  --from cp932       BOM のないファイルをシフトJIS として読む（UTF-8 と見えても）
  -h, --help         この説明を表示して終了する

入力に「-」を指定すると標準入力から読みます。</source>
        <translation>Usage: %1 convert IN -o OUT [--from utf-8|cp932]
Turn a Shift-JIS (code page 932) or UTF-8 (with a BOM) file into the canonical
Shift-JIS file the tool saves: one line Content,FareSignal,SoundSignal and CR LF per row.
As with File &gt; Save, OUT is replaced whole or not at all; a character that would not
read back stops the conversion before anything is written, naming its line. A file
without a BOM is read as Shift-JIS, as the tool reads it, but one that looks like
UTF-8 is not converted until --from says which it is.

  -o, --output OUT  the file to write; - for standard output
  --from utf-8      read a file without a BOM as UTF-8
  --from cp932      read a file without a BOM as Shift-JIS, even if it looks like UTF-8
  -h, --help        show this help and exit

IN may be - for standard input.</translation>
    </message>
    <message>
        <source>使い方: %1 speak ファイル -o フォルダー [--rows 行] [--voice 声のファイル]
行ごとに放送内容を読み上げた WAV を書き出します（1行目は 00001.wav）。声、速さ、高さ、
音量はツールの「音声調整」の設定に従います。読み上げる文字のない行は短い無音の WAV になります。
端末では進み具合を表示します。

  -o, --output フォルダー  WAV を書き出すフォルダー（なければ作ります）
  --rows 行                書き出す行（例: 3-7、5、2,4-6、10-、-2 は 1～2 行目）
  --voice 声のファイル     この .htsvoice で読み上げる（速さ、高さ、音量は設定のまま）
  -h, --help               この説明を表示して終了する</source>
        <translation>Usage: %1 speak FILE -o DIR [--rows LIST] [--voice VOICE]
Write the spoken content of each row as a WAV file (row 1 is 00001.wav). Voice, speed,
pitch and volume follow the tool&apos;s voice settings. A row with nothing to speak gets a
short silent WAV. Progress is shown on a terminal.

  -o, --output DIR  the folder for the WAV files (made when missing)
  --rows LIST       the rows to write, e.g. 3-7, 5, 2,4-6, 10-, -2 (rows 1 to 2)
  --voice VOICE     speak with this .htsvoice file (speed, pitch, volume as set)
  -h, --help        show this help and exit</translation>
    </message>
    <message>
        <source>標準出力に書き込めません（%1）</source>
        <translation>cannot write standard output (%1)</translation>
    </message>
    <message>
        <source>詳しくは「%1 --help」を実行してください。</source>
        <translation>Try &apos;%1 --help&apos; for more information.</translation>
    </message>
    <message>
        <source>(標準入力)</source>
        <translation>(standard input)</translation>
    </message>
    <message>
        <source>。--from utf-8 か --from cp932 で指定してください</source>
        <translation>: give --from utf-8 or --from cp932</translation>
    </message>
    <message>
        <source>読み上げる行がありません。WAV は書き出しません</source>
        <translation>no rows to speak; no WAV file written</translation>
    </message>
    <message>
        <source>--rows: %1 に %2 行目はありません（%3 行です）</source>
        <translation>--rows: %1 has no row %2 (it has %3 rows)</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk またはその辞書が見つかりません（open-jtalk と open-jtalk-mecab-naist-jdic のパッケージが必要です）</source>
        <translation>the speech synthesizer open_jtalk or its dictionary is missing (the packages open-jtalk and open-jtalk-mecab-naist-jdic are needed)</translation>
    </message>
    <message>
        <source>Open JTalk の声のファイル（.htsvoice）が見つかりません</source>
        <translation>no Open JTalk voice (.htsvoice) found</translation>
    </message>
    <message>
        <source>声のファイルを読めません: %1</source>
        <translation>cannot read the voice file: %1</translation>
    </message>
    <message>
        <source>フォルダー %1 を作れません（%2）</source>
        <translation>cannot make the folder %1 (%2)</translation>
    </message>
    <message>
        <source>%1 行目の「%2」を読み上げられません: %3</source>
        <translation>row %1: cannot speak &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>声のファイル %1 を使えません: %2</source>
        <translation>the voice %1 cannot be used: %2</translation>
    </message>
    <message>
        <source>WAV を書き出しています: %1 / %2 行</source>
        <translation>writing WAV files: %1 of %2 rows</translation>
    </message>
    <message>
        <source>読みを調べるファイルを指定してください</source>
        <translation>no file to read</translation>
    </message>
    <message>
        <source>コマンドを指定してください（check、convert、speak、reading）</source>
        <translation>no command given (check, convert, speak or reading)</translation>
    </message>
    <message>
        <source>「%1」というコマンドはありません（check、convert、speak、reading）</source>
        <translation>unknown command &apos;%1&apos; (check, convert, speak or reading)</translation>
    </message>
    <message>
        <source>使い方: %1 コマンド [オプション] ファイル...
放送用データファイル（*Tp.csv）をまとめて確かめ、変換し、読み上げます。

コマンド:
  check [--strict] ファイル...      ファイルを「開く」と同じように読み、問題を1行ずつ示す
  convert 入力 -o 出力              シフトJIS または UTF-8（BOM 付き）を正規のシフトJISファイルにする
  speak ファイル -o フォルダー      行ごとに WAV（00001.wav ...）を書き出す
  reading ファイル...               行ごとに音声合成での読み（カタカナ、アクセント）と長さを示す

オプション:
  -h, --help     この説明を表示して終了する（コマンドの後に付けるとそのコマンドの説明）
  -V, --version  バージョンを表示して終了する

終了コード: 0 問題なし、1 ファイルに問題がある、2 コマンドラインの誤り
詳しくは man %1 を見てください。</source>
        <translation>Usage: %1 COMMAND [OPTION]... FILE...
Check, convert and speak broadcast data files (*Tp.csv), many at a time.

Commands:
  check [--strict] FILE...     read files as File &gt; Open does; one line per problem
  convert IN -o OUT            turn Shift-JIS or UTF-8 (with a BOM) into a canonical Shift-JIS file
  speak FILE -o DIR            write one WAV per row (00001.wav, ...)
  reading FILE...              show each row&apos;s reading by the synthesizer (katakana, accent) and length

Options:
  -h, --help     show this help and exit (after a command: that command&apos;s help)
  -V, --version  show the version and exit

Exit status: 0 all good, 1 a file has problems, 2 a usage error.
See man %1 for more.</translation>
    </message>
    <message>
        <source>使い方: %1 reading ファイル... [--rows 行] [--voice 声のファイル]
行ごとに、音声合成プログラムが放送内容をどう読むかを「ファイル:行: 秒数 読み」の形で
1行ずつ出力します。読み上げは「再生」や speak と同じに整え、同じところで区切ります。
読みはカタカナの発音です。/ はアクセント句の区切り、「、」は間（ま）、&apos; は直前の拍の
後で音が下がるところ（アクセント核）、？ は問いかけの上がり調子を表します。
秒数は読み上げの長さ（speak が書き出す WAV の長さ）です。読み上げる文字のない行は
0.00 で、読みは空です。声、速さ、高さ、音量はツールの「音声調整」の設定に従います。

  --rows 行                読む行（例: 3-7、5、2,4-6、10-、-2 は 1～2 行目）
  --voice 声のファイル     この .htsvoice で読む（速さ、高さ、音量は設定のまま）
  -h, --help               この説明を表示して終了する

終了コード: 0 すべての行を読めた、1 読めないファイルや行がある、2 コマンドラインの誤り</source>
        <translation>Usage: %1 reading FILE... [--rows LIST] [--voice VOICE]
Print how the speech synthesizer reads the content of each row, one line per row:
&quot;FILE:LINE: SECONDS READING&quot;. The text is prepared and cut as 再生 and speak prepare and
cut it. The reading is the pronunciation in katakana: / separates accent phrases, 、 is a
pause, &apos; follows the mora after which the pitch falls (the accent nucleus) and ？ marks
the rise of a question. SECONDS is how long it is spoken (the length of the WAV that
speak writes). A row with nothing to speak shows 0.00 and no reading. Voice, speed,
pitch and volume follow the tool&apos;s voice settings.

  --rows LIST    the rows to read, e.g. 3-7, 5, 2,4-6, 10-, -2 (rows 1 to 2)
  --voice VOICE  read with this .htsvoice file (speed, pitch, volume as set)
  -h, --help     show this help and exit

Exit status: 0 every row was read, 1 a file or a row could not be read, 2 a usage error.</translation>
    </message>
</context>
<context>
    <name>FileTexts</name>
    <message>
        <source>ファイルを作成できません</source>
        <translation>cannot create the file</translation>
    </message>
    <message>
        <source>保存先のフォルダーに書き込めません</source>
        <translation>cannot write to the file&apos;s folder</translation>
    </message>
    <message>
        <source>ファイルに書き込めません</source>
        <translation>cannot write the file</translation>
    </message>
    <message>
        <source>ファイルをディスクに書き込めません</source>
        <translation>cannot write the file to the disk</translation>
    </message>
    <message>
        <source>ファイルを閉じられません</source>
        <translation>cannot close the file</translation>
    </message>
    <message>
        <source>ファイルを置き換えられません</source>
        <translation>cannot replace the file</translation>
    </message>
    <message>
        <source>%1。保存では、新しいファイルを同じフォルダーに作ってから元のファイルと置き換えます</source>
        <translation>%1; a save writes a new file in the same folder, then puts it in the old one&apos;s place</translation>
    </message>
    <message>
        <source>通常のファイルではありません</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>ディスクの空き容量が足りません</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>ディスクの使用量の上限に達しています</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>アクセスが許可されていません</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>読み取り専用の場所です</source>
        <translation>read-only location</translation>
    </message>
    <message>
        <source>ディスクの入出力エラーです</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>ファイルまたはフォルダーが見つかりません</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>パスの途中にフォルダーでないものがあります</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>フォルダーです</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>ファイル名が長すぎます</source>
        <translation>file name too long</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>開いているファイルが多すぎます</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>シンボリックリンクが循環しているか、多すぎます</source>
        <translation>symbolic links that loop, or too many of them</translation>
    </message>
    <message>
        <source>閉じられています</source>
        <translation>it is closed</translation>
    </message>
    <message>
        <source>読み出す側が閉じられています</source>
        <translation>the reading end is closed</translation>
    </message>
    <message>
        <source>エラー %1: %2</source>
        <translation>error %1: %2</translation>
    </message>
    <message>
        <source>メモリーが足りません</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>対になっていないサロゲート %1</source>
        <translation>unpaired surrogate %1</translation>
    </message>
    <message>
        <source>「%1」(%2)</source>
        <translation>&quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>改行文字 (CR) は保存できません</source>
        <translation>a line break (CR) cannot be saved</translation>
    </message>
    <message>
        <source>改行文字 (LF) は保存できません</source>
        <translation>a line break (LF) cannot be saved</translation>
    </message>
    <message>
        <source>カンマ「,」は項目の区切りになるため保存できません</source>
        <translation>a comma (,) cannot be saved: it separates fields</translation>
    </message>
    <message>
        <source>先頭の「&quot;」は引用符として読まれるため保存できません</source>
        <translation>a leading quotation mark (&quot;) cannot be saved: it would be read as quoting</translation>
    </message>
    <message>
        <source>シフトJISで保存できない文字 %1 があります</source>
        <translation>the character %1 cannot be saved in Shift-JIS</translation>
    </message>
    <message>
        <source>行が %1 行を超えています</source>
        <translation>more than %1 lines</translation>
    </message>
    <message>
        <source>約 %1 MB のメモリーが必要ですが、使えるのは約 %2 MB です</source>
        <translation>about %1 MB of memory needed, about %2 MB available</translation>
    </message>
    <message>
        <source>ファイルが大きすぎて開けません</source>
        <translation>the file is too large to open</translation>
    </message>
    <message>
        <source>読み込み中にファイルが書き換えられました</source>
        <translation>the file changed while it was read</translation>
    </message>
    <message>
        <source>項目が4つ以上あります（1行は3項目までです）</source>
        <translation>more than three fields (a line holds at most three)</translation>
    </message>
    <message>
        <source>引用符「&quot;」が閉じられていません</source>
        <translation>a quotation mark (&quot;) is not closed</translation>
    </message>
    <message>
        <source>閉じ引用符「&quot;」の後に余分な文字があります</source>
        <translation>characters after a closing quotation mark (&quot;)</translation>
    </message>
    <message>
        <source>UTF-8として正しくないバイト列があります</source>
        <translation>bytes that are not valid UTF-8</translation>
    </message>
    <message>
        <source>行が長すぎて読み込めません（使えるメモリーで読める1行は約 %1 MB までです）</source>
        <translation>the line is too long to read (memory allows lines of about %1 MB)</translation>
    </message>
    <message>
        <source>行の区切りに CR だけが使われています（行は CR LF か LF で区切ってください）</source>
        <translation>lines end in a lone CR (as old Mac files do); lines must end in CR LF or LF</translation>
    </message>
    <message>
        <source>2バイト文字の途中でファイルが終わっています %1</source>
        <translation>the file ends inside a double-byte character %1</translation>
    </message>
    <message>
        <source>不正な2バイト文字 %1 %2</source>
        <translation>invalid double-byte character %1 %2</translation>
    </message>
    <message>
        <source>ファイルを開けません</source>
        <translation>cannot open the file</translation>
    </message>
    <message>
        <source>ファイルを読み込めません</source>
        <translation>cannot read the file</translation>
    </message>
    <message>
        <source>運賃切替信号</source>
        <translation>fare signal</translation>
    </message>
    <message>
        <source>サウンド指定信号</source>
        <translation>sound signal</translation>
    </message>
    <message>
        <source>放送内容</source>
        <translation>content</translation>
    </message>
    <message>
        <source>名前付きパイプで、ファイルではありません</source>
        <translation>it is a named pipe, not a file</translation>
    </message>
    <message>
        <source>デバイスで、ファイルではありません</source>
        <translation>it is a device, not a file</translation>
    </message>
    <message>
        <source>ソケットで、ファイルではありません</source>
        <translation>it is a socket, not a file</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>バイト順マークのない UTF-8 のようです。ツールと放送装置はシフトJISとして読みます</source>
        <translation>looks like UTF-8 without a byte-order mark; the window and the equipment read it as Shift-JIS</translation>
    </message>
</context>
<context>
    <name>SpeechTexts</name>
    <message>
        <source>open-jtalk と open-jtalk-mecab-naist-jdic のパッケージを入れ直すか、「音声調整」で別の声を選んでください。</source>
        <translation>Reinstall the packages open-jtalk and open-jtalk-mecab-naist-jdic, or choose another voice.</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>終了コード %1</source>
        <translation>exit code %1</translation>
    </message>
    <message>
        <source>終了コード %1: %2</source>
        <translation>exit code %1: %2</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk がこの部分を音声にできませんでした（%1）。記号を言葉に直すなど、読み方のわかる書き方に変えて、もう一度試してください。</source>
        <translation>The speech synthesizer open_jtalk could not make speech of this part (%1). Reword it, for example spell out symbols, and try again.</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk が声のファイルを読み込めませんでした（%1）。別の声を選んでください。</source>
        <translation>The speech synthesizer open_jtalk could not load the voice file (%1). Choose another voice.</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk が異常終了しました%1。この部分の記号や珍しい文字を書き換えてみてください。直らないときは、%2</source>
        <translation>The speech synthesizer open_jtalk crashed%1. Try rewording the symbols or rare characters of this part; if that does not help: %2</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk の出力が音声データではありませんでした%1。%2</source>
        <translation>The speech synthesizer open_jtalk wrote no audio%1. %2</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk が、声のファイルの示す形式（%1 Hz）と違う形式（%2 Hz）で音声を出力しました。%3</source>
        <translation>The speech synthesizer open_jtalk wrote audio at %2 Hz where its voice file says %1 Hz. %3</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk を起動できません%1。%2</source>
        <translation>The speech synthesizer open_jtalk cannot be started%1. %2</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk が %1 秒たっても終わらないため止めました。この部分を短く区切るか書き換えて、もう一度試してください。</source>
        <translation>The speech synthesizer open_jtalk was still running after %1 seconds and was stopped. Cut this part shorter or reword it, then try again.</translation>
    </message>
    <message>
        <source>音声合成プログラム open_jtalk が読みを書き出しませんでした</source>
        <translation>The speech synthesizer open_jtalk wrote no reading.</translation>
    </message>
</context>
</TS>
