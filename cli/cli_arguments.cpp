#include "cli/cli_arguments.h"

#include "cli/cli_help.h"
#include "cli/cli_messages.h"

#include <QCommandLineParser>

#include <algorithm>


namespace {

struct CommandName
{
    const char16_t *name;
    Invocation::Command command;
};

constexpr CommandName kCommands[] = {
    {u"check", Invocation::Command::Check},
    {u"convert", Invocation::Command::Convert},
    {u"speak", Invocation::Command::Speak},
    {u"reading", Invocation::Command::Reading},
};

Invocation usageError(const QString &message)
{
    Invocation invocation;
    invocation.action = Invocation::Action::UsageError;
    invocation.message = message;
    return invocation;
}

Invocation help(Invocation::Command command)
{
    Invocation invocation;
    invocation.action = Invocation::Action::Help;
    invocation.command = command;
    invocation.message = helpText(command);
    return invocation;
}

// The help options' descriptions are never shown: the help text is written out whole.
QCommandLineOption helpOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
}

QCommandLineOption valueOption(const QStringList &names)
{
    return QCommandLineOption(names, QString(), QStringLiteral("value"));
}

// A number of a row: digits only, from 1.
bool rowNumber(QStringView text, int *number)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        }))
        return false;
    bool ok = false;
    *number = text.toInt(&ok);
    return ok && *number >= 1;
}

// What a command takes after its name: its options and its files.
Invocation parseCommand(Invocation::Command command, const QString &program,
                        const QStringList &rest)
{
    QCommandLineParser parser;
    const QCommandLineOption helpOpt = helpOption();
    const QCommandLineOption strict(QStringLiteral("strict"));
    const QCommandLineOption output = valueOption({QStringLiteral("o"), QStringLiteral("output")});
    const QCommandLineOption rows = valueOption({QStringLiteral("rows")});
    const QCommandLineOption voice = valueOption({QStringLiteral("voice")});
    const QCommandLineOption from = valueOption({QStringLiteral("from")});
    const bool synthesizes =
        command == Invocation::Command::Speak || command == Invocation::Command::Reading;
    parser.addOption(helpOpt);
    if (command == Invocation::Command::Check)
        parser.addOption(strict);
    if (command == Invocation::Command::Convert || command == Invocation::Command::Speak)
        parser.addOption(output);
    if (command == Invocation::Command::Convert)
        parser.addOption(from);
    if (synthesizes) {
        parser.addOption(rows);
        parser.addOption(voice);
    }
    if (!parser.parse(QStringList{program} + rest))
        return usageError(parser.errorText());
    if (parser.isSet(helpOpt))
        return help(command);
    // An option given twice is a mistake in a script more often than a change of mind:
    // taking the last one silently could write where the first one meant.
    const QStringList given = parser.optionNames(); // once per use, as spelt
    for (const QCommandLineOption &option : {output, rows, voice, from}) {
        if (std::count_if(given.begin(), given.end(),
                          [&](const QString &name) { return option.names().contains(name); })
            > 1)
            return usageError(CliTexts::tr("--%1 は1回だけ指定してください")
                                  .arg(option.names().constLast()));
    }

    Invocation invocation;
    invocation.action = Invocation::Action::Run;
    invocation.command = command;
    const QStringList files = parser.positionalArguments();
    if (command == Invocation::Command::Check) {
        if (files.isEmpty())
            return usageError(CliTexts::tr("確かめるファイルを指定してください"));
        invocation.files = files;
        invocation.strict = parser.isSet(strict);
        return invocation;
    }
    if (command == Invocation::Command::Reading) {
        if (files.isEmpty())
            return usageError(CliTexts::tr("読みを調べるファイルを指定してください"));
        invocation.files = files;
    } else {
        if (files.size() != 1)
            return usageError(files.isEmpty()
                                  ? CliTexts::tr("読み込むファイルを指定してください")
                                  : CliTexts::tr("読み込むファイルは1つだけです: %1")
                                        .arg(files.join(u' ')));
        invocation.input = files.first();
        invocation.output = parser.value(output);
        if (invocation.output.isEmpty())
            return usageError(command == Invocation::Command::Convert
                                  ? CliTexts::tr("書き出すファイルを -o で指定してください")
                                  : CliTexts::tr("WAV を書き出すフォルダーを -o で指定してください"));
    }
    if (command == Invocation::Command::Convert && parser.isSet(from)) {
        const QString value = parser.value(from);
        if (value == u"utf-8")
            invocation.unmarked = broadcast_file::UnmarkedText::Utf8;
        else if (value == u"cp932")
            invocation.unmarked = broadcast_file::UnmarkedText::Cp932;
        else
            return usageError(CliTexts::tr("--from には utf-8 か cp932 を指定してください: %1")
                                  .arg(value));
    }
    if (synthesizes) {
        if (parser.isSet(rows) && !parseRowSelection(parser.value(rows), &invocation.rows))
            return usageError(CliTexts::tr("--rows の行の指定が正しくありません: %1"
                                                  "（例: 3-7、5、2,4-6、10-）")
                                  .arg(parser.value(rows)));
        invocation.voice = parser.value(voice);
        if (parser.isSet(voice) && invocation.voice.isEmpty())
            return usageError(CliTexts::tr("--voice に声のファイルを指定してください"));
    }
    return invocation;
}

} // namespace

Invocation parseArguments(const QStringList &arguments)
{
    const QString program = arguments.value(0);
    QCommandLineParser parser;
    // Everything from the command's name on is the command's to read.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption helpOpt = helpOption();
    const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
    parser.addOption(helpOpt);
    parser.addOption(version);
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOpt))
        return help(Invocation::Command::None);
    if (parser.isSet(version)) {
        Invocation invocation;
        invocation.action = Invocation::Action::Version;
        return invocation;
    }

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return usageError(CliTexts::tr("コマンドを指定してください（check、convert、speak、reading）"));
    for (const CommandName &name : kCommands) {
        if (words.first() == QStringView(name.name))
            return parseCommand(name.command, program, words.mid(1));
    }
    return usageError(CliTexts::tr("「%1」というコマンドはありません（check、convert、speak、reading）")
                          .arg(words.first()));
}

bool parseRowSelection(const QString &text, std::vector<RowRange> *ranges)
{
    ranges->clear();
    for (const QStringView part : QStringView(text).split(u',')) {
        RowRange range;
        const qsizetype dash = part.indexOf(u'-');
        if (dash < 0) {
            if (!rowNumber(part, &range.first))
                return false;
            range.last = range.first;
        } else {
            const QStringView from = part.left(dash);
            const QStringView to = part.mid(dash + 1);
            if ((from.isEmpty() && to.isEmpty()) || (!from.isEmpty() && !rowNumber(from, &range.first))
                || (!to.isEmpty() && !rowNumber(to, &range.last)))
                return false;
            if (range.last != 0 && range.last < range.first)
                return false;
        }
        ranges->push_back(range);
    }
    return !ranges->empty();
}
