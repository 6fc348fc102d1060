#include "platform/list/list_item.h"

#include "platform/list/list_model.h"
#include "platform/list/list_view.h"
#include "platform/list/report_view.h"
#include "platform/runtime/runtime_error.h"

#include <QItemSelectionModel>

namespace {
RuntimeError objectNotSet()
{
    return RuntimeError(91, QStringLiteral(
        "オブジェクト変数または With ブロック変数が設定されていません。"));
}

RuntimeError itemRemoved()
{
    return RuntimeError(35605, QStringLiteral("このコントロールは削除されています。"));
}

const QString &fieldOf(const BroadcastRow &row, int field)
{
    return field == 1 ? row.FareSignal : field == 2 ? row.SoundSignal : row.Content;
}

void checkSubItem(int i)
{
    if (i != 1 && i != 2)
        throw RuntimeError(380, QStringLiteral("プロパティの値が不正です。"));
}
} // namespace

const ItemAnchor &ListItem::anchor() const
{
    if (!m_anchor)
        throw objectNotSet();
    return *m_anchor;
}

bool ListItem::isInList() const
{
    return m_anchor && m_anchor->list && m_anchor->pos >= 0;
}

int ListItem::Index() const
{
    const ItemAnchor &a = anchor();
    if (a.pos < 0)
        throw itemRemoved();
    return a.pos + 1;
}

static QString readField(const ItemAnchor &a, int field)
{
    if (a.pos < 0)
        return fieldOf(a.detached, field);
    return fieldOf(a.list->model()->row(a.pos), field);
}

static void writeField(const ItemAnchor &a, int field, const QString &text)
{
    if (a.pos < 0) {
        BroadcastRow &row = const_cast<ItemAnchor &>(a).detached;
        (field == 1 ? row.FareSignal : field == 2 ? row.SoundSignal : row.Content) = text;
        return;
    }
    a.list->model()->setField(a.pos, field, text);
}

QString ListItem::Text() const
{
    return readField(anchor(), 0);
}

void ListItem::SetText(const QString &text) const
{
    writeField(anchor(), 0, text);
}

QString ListItem::SubItem(int i) const
{
    checkSubItem(i);
    return readField(anchor(), i);
}

void ListItem::SetSubItem(int i, const QString &text) const
{
    checkSubItem(i);
    writeField(anchor(), i, text);
}

bool ListItem::Selected() const
{
    const ItemAnchor &a = anchor();
    return a.pos >= 0 && a.list->view()->selectedRow() == a.pos;
}

void ListItem::SetSelected(bool selected) const
{
    const ItemAnchor &a = anchor();
    if (a.pos < 0)
        throw itemRemoved();
    if (selected)
        a.list->selectRow(a.pos);
    else if (a.list->view()->selectedRow() == a.pos)
        a.list->view()->selectionModel()->clearSelection();
}

bool ListItem::sameRowAs(const ListItem &other) const
{
    if (!m_anchor || !other.m_anchor)
        return false;
    if (m_anchor == other.m_anchor)
        return true;
    return isInList() && other.isInList() && m_anchor->list == other.m_anchor->list
        && m_anchor->pos == other.m_anchor->pos;
}
