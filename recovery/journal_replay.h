#pragma once

#include "recovery/journal_records.h"

#include <QString>

#include <optional>
#include <vector>

namespace journal {

// What a journal gives back: the table, the row editor if it was recorded, and whether
// they hold work the operator did not save.
struct RecoveredTable
{
    std::vector<BroadcastRow> rows;
    std::optional<EditorState> editor;
    bool unsaved = false;
};

struct ReplayOutcome
{
    std::optional<RecoveredTable> table; // empty when the journal cannot be used
    QString problem;                     // why not, in the operator's words
    bool torn = false;                   // its last record was cut short and left out
};

// Rebuilds the table and editor from a journal's bytes, record by record, up to the first
// record that is cut short or fails its checksum (a power cut in the middle of a write):
// what came before it is whole. A file that is no journal, or a whole record that makes
// no sense, gives a problem instead, never a crash.
ReplayOutcome replay(QByteArrayView bytes);

// The same for the journal at path; a journal too large for the memory this process can
// have is refused before it is read.
ReplayOutcome replayFile(const QString &path);

} // namespace journal
