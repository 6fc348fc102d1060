// The companion's command line and its English, where the end-to-end tests would need a
// run per case: argument edge cases, row lists, an English form for every text the file
// core and the speech engine can make, and standard input a shell cannot make non-blocking.
#include "cli/check_command.h"
#include "cli/cli_arguments.h"
#include "cli/cli_messages.h"
#include "cli/convert_command.h"
#include "cli/synthesis_input.h"
#include "files/atomic_write.h"
#include "files/broadcast_file_convert.h"
#include "files/broadcast_file_format.h"
#include "files/broadcast_file_io.h"
#include "files/cp932.h"
#include "files/utf8_without_mark.h"
#include "platform/speech/speech_failure_messages.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString rowsText(const std::vector<RowRange> &rows)
{
    QStringList parts;
    for (const RowRange &r : rows)
        parts << QStringLiteral("%1-%2").arg(r.first).arg(r.last == 0 ? QString() : QString::number(r.last));
    return parts.join(u',');
}

// The invocation in a line: what ran, and only what was set.
QString summary(const Invocation &i)
{
    static const char *const commands[] = {"none", "check", "convert", "speak", "reading"};
    const QString command = QString::fromLatin1(commands[int(i.command)]);
    switch (i.action) {
    case Invocation::Action::UsageError: return QStringLiteral("usage error");
    case Invocation::Action::Help: return QStringLiteral("help ") + command;
    case Invocation::Action::Version: return QStringLiteral("version");
    case Invocation::Action::Run: break;
    }
    QStringList parts{command};
    if (!i.files.isEmpty())
        parts << QStringLiteral("files=") + i.files.join(u'|');
    if (i.strict)
        parts << QStringLiteral("strict");
    if (!i.input.isEmpty())
        parts << QStringLiteral("in=") + i.input;
    if (!i.output.isEmpty())
        parts << QStringLiteral("out=") + i.output;
    if (!i.rows.empty())
        parts << QStringLiteral("rows=") + rowsText(i.rows);
    if (!i.voice.isEmpty())
        parts << QStringLiteral("voice=") + i.voice;
    return parts.join(u' ');
}

QString causeOfBytes(const QByteArray &bytes)
{
    return broadcast_file::parse(bytes).cause;
}

QString causeOfOpening(const QString &path)
{
    return broadcast_file::readFile(path).problem.value_or(broadcast_file::FileProblem{}).cause;
}

// A field of /proc/self/status in kB: VmHWM, the resident set's high-water mark since it
// was last reset, or VmRSS, its size now.
qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QString causeOfSaving(const BroadcastRow &row)
{
    const BroadcastRow rows[] = {row};
    return broadcast_file::encodeFile(rows).problem.value_or(broadcast_file::FileProblem{}).cause;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsTheCommandLine_data();
    void readsTheCommandLine();
    void picksRows_data();
    void picksRows();
    void coreTextsReadInEnglish_data();
    void coreTextsReadInEnglish();
    void convertWaitsForInputThatDoesNotBlock_data();
    void convertWaitsForInputThatDoesNotBlock();
    void largeFileTakesLittleMemory_data();
    void largeFileTakesLittleMemory();
};

// The core's texts are read through the companion's English translation, built into it.
void TestCli::initTestCase()
{
    auto *english = new QTranslator(this);
    QVERIFY(english->load(QStringLiteral(":/i18n/broadcast-data_en.qm")));
    QCoreApplication::installTranslator(english);
}

void TestCli::readsTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QString &line, const char *expected) {
        QStringList arguments{QStringLiteral("broadcast-data")};
        if (!line.isEmpty())
            arguments += line.split(u' ');
        QTest::newRow(name) << arguments << QString::fromUtf8(expected);
    };
    row("nothing", {}, "usage error");
    row("unknown command", u"chek a.csv"_qs, "usage error");
    row("option before the command", u"--strict check a.csv"_qs, "usage error");
    row("help", u"--help"_qs, "help none");
    row("version", u"-V"_qs, "version");
    row("a command's help", u"convert --help"_qs, "help convert");
    row("check, options anywhere", u"check a.csv --strict b.csv"_qs, "check files=a.csv|b.csv strict");
    row("check without files", u"check --strict"_qs, "usage error");
    row("check has no -o", u"check -o x a.csv"_qs, "usage error");
    row("-- ends the options", u"check -- --strict"_qs, "check files=--strict");
    row("convert, - for both", u"convert - -o -"_qs, "convert in=- out=-");
    row("convert, long option", u"convert --output=b.csv a.csv"_qs, "convert in=a.csv out=b.csv");
    row("convert without -o", u"convert a.csv"_qs, "usage error");
    row("convert, -o without its value", u"convert a.csv -o"_qs, "usage error");
    row("convert, two inputs", u"convert a.csv b.csv -o c.csv"_qs, "usage error");
    row("convert has no --rows", u"convert a.csv -o c.csv --rows 1"_qs, "usage error");
    row("speak, every option", u"speak a.csv -o wav --rows 2,4-6,9- --voice v.htsvoice"_qs,
        "speak in=a.csv out=wav rows=2-2,4-6,9- voice=v.htsvoice");
    row("speak, bad rows", u"speak a.csv -o wav --rows 7-3"_qs, "usage error");
    row("speak, empty voice", u"speak a.csv -o wav --voice="_qs, "usage error");
    row("speak without a file", u"speak -o wav"_qs, "usage error");
    // Given twice, an option is refused rather than the first one silently dropped.
    row("convert, -o twice", u"convert a.csv -o b.csv -o c.csv"_qs, "usage error");
    row("convert, -o and --output", u"convert a.csv -o b.csv --output=c.csv"_qs, "usage error");
    row("convert, --from twice", u"convert a.csv -o b.csv --from utf-8 --from cp932"_qs, "usage error");
    row("speak, --rows twice", u"speak a.csv -o wav --rows 1 --rows 3"_qs, "usage error");
    row("speak, --voice twice", u"speak a.csv -o wav --voice a --voice b"_qs, "usage error");
    row("reading, several files", u"reading a.csv --rows 2- b.csv --voice v.htsvoice"_qs,
        "reading files=a.csv|b.csv rows=2- voice=v.htsvoice");
    row("reading without a file", u"reading --rows 3"_qs, "usage error");
    row("reading has no -o", u"reading a.csv -o wav"_qs, "usage error");
    row("reading, bad rows", u"reading a.csv --rows 0"_qs, "usage error");
    row("reading, --rows twice", u"reading a.csv --rows 1 --rows 3"_qs, "usage error");
    row("reading's help", u"reading --help"_qs, "help reading");
}

void TestCli::readsTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    // Asking the parser about an option it was not given for a command warns.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    const Invocation invocation = parseArguments(arguments);
    QCOMPARE(summary(invocation), expected);
    QCOMPARE(invocation.message.isEmpty(), invocation.action == Invocation::Action::Run
                                               || invocation.action == Invocation::Action::Version);
}

void TestCli::picksRows_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("picked"); // 1-based rows, or "no row N", or "bad"
    QTest::newRow("every row") << QString() << 3 << "1,2,3";
    QTest::newRow("a range") << "3-5" << 9 << "3,4,5";
    QTest::newRow("one row") << "5" << 9 << "5";
    QTest::newRow("to the end") << "8-" << 9 << "8,9";
    QTest::newRow("from the start") << "-2" << 9 << "1,2";
    QTest::newRow("overlapping, out of order") << "4-6,2,5-7" << 9 << "2,4,5,6,7";
    QTest::newRow("the last row") << "9-9" << 9 << "9";
    QTest::newRow("past the end") << "8-10" << 9 << "no row 10";
    QTest::newRow("starting past the end") << "12-" << 9 << "no row 12";
    QTest::newRow("row 0") << "0-2" << 9 << "bad";
    QTest::newRow("backwards") << "7-3" << 9 << "bad";
    QTest::newRow("a dash alone") << "-" << 9 << "bad";
    QTest::newRow("an empty item") << "1,,2" << 9 << "bad";
    QTest::newRow("a sign") << "+3" << 9 << "bad";
    QTest::newRow("a blank") << " 3" << 9 << "bad";
    QTest::newRow("a word") << "all" << 9 << "bad";
}

void TestCli::picksRows()
{
    QFETCH(QString, list);
    QFETCH(int, count);
    QFETCH(QString, picked);
    std::vector<RowRange> ranges;
    if (!list.isEmpty() && !parseRowSelection(list, &ranges)) {
        QCOMPARE(QStringLiteral("bad"), picked);
        return;
    }
    int missing = 0;
    QStringList rows;
    for (const int i : selectRows(ranges, count, &missing))
        rows << QString::number(i + 1);
    QCOMPARE(missing > 0 ? QStringLiteral("no row %1").arg(missing) : rows.join(u','), picked);
}

void TestCli::coreTextsReadInEnglish_data()
{
    QTest::addColumn<QString>("japanese");
    QTest::addColumn<QString>("english"); // empty: only that nothing Japanese is left

    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString fifo = folder.filePath(QStringLiteral("fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || errno == EEXIST);

    QTest::newRow("four fields") << causeOfBytes("a,b,c,d\r\n")
                                 << "more than three fields (a line holds at most three)";
    QTest::newRow("unclosed quote") << causeOfBytes("\"a,b\r\n") << QString();
    QTest::newRow("after a closing quote") << causeOfBytes("\"a\"b\r\n") << QString();
    QTest::newRow("bad UTF-8") << causeOfBytes("\xEF\xBB\xBF\xFF\r\n") << QString();
    QTest::newRow("cut pair") << causeOfBytes("a\x81") << "the file ends inside a double-byte character 0x81";
    QTest::newRow("bad pair") << causeOfBytes("a\x81\x20") << "invalid double-byte character 0x81 0x20";
    broadcast_file::Reader longLine;
    longLine.setLineLimit(1 << 20);
    longLine.feed(QByteArray(2 << 20, 'a'));
    QTest::newRow("UTF-8 without a mark") << broadcast_file::utf8WithoutMarkCause()
        << "looks like UTF-8 without a byte-order mark; the window and the equipment read it as Shift-JIS";
    QTest::newRow("line too long") << longLine.finish().cause
                                   << "the line is too long to read (memory allows lines of about 1 MB)";
    QTest::newRow("missing") << causeOfOpening(folder.filePath(QStringLiteral("none")))
                             << "cannot open the file (no such file or folder)";
    QTest::newRow("folder") << causeOfOpening(folder.path()) << "cannot open the file (it is a folder)";
    QTest::newRow("device") << causeOfOpening(QStringLiteral("/dev/null")) << QString();
    QTest::newRow("pipe") << causeOfOpening(fifo) << QString();
    const auto written = broadcast_file::writeFile(folder.filePath(QStringLiteral("no/such/Tp.csv")),
                                                   std::vector<BroadcastRow>{{u"a"_qs, {}, {}}});
    QTest::newRow("cannot create") << written.value_or(broadcast_file::FileProblem{}).cause << QString();
    QTest::newRow("CR") << causeOfSaving({u"a\rb"_qs, {}, {}}) << QString();
    QTest::newRow("LF") << causeOfSaving({u"a\nb"_qs, {}, {}}) << QString();
    QTest::newRow("comma in a signal") << causeOfSaving({u"a"_qs, u","_qs, {}})
                                       << "fare signal: a comma (,) cannot be saved: it separates fields";
    QTest::newRow("leading quote") << causeOfSaving({u"a"_qs, {}, u"\"1"_qs}) << QString();
    QTest::newRow("no Shift-JIS form") << causeOfSaving({u"😀"_qs, {}, {}})
                                       << "content: the character \"😀\" (U+1F600) cannot be saved in Shift-JIS";
    QTest::newRow("lone surrogate") << causeOfSaving({QString(QChar(0xD800)), {}, {}}) << QString();
    for (const int error : {ENOSPC, EDQUOT, EACCES, EROFS, EIO, ENOENT, ENOTDIR, EISDIR,
                            ENAMETOOLONG, EFBIG, EMFILE, ELOOP, EBADF, EPIPE})
        QTest::addRow("errno %d", error) << describeFileError(error) << QString();
    namespace M = SpeechFailureMessages;
    QTest::newRow("synthesis exited") << M::synthesisExited(3, u"boom\nmore"_qs) << QString();
    QTest::newRow("synthesis exited, silent") << M::synthesisExited(1, {}) << QString();
    QTest::newRow("synthesis crashed") << M::synthesisCrashed(u"segv"_qs) << QString();
    QTest::newRow("synthesis crashed, silent") << M::synthesisCrashed({}) << QString();
    QTest::newRow("not audio") << M::synthesisNotAudio(u"no data chunk"_qs) << QString();
    QTest::newRow("not started") << M::synthesisNotStarted(u"No such file"_qs) << QString();
    QTest::newRow("wrong rate") << M::synthesisWrongFormat(22050, 48000) << QString();
    QTest::newRow("timed out") << M::synthesisTimedOut(6) << QString();
    QTest::newRow("voice not loaded")
        << M::voiceNotLoaded(u"Error: Dictionary or HTS voice cannot be loaded."_qs) << QString();
    QTest::newRow("lines ended by lone CRs")
        << causeOfBytes("a,1,0\rb,0,0\r")
        << "lines end in a lone CR (as old Mac files do); lines must end in CR LF or LF";
}

void TestCli::coreTextsReadInEnglish()
{
    QFETCH(QString, japanese);
    QFETCH(QString, english);
    QVERIFY(!japanese.isEmpty());
    const QString &translated = japanese; // made by the core, read through the translation
    // Kana, kanji and full-width punctuation left over mean a part was not translated.
    static const QRegularExpression japaneseText(
        QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    QVERIFY2(!japaneseText.match(translated).hasMatch(), qPrintable(translated));
    if (!english.isEmpty())
        QCOMPARE(translated, english);
}

void TestCli::convertWaitsForInputThatDoesNotBlock_data()
{
    QTest::addColumn<QByteArrayList>("pieces"); // written 100 ms apart, the first after 100 ms
    QTest::newRow("late") << QByteArrayList{"a,1,0\r\nb,0,3\r\n"};
    QTest::newRow("a line cut in two") << QByteArrayList{"a,1,0\r\nb,", "0,3\r\n"};
}

// Standard input can be left non-blocking by whoever shared it (a shell's job control, a
// parent program): reading must wait for it, not fail with "Resource temporarily
// unavailable".
void TestCli::convertWaitsForInputThatDoesNotBlock()
{
    QFETCH(QByteArrayList, pieces);
    int fds[2];
    QVERIFY(::pipe(fds) == 0);
    QVERIFY(::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK) == 0);
    std::thread writer([&] {
        for (const QByteArray &piece : std::as_const(pieces)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            (void)!::write(fds[1], piece.constData(), size_t(piece.size()));
        }
        ::close(fds[1]);
    });
    QByteArray written;
    const auto outcome = broadcast_file::convertStream(
        fds[0], u"(standard input)"_qs, [&](QByteArrayView bytes) -> std::optional<broadcast_file::FileProblem> {
            written += bytes;
            return std::nullopt;
        });
    writer.join();
    ::close(fds[0]);
    QVERIFY2(outcome.ok(), qPrintable(outcome.input.value_or(broadcast_file::FileProblem{}).cause));
    QCOMPARE(written, QByteArray("a,1,0\r\nb,0,3\r\n"));
}

void TestCli::largeFileTakesLittleMemory_data()
{
    QTest::addColumn<bool>("check"); // or convert
    QTest::newRow("check") << true;
    QTest::newRow("convert") << false;
}

// check and convert read a piece at a time and keep no row: a file far larger than the
// limit takes no more memory than a small one.
void TestCli::largeFileTakesLittleMemory()
{
    QFETCH(bool, check);
#ifdef __SANITIZE_ADDRESS__
    QSKIP("AddressSanitizer's shadow memory and quarantine grow with everything allocated");
#endif
    // 1.5 million rows, 27 MB: as a table they would take some 180 MB.
    static QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("largeTp.csv"));
    if (!QFile::exists(file)) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QByteArray line;
        QVERIFY(cp932::encode(u"次は新宿です,1,0\r\n", line, nullptr));
        QByteArray block;
        for (int i = 0; i < 10000; ++i)
            block += line;
        for (int i = 0; i < 150; ++i)
            QCOMPARE(out.write(block), block.size());
    }
    QFile peak(QStringLiteral("/proc/self/clear_refs")); // "5": the high-water mark starts again
    QVERIFY(peak.open(QIODevice::WriteOnly) && peak.write("5") == 1);
    peak.close();
    const qint64 before = statusKb("VmRSS");
    const int status = check ? runCheck({file}, false)
                             : runConvert(file, folder.filePath(QStringLiteral("outTp.csv")),
                                          broadcast_file::UnmarkedText::Guess);
    const qint64 grownMb = (statusKb("VmHWM") - before) / 1024;
    QCOMPARE(status, 0);
    QVERIFY2(grownMb < 20, qPrintable(QStringLiteral("grew by %1 MB").arg(grownMb)));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
