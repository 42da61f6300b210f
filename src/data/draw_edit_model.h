#pragma once

#include "data/lottery_store.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace lumaro {

// The rows of one draw table for editing: 记录期号, "1".."M", for a two-zone lottery "后区1".."后区K",
// then 开奖日期. Edits stay in their row
// until the row is posted; posting checks the row and writes it, or leaves it in editing with
// the reason. Rows keep the order they were loaded in, new rows at the end.
class DrawEditModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DrawEditModel(LotteryStore &store, QObject *parent = nullptr);

    // Loads a lottery's draws; any unposted edits of the previous one are dropped.
    void load(const QString &lottery);
    const QString &lottery() const { return m_lottery; }
    const LotteryDefinition &definition() const { return m_definition; }

    void setEditable(bool editable) { m_editable = editable; }
    bool editable() const { return m_editable; }

    // A row whose cells were changed (or a new row) and not yet written.
    bool isPending(int row) const;
    int pendingRow() const;
    // Checks and writes a pending row. Throws InputError naming the cell; the row stays pending.
    void post(int row);
    // Drops the edits of a row (a new row disappears).
    void cancel(int row);
    // Appends a new empty row and returns its index.
    int appendRow();
    // Deletes a row from the table (a pending new row is only dropped).
    void deleteRow(int row);

    // The posted rows in model order, for the export.
    std::vector<StoredDraw> postedDraws() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        qint64 rowId = 0; // 0: not yet in the table
        QStringList cells;
        QStringList saved; // the cells as last written
        bool pending = false;
    };
    Row fromDraw(const StoredDraw &draw) const;
    DrawRow parse(int row) const;

    LotteryStore &m_store;
    QString m_lottery;
    LotteryDefinition m_definition;
    QStringList m_headers;
    std::vector<Row> m_rows;
    bool m_editable = true;
};

} // namespace lumaro
