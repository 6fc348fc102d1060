#include "platform/list/list_model.h"

namespace {

// What a cell shows of a field at the most. The view elides a cell's text to its width,
// laying the whole text out to do so: a row holding a document would take seconds on every
// repaint. A column shows a few dozen characters; the rows keep every character.
constexpr qsizetype kShownCharacters = 1000;

QString &fieldOf(BroadcastRow &row, int field)
{
    switch (field) {
    case ListModel::FareColumn: return row.FareSignal;
    case ListModel::SoundColumn: return row.SoundSignal;
    default: return row.Content;
    }
}
} // namespace

ListModel::ListModel(QObject *parent) : QAbstractTableModel(parent) {}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    auto &row = const_cast<BroadcastRow &>(m_rows[static_cast<size_t>(index.row())]);
    const QString &text = fieldOf(row, index.column());
    if (text.size() <= kShownCharacters)
        return text;
    const qsizetype cut = text[kShownCharacters - 1].isHighSurrogate() ? kShownCharacters - 1
                                                                         : kShownCharacters;
    return QString(text.left(cut) + QChar(u'…'));
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ContentColumn: return QStringLiteral("放送内容");
    case FareColumn: return QStringLiteral("運賃切替信号");
    case SoundColumn: return QStringLiteral("サウンド指定信号");
    default: return {};
    }
}

Qt::ItemFlags ListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Rows are changed only by the window's commands, never edited in place.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ListModel::insertRowAt(int pos, BroadcastRow row)
{
    beginInsertRows(QModelIndex(), pos, pos);
    m_rows.insert(m_rows.begin() + pos, std::move(row));
    endInsertRows();
}

void ListModel::removeRowAt(int pos)
{
    beginRemoveRows(QModelIndex(), pos, pos);
    m_rows.erase(m_rows.begin() + pos);
    endRemoveRows();
}

void ListModel::appendRows(std::vector<BroadcastRow> rows)
{
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    }
    endInsertRows();
}

void ListModel::clear()
{
    beginResetModel();
    std::vector<BroadcastRow>().swap(m_rows);
    endResetModel();
}

void ListModel::setField(int pos, int field, const QString &text)
{
    fieldOf(m_rows[static_cast<size_t>(pos)], field) = text;
    const QModelIndex changed = index(pos, field);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}
