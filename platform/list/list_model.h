#pragma once

#include "row/broadcast_row.h"

#include <QAbstractTableModel>
#include <vector>

// The rows of the report list, held contiguously so that a row is fetched by number in
// constant time and a large file loads into one vector.
class ListModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ContentColumn = 0, FareColumn = 1, SoundColumn = 2, ColumnCount = 3 };

    explicit ListModel(QObject *parent);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Row numbers here are 0-based positions.
    const BroadcastRow &row(int pos) const { return m_rows[static_cast<size_t>(pos)]; }
    const std::vector<BroadcastRow> &rows() const { return m_rows; }
    void insertRowAt(int pos, BroadcastRow row);
    void removeRowAt(int pos);
    void appendRows(std::vector<BroadcastRow> rows);
    void clear();
    // field: 0 text, 1 sub-item 1, 2 sub-item 2
    void setField(int pos, int field, const QString &text);

private:
    std::vector<BroadcastRow> m_rows;
};
