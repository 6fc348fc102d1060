#include "platform/list/list_view.h"

#include "platform/list/list_model.h"
#include "platform/list/report_view.h"
#include "platform/runtime/runtime_error.h"

#include <QItemSelectionModel>

#include <algorithm>

ListView::ListView(QWidget *parentWidget)
    : QObject(parentWidget), m_model(new ListModel(this)), m_view(new ReportView(parentWidget))
{
    m_view->setModel(m_model);
    connect(m_view, &ReportView::rowChosen, this,
            [this](int row) { emit ItemClick(ListItem::follow(this, row)); });
}

ListView::~ListView()
{
    // References may outlive the list; emptying it first lets them keep their values.
    m_model->clear();
}

int ListView::Count() const
{
    return m_model->rowCount();
}

void ListView::checkIndex(int index) const
{
    if (index < 1 || index > Count())
        throw RuntimeError::indexOutOfBounds();
}

ListItem ListView::Add(int index, const QString &text)
{
    const int count = Count();
    if (index < 0 || index > count + 1)
        throw RuntimeError::indexOutOfBounds();
    const int pos = index == 0 ? count : index - 1;
    m_model->insertRowAt(pos, BroadcastRow{text, {}, {}});
    return ListItem::follow(this, pos);
}

ListItem ListView::Item(int index)
{
    checkIndex(index);
    return ListItem::follow(this, index - 1);
}

void ListView::Remove(int index)
{
    checkIndex(index);
    const int pos = index - 1;
    const bool wasSelected = m_view->selectedRow() == pos;
    m_model->removeRowAt(pos);
    // The row that takes the removed row's place, or the new last row, is selected next.
    if (wasSelected && Count() > 0)
        selectRow(std::min(pos, Count() - 1));
}

void ListView::Clear()
{
    m_model->clear();
}

ListItem ListView::SelectedItem()
{
    const int row = m_view->selectedRow();
    return row < 0 ? ListItem() : ListItem::follow(this, row);
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
