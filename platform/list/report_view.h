#pragma once

#include <QTableView>

// The report-style list as the user handles it: a table view dressed as a report list (no
// grid, no row headers, whole rows selected), since it takes a row added or removed in
// constant time, where a tree view lays out every row again.
//
// Whatever the mouse or keyboard does, the list keeps exactly one row selected while it
// holds rows, and every user action that chooses a row (or clicks the chosen one again) is
// reported through rowChosen, which the window routes to its item-click handler. Rows
// selected by code are not reported.
class ReportView final : public QTableView
{
    Q_OBJECT
public:
    explicit ReportView(QWidget *parent);

    int selectedRow() const; // 0-based, -1 when none
    QHeaderView *header() const { return horizontalHeader(); }

signals:
    void rowChosen(int row);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    int m_pressedRow = -1;
    int m_selectedBeforePress = -1;
};
