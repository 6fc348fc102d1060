#include "cli/reading_command.h"

#include "cli/cli_messages.h"
#include "cli/reading_run.h"
#include "cli/synthesis_input.h"
#include "files/broadcast_file_io.h"

#include <QEventLoop>
#include <QTimer>

using CliMessages::at;

int runReading(const QStringList &files, const std::vector<RowRange> &ranges, const QString &voice)
{
    // Every file is read first: one that cannot be is reported and the others still are,
    // all of them in one run that keeps every core busy.
    bool problems = false;
    std::vector<SynthesisRow> rows;
    for (const QString &file : files) {
        const broadcast_file::ReadOutcome read =
            broadcast_file::readFile(file, broadcast_file::RowLines::Keep);
        if (read.problem) {
            CliMessages::printErr(at(file, read.problem->line, read.problem->cause));
            problems = true;
            continue;
        }
        const std::optional<std::vector<int>> picked = pickRows(file, ranges, int(read.rows.size()));
        if (!picked) {
            problems = true;
            continue;
        }
        for (const int i : *picked)
            rows.push_back({file, i + 1, read.rowLines[std::size_t(i)], read.rows[std::size_t(i)].Content});
    }
    // Files without rows need no synthesizer.
    if (rows.empty())
        return problems ? 1 : 0;
    const std::optional<SynthesisSetup> how = findSynthesis(voice);
    if (!how)
        return 1;

    QEventLoop loop;
    auto *run = new ReadingRun(*how, std::move(rows), &loop);
    QObject::connect(run, &ReadingRun::finished, &loop, &QEventLoop::exit);
    QTimer::singleShot(0, run, &ReadingRun::start);
    const int status = loop.exec();
    return problems ? 1 : status;
}
