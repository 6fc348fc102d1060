#include "recovery/recovery_offer.h"

#include "platform/dialogs/message_box.h"
#include "platform/list/list_view.h"
#include "platform/runtime/runtime_error.h"
#include "recovery/journal_replay.h"
#include "recovery/recovery_journal.h"
#include "table/table_editor.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>

namespace {

const QString kQuestion = QStringLiteral("保存されていない編集内容が残っています。復元しますか？");
const QString kTitle = QStringLiteral("編集内容の復元");

// Puts a recovered table back: the rows, the row that was selected loaded as a click
// loads it, then the editor as the operator left it.
void restore(const journal::RecoveredTable &recovered, TableEditor &table,
             RecoveryJournal &journal)
{
    journal.setPaused(true);
    ListView &list = *table.ListView1;
    list.Clear();
    list.AppendRows(recovered.rows);
    if (const auto &editor = recovered.editor) {
        if (editor->selectedRow >= 1 && editor->selectedRow <= list.Count()) {
            try {
                table.loadAndSelect(list.Item(editor->selectedRow));
            } catch (const RuntimeError &) {
                // A row past CurrentRow's range was never loaded; the editor comes back below.
            }
        }
        table.Text1->setText(editor->text);
        table.Check1->setChecked(editor->fareChecked);
        if (editor->option >= 0)
            table.Option1[size_t(editor->option)]->setChecked(true);
    }
    journal.setPaused(false);
    journal.recordRestored();
}

} // namespace

void offerRecovery(RecoveryJournal &journal, TableEditor &table, IMessageBox &messageBox)
{
    RecoveryStore &store = journal.store();
    store.pruneDiscarded();
    std::vector<RecoveryStore::Claim> dead = store.claimDead();
    QStringList notes;
    bool restored = false;
    for (RecoveryStore::Claim &claim : dead) {
        if (restored) {
            RecoveryStore::release(claim); // offered at the next start
            continue;
        }
        const journal::ReplayOutcome outcome = journal::replayFile(claim.path);
        if (!outcome.table) {
            store.discard(claim);
            notes << QStringLiteral("読み込めない復元用の記録を %1 に移しました（%2）")
                         .arg(QDir::toNativeSeparators(store.discardedFolder()), outcome.problem);
            continue;
        }
        if (!outcome.table->unsaved) {
            store.remove(claim);
            continue;
        }
        QStringList prompt{kQuestion};
        prompt << notes;
        notes.clear();
        if (messageBox.show(prompt.join(QStringLiteral("\r\n")), IMessageBox::YesNo,
                            IMessageBox::Question, kTitle)
            == IMessageBox::Yes) {
            restore(*outcome.table, table, journal);
            store.remove(claim);
            restored = true;
        } else {
            store.discard(claim);
        }
    }
    if (!notes.isEmpty())
        messageBox.show(notes.join(QStringLiteral("\r\n")), IMessageBox::OkOnly,
                        IMessageBox::Exclamation, kTitle);
}
