#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace lumaro {

// A read-only table model over cells computed on demand, for the long grids of the windows
// (20000 rows are never turned into items). Set the column headers and a cell function; the
// optional functions give colours and alignment. RawValueRole returns the cell as the function
// gives it, before any display formatting.
class FunctionTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RawValueRole = Qt::UserRole + 1;

    using CellFn = std::function<QVariant(int row, int column)>;

    explicit FunctionTableModel(QObject *parent = nullptr);

    void setHeaders(const QStringList &headers);
    // Resets the model with a new row count and cell functions.
    void setContent(int rows, CellFn display, CellFn background = {}, CellFn foreground = {});
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // Tells the views that every cell may have changed (same row count).
    void refresh();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    int m_rows = 0;
    CellFn m_display;
    CellFn m_background;
    CellFn m_foreground;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};

} // namespace lumaro
