#pragma once

#include <QString>
#include <memory>

class ListView;

// A counted reference to one row of a ListView, as handlers hold them (WorkItem, NewItem,
// a handler's Item). It keeps naming the same row when rows are inserted or removed above
// it. A reference to a removed row keeps the row's last values but belongs to no table.
// A default-constructed reference is "Nothing": using it raises run-time error 91.
class ListItem
{
public:
    ListItem() = default;

    bool isNothing() const { return !m_row; }
    // True while the row is still in its list.
    bool isInList() const;

    int Index() const; // 1-based row number
    QString Text() const;
    void SetText(const QString &text) const;
    QString SubItem(int i) const; // i = 1 or 2
    void SetSubItem(int i, const QString &text) const;
    bool Selected() const;
    void SetSelected(bool selected) const;

    bool sameRowAs(const ListItem &other) const;

private:
    friend class ListView;
    struct Row;
    // A reference to the row at 0-based position pos of list.
    static ListItem follow(ListView *list, int pos);
    explicit ListItem(std::shared_ptr<Row> row) : m_row(std::move(row)) {}
    Row &row() const;

    std::shared_ptr<Row> m_row;
};
