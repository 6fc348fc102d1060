#pragma once

#include "platform/list/list_item.h"
#include "row/broadcast_row.h"

#include <QObject>
#include <vector>

class ListModel;
class ReportView;
class QWidget;

// The report list that holds the broadcast table: the operations the handlers use on it,
// over a model of contiguous rows shown by a ReportView. Row numbers are 1-based.
class ListView final : public QObject
{
    Q_OBJECT
public:
    explicit ListView(QWidget *parentWidget);
    ~ListView() override;

    ReportView *view() const { return m_view; }
    ListModel *model() const { return m_model; }

    int Count() const;
    // Adds a row with the given text and empty sub-items, at row number index (1 to
    // Count() + 1) or, with index 0, at the end. Returns the new row.
    ListItem Add(int index, const QString &text);
    ListItem Item(int index);
    void Remove(int index);
    void Clear();
    // The selected row, or Nothing.
    ListItem SelectedItem();
    void SetFocus();

    // Bulk access for loading and saving whole files.
    void AppendRows(std::vector<BroadcastRow> rows);
    const std::vector<BroadcastRow> &Rows() const;

signals:
    // The user chose a row with the mouse or the keyboard.
    void ItemClick(const ListItem &item);

private:
    friend class ListItem;

    void checkIndex(int index) const;
    void selectRow(int pos);

    ListModel *m_model;
    ReportView *m_view;
};
