#include "trend/trend_grid_model.h"

#include "data/open_lottery.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace lumaro {

TrendGridModel::TrendGridModel(const OpenLottery &lottery, QObject *parent)
    : QAbstractTableModel(parent)
    , m_lottery(lottery)
{
    reload();
}

void TrendGridModel::reload()
{
    beginResetModel();
    m_rows = m_lottery.trendText.rowCount();
    m_columns = m_lottery.n + 4;
    endResetModel();
}

int TrendGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TrendGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

int TrendGridModel::drawIndex(int row) const
{
    return m_rows - 1 - row;
}

bool TrendGridModel::isSeparatorColumn(int column) const
{
    return column == 2 || column == m_columns - 1;
}

bool TrendGridModel::isNumberColumn(int column) const
{
    return column >= 3 && column < m_columns - 1;
}

QColor TrendGridModel::numberColumnColour()
{
    return QColor(150, 150, 100);
}

QColor TrendGridModel::separatorColour()
{
    return QColor(100, 100, 100);
}

QVariant TrendGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return QVariant();
    const int column = index.column();
    const int draw = drawIndex(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (column <= 1)
            return m_lottery.trendText.cell(draw, column);
        if (isNumberColumn(column))
            return m_lottery.trendText.marked(draw, column) ? QStringLiteral("●") : QString();
        return QVariant();
    case Qt::BackgroundRole:
        if (isSeparatorColumn(column))
            return separatorColour();
        if (isNumberColumn(column))
            return numberColumnColour();
        return QGuiApplication::palette().color(QPalette::ToolTipBase);
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
        return QVariant();
    }
}

QVariant TrendGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole) {
        if (section == 0)
            return QStringLiteral("记录期号");
        if (section == 1)
            return QStringLiteral("开奖号码");
        if (isNumberColumn(section))
            return QString::number(m_lottery.trendText.valueOfColumn(section));
        return QString();
    }
    if (role == Qt::BackgroundRole) {
        if (isSeparatorColumn(section))
            return separatorColour();
        if (isNumberColumn(section))
            return numberColumnColour();
        return QGuiApplication::palette().color(QPalette::ToolTipBase);
    }
    return QVariant();
}

} // namespace lumaro
