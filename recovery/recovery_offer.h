#pragma once

class IMessageBox;
class RecoveryJournal;
class TableEditor;

// At start-up: the journals of windows that died with work the operator had not saved are
// offered one at a time, newest first. Yes puts the table and editor back into this window
// (and no further journal is offered until the next start); No moves the journal aside to
// discarded/, where it stays a week. A journal that cannot be read is moved aside too, and
// said so in a line of its own.
void offerRecovery(RecoveryJournal &journal, TableEditor &table, IMessageBox &messageBox);
