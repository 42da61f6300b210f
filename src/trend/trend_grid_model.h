#pragma once

#include <QAbstractTableModel>

namespace lumaro {

class OpenLottery;

// The trend grid over TrendText: N + 4 columns (period, numbers, separator, one column per
// number, separator), one row per draw with the newest draw first. The column headers are the
// grid's first row.
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
    bool isNumberColumn(int column) const;

    static QColor numberColumnColour();
    static QColor separatorColour();

private:
    const OpenLottery &m_lottery;
    int m_rows = 0;
    int m_columns = 0;
};

} // namespace lumaro
