#pragma once

#include "data/trend_text.h"

#include <QAbstractTableModel>

namespace lumaro {

class OpenLottery;

// The trend grid over TrendText: N + 4 columns (period, numbers, separator, one column per
// number, separator), one row per draw with the newest draw first. A two-zone lottery has the
// back block after the front's closing separator: one column per back number 1..L in the back
// zone's own colours, then a last separator; its numbers column shows the draw as
// "01 02 03 04 05 06 + 07". The column headers are the grid's first row.
class TrendGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TrendGridModel(const OpenLottery &lottery, QObject *parent = nullptr);

    // Call after the trend text changed (an opening or a trend switch).
    void reload();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The draw index shown in a model row.
    int drawIndex(int row) const;
    bool isSeparatorColumn(int column) const;
    // A column of the front zone (of the only zone for a one-zone lottery).
    bool isNumberColumn(int column) const;
    // A column of the back zone of a two-zone lottery; backNumberOfColumn gives its number.
    bool isBackColumn(int column) const;
    int backNumberOfColumn(int column) const { return column - m_frontColumns + 1; }
    bool hasBackBlock() const { return m_back.backN() > 0; }

    static QColor numberColumnColour();
    static QColor separatorColour();
    static QColor backColumnColour();
    static QColor backMarkColour();

private:
    // The draw as the numbers column shows it.
    QString drawText(int draw) const;

    const OpenLottery &m_lottery;
    BackTrendText m_back;
    int m_rows = 0;
    int m_columns = 0;
    int m_frontColumns = 0; // N + 4: up to and including the separator after the front block
};

} // namespace lumaro
