#include "trend/trend_grid_model.h"

#include "common/text_format.h"
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
    m_frontColumns = m_lottery.n + 4;
    m_columns = m_frontColumns;
    // The back block only when every row has its back numbers.
    if (m_lottery.twoZone() && m_lottery.backTable.rowCount() == m_rows) {
        m_back = BackTrendText(m_lottery.backTable, m_lottery.backN);
        m_columns += m_lottery.backN + 1;
    } else {
        m_back = BackTrendText();
    }
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
    return column == 2 || column == m_frontColumns - 1 || column == m_columns - 1;
}

bool TrendGridModel::isNumberColumn(int column) const
{
    return column >= 3 && column < m_frontColumns - 1;
}

bool TrendGridModel::isBackColumn(int column) const
{
    return hasBackBlock() && column >= m_frontColumns && column < m_columns - 1;
}

QColor TrendGridModel::numberColumnColour()
{
    return QColor(150, 150, 100);
}

QColor TrendGridModel::separatorColour()
{
    return QColor(100, 100, 100);
}

QColor TrendGridModel::backColumnColour()
{
    return QColor(150, 185, 230);
}

QColor TrendGridModel::backMarkColour()
{
    return QColor(0, 40, 140);
}

QString TrendGridModel::drawText(int draw) const
{
    const QString front = m_lottery.trendText.cell(draw, 1);
    if (!hasBackBlock())
        return front;
    return front + QStringLiteral(" + ") + m_back.cell(draw, 0);
}

QVariant TrendGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return QVariant();
    const int column = index.column();
    const int draw = drawIndex(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (column == 0)
            return m_lottery.trendText.cell(draw, 0);
        if (column == 1)
            return drawText(draw);
        if (isNumberColumn(column))
            return m_lottery.trendText.marked(draw, column) ? QStringLiteral("●") : QString();
        if (isBackColumn(column))
            return m_back.marked(draw, backNumberOfColumn(column)) ? QStringLiteral("●") : QString();
        return QVariant();
    case Qt::BackgroundRole:
        if (isSeparatorColumn(column))
            return separatorColour();
        if (isNumberColumn(column))
            return numberColumnColour();
        if (isBackColumn(column))
            return backColumnColour();
        return QGuiApplication::palette().color(QPalette::ToolTipBase);
    case Qt::ForegroundRole:
        return isBackColumn(column) ? backMarkColour() : QColor(Qt::black);
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
        if (isBackColumn(section))
            return QString(QStringLiteral("后") + Pad2(backNumberOfColumn(section)));
        return QString();
    }
    if (role == Qt::BackgroundRole) {
        if (isSeparatorColumn(section))
            return separatorColour();
        if (isNumberColumn(section))
            return numberColumnColour();
        if (isBackColumn(section))
            return backColumnColour();
        return QGuiApplication::palette().color(QPalette::ToolTipBase);
    }
    if (role == Qt::ForegroundRole && isBackColumn(section))
        return backMarkColour();
    return QVariant();
}

} // namespace lumaro
