#include "platform/list/report_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ReportView::ReportView(QWidget *parent) : QTableView(parent)
{
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // Every row has the same height, so a large table lays out and scrolls in constant time.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setDragEnabled(false);
    // Tab and Shift+Tab go on to the next control, as from any other control of the
    // window; a report list has no cells to visit.
    setTabKeyNavigation(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The chosen row stays visible while the editor has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
}

int ReportView::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QItemSelectionModel::SelectionFlags ReportView::selectionCommand(const QModelIndex &index,
                                                                 const QEvent *) const
{
    // Never toggle or clear: a click on the empty area, Ctrl+click or Ctrl+Space leaves the
    // selection alone, and any row the user moves to becomes the one selected row.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void ReportView::mousePressEvent(QMouseEvent *event)
{
    m_pressedRow = -1;
    if (event->button() != Qt::LeftButton) {
        event->accept(); // other buttons neither choose nor select a row
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ControlModifier) && index.row() == selectedRow()) {
        event->accept(); // Ctrl+click on the chosen row: nothing happens
        return;
    }
    m_pressedRow = index.row();
    m_selectedBeforePress = selectedRow();
    QTableView::mousePressEvent(event);
}

void ReportView::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging with a button held must not move the selection away from the pressed row.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void ReportView::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = m_pressedRow;
    m_pressedRow = -1;
    if (event->button() != Qt::LeftButton || pressed < 0) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    const int chosen = selectedRow();
    // A press selects at once; report it even when the button is let go elsewhere, so the
    // selected row and the row in the editor never part.
    if (chosen >= 0
        && (chosen != m_selectedBeforePress || (index.isValid() && index.row() == pressed)))
        emit rowChosen(chosen);
}

void ReportView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click chooses the row again, like a single click.
    mousePressEvent(event);
}

void ReportView::keyPressEvent(QKeyEvent *event)
{
    // Qt's views copy the current cell to the system clipboard. The tool's clipboard is its
    // own (the copy button), and another program must not get rows behind its back.
    if (event->matches(QKeySequence::Copy)
        || event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Insert)) {
        event->accept();
        return;
    }
    const int before = selectedRow();
    QTableView::keyPressEvent(event);
    const int after = selectedRow();
    if (after >= 0 && after != before)
        emit rowChosen(after);
    // Keep the keyboard's current row on the selected row, so the next key moves from it;
    // whoever was told of the choice may have put the selection back.
    const int selected = selectedRow();
    if (selected >= 0 && currentIndex().row() != selected)
        selectionModel()->setCurrentIndex(model()->index(selected, 0),
                                          QItemSelectionModel::NoUpdate);
}

QModelIndex ReportView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // In a list of rows, Home and End go to the first and last row, not to a column.
    if (cursorAction == MoveHome || cursorAction == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(cursorAction, modifiers);
}

void ReportView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}
