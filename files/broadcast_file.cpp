#include "files/broadcast_file.h"

#include "platform/list/list_view.h"

void WriteBroadcastFile(ListView &list, const QString &path)
{
    if (const auto problem = broadcast_file::writeFile(path, list.Rows()))
        throw BroadcastFileError(*problem);
}

void ReadBroadcastFile(ListView &list, const QString &path, broadcast_file::ReadTap *tap)
{
    broadcast_file::ReadOutcome outcome =
        broadcast_file::readFile(path, broadcast_file::RowLines::Skip, tap);
    list.AppendRows(std::move(outcome.rows));
    if (outcome.problem)
        throw BroadcastFileError(*outcome.problem);
}
