#include "platform/list/list_item.h"

#include "platform/list/list_model.h"
#include "platform/list/list_view.h"
#include "platform/list/report_view.h"
#include "platform/runtime/runtime_error.h"

#include <QItemSelectionModel>
#include <QPersistentModelIndex>

// Where a reference points. Qt keeps the persistent index on its row as rows are inserted
// and removed above it; just before the row leaves the model, its values are kept here.
struct ListItem::Row
{
    ListView *list = nullptr;
    QPersistentModelIndex index;
    BroadcastRow last;
    QMetaObject::Connection removing;
    QMetaObject::Connection resetting;

    ~Row() { forgetModel(); }

    bool inList() const { return index.isValid(); }
    const BroadcastRow &values() const
    {
        return inList() ? static_cast<const ListModel *>(index.model())->row(index.row()) : last;
    }

    void leaveList()
    {
        if (inList())
            last = values();
        index = QPersistentModelIndex();
        list = nullptr;
        forgetModel();
    }

    // field: 0 the text, 1 and 2 the sub-items.
    void write(int field, const QString &text)
    {
        if (!inList()) {
            (field == 1 ? last.FareSignal : field == 2 ? last.SoundSignal : last.Content) = text;
            return;
        }
        list->model()->setField(index.row(), field, text);
    }

    void forgetModel()
    {
        QObject::disconnect(removing);
        QObject::disconnect(resetting);
    }
};

namespace {

const QString &fieldOf(const BroadcastRow &row, int field)
{
    return field == 1 ? row.FareSignal : field == 2 ? row.SoundSignal : row.Content;
}

void checkSubItem(int i)
{
    if (i != 1 && i != 2)
        throw RuntimeError::invalidPropertyValue();
}

} // namespace

ListItem ListItem::follow(ListView *list, int pos)
{
    ListModel *model = list->model();
    auto row = std::make_shared<Row>();
    row->list = list;
    row->index = QPersistentModelIndex(model->index(pos, 0));
    const std::weak_ptr<Row> weak = row;
    row->removing = QObject::connect(
        model, &QAbstractItemModel::rowsAboutToBeRemoved, model,
        [weak](const QModelIndex &, int first, int last) {
            const auto r = weak.lock();
            if (r && r->inList() && r->index.row() >= first && r->index.row() <= last)
                r->leaveList();
        });
    row->resetting = QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, model,
                                      [weak] {
                                          if (const auto r = weak.lock())
                                              r->leaveList();
                                      });
    return ListItem(std::move(row));
}

ListItem::Row &ListItem::row() const
{
    if (!m_row)
        throw RuntimeError::objectNotSet();
    return *m_row;
}

bool ListItem::isInList() const
{
    return m_row && m_row->inList();
}

int ListItem::Index() const
{
    const Row &r = row();
    if (!r.inList())
        throw RuntimeError::controlRemoved();
    return r.index.row() + 1;
}

QString ListItem::Text() const
{
    return row().values().Content;
}

void ListItem::SetText(const QString &text) const
{
    row().write(0, text);
}

QString ListItem::SubItem(int i) const
{
    checkSubItem(i);
    return fieldOf(row().values(), i);
}

void ListItem::SetSubItem(int i, const QString &text) const
{
    checkSubItem(i);
    row().write(i, text);
}

bool ListItem::Selected() const
{
    const Row &r = row();
    return r.inList() && r.list->view()->selectedRow() == r.index.row();
}

void ListItem::SetSelected(bool selected) const
{
    const Row &r = row();
    if (!r.inList())
        throw RuntimeError::controlRemoved();
    if (selected)
        r.list->selectRow(r.index.row());
    else if (r.list->view()->selectedRow() == r.index.row())
        r.list->view()->selectionModel()->clearSelection();
}

bool ListItem::sameRowAs(const ListItem &other) const
{
    if (!m_row || !other.m_row)
        return false;
    return m_row == other.m_row || (isInList() && other.isInList() && m_row->index == other.m_row->index);
}
