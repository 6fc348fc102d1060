#include "platform/list/list_view.h"

#include "platform/list/list_model.h"
#include "platform/list/report_view.h"
#include "platform/runtime/runtime_error.h"

#include <QItemSelectionModel>
#include <algorithm>

namespace {
RuntimeError indexOutOfBounds()
{
    return RuntimeError(35600, QStringLiteral("インデックスが有効範囲にありません。"));
}
} // namespace

ItemAnchor::~ItemAnchor()
{
    if (list) {
        auto &anchors = list->m_anchors;
        anchors.erase(std::remove(anchors.begin(), anchors.end(), this), anchors.end());
    }
}

ListView::ListView(QWidget *parentWidget)
    : QObject(parentWidget), m_model(new ListModel(this)), m_view(new ReportView(parentWidget))
{
    m_view->setModel(m_model);
    connect(m_view, &ReportView::rowChosen, this,
            [this](int row) { emit ItemClick(referenceTo(row)); });
}

ListView::~ListView()
{
    // References may outlive the list; they keep their values and forget the list.
    for (ItemAnchor *anchor : m_anchors) {
        if (anchor->pos >= 0)
            anchor->detached = m_model->row(anchor->pos);
        anchor->pos = -1;
        anchor->list = nullptr;
    }
}

int ListView::Count() const
{
    return m_model->rowCount();
}

void ListView::checkIndex(int index) const
{
    if (index < 1 || index > Count())
        throw indexOutOfBounds();
}

ListItem ListView::referenceTo(int pos)
{
    auto anchor = std::make_shared<ItemAnchor>(this, pos);
    m_anchors.push_back(anchor.get());
    return ListItem(std::move(anchor));
}

ListItem ListView::Add(int index, const QString &text)
{
    const int count = Count();
    if (index < 0 || index > count + 1)
        throw indexOutOfBounds();
    const int pos = index == 0 ? count : index - 1;
    for (ItemAnchor *anchor : m_anchors) {
        if (anchor->pos >= pos)
            ++anchor->pos;
    }
    m_model->insertRowAt(pos, BroadcastRow{text, {}, {}});
    return referenceTo(pos);
}

ListItem ListView::Item(int index)
{
    checkIndex(index);
    return referenceTo(index - 1);
}

void ListView::Remove(int index)
{
    checkIndex(index);
    const int pos = index - 1;
    const bool wasSelected = m_view->selectedRow() == pos;
    for (ItemAnchor *anchor : m_anchors) {
        if (anchor->pos == pos) {
            anchor->detached = m_model->row(pos);
            anchor->pos = -1;
        } else if (anchor->pos > pos) {
            --anchor->pos;
        }
    }
    m_model->removeRowAt(pos);
    // The row that takes the removed row's place, or the new last row, is selected next.
    if (wasSelected && Count() > 0)
        selectRow(std::min(pos, Count() - 1));
}

void ListView::Clear()
{
    for (ItemAnchor *anchor : m_anchors) {
        if (anchor->pos >= 0)
            anchor->detached = m_model->row(anchor->pos);
        anchor->pos = -1;
    }
    m_model->clear();
}

ListItem ListView::SelectedItem()
{
    const int row = m_view->selectedRow();
    return row < 0 ? ListItem() : referenceTo(row);
}

void ListView::SetFocus()
{
    m_view->setFocus(Qt::OtherFocusReason);
}

void ListView::AppendRows(std::vector<BroadcastRow> rows)
{
    m_model->appendRows(std::move(rows));
}

const std::vector<BroadcastRow> &ListView::Rows() const
{
    return m_model->rows();
}

void ListView::selectRow(int pos)
{
    const QModelIndex index = m_model->index(pos, 0);
    m_view->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
}
