#include "shell/table_model.h"

namespace lumaro {

FunctionTableModel::FunctionTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void FunctionTableModel::setHeaders(const QStringList &headers)
{
    beginResetModel();
    m_headers = headers;
    endResetModel();
}

void FunctionTableModel::setContent(int rows, CellFn display, CellFn background, CellFn foreground)
{
    beginResetModel();
    m_rows = rows;
    m_display = std::move(display);
    m_background = std::move(background);
    m_foreground = std::move(foreground);
    endResetModel();
}

void FunctionTableModel::refresh()
{
    if (m_rows > 0 && !m_headers.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, static_cast<int>(m_headers.size()) - 1));
}

int FunctionTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int FunctionTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant FunctionTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || !m_display)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case RawValueRole:
        return m_display(index.row(), index.column());
    case Qt::BackgroundRole:
        return m_background ? m_background(index.row(), index.column()) : QVariant();
    case Qt::ForegroundRole:
        return m_foreground ? m_foreground(index.row(), index.column()) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_alignment);
    default:
        return QVariant();
    }
}

QVariant FunctionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers[section];
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return QVariant();
}

} // namespace lumaro
