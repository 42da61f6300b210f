#pragma once

#include <QTableView>
#include <QWidget>

namespace lumaro {

struct AppContext;
class TrendGridModel;

// The trend grid view of the first tab: newest draw first, the period column and the header
// row stay in place while the rest scrolls.
class Tfrmcode : public QWidget {
    Q_OBJECT
public:
    Tfrmcode(AppContext &context, QWidget *parent = nullptr);

    // Shows TrendText again (after an opening or a trend switch).
    void refresh();
    QTableView *grid() const { return m_grid; }
    TrendGridModel *model() const { return m_model; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setColumnWidths();

    AppContext &m_context;
    TrendGridModel *m_model;
    QTableView *m_grid;
    QTableView *m_frozen;
};

} // namespace lumaro
