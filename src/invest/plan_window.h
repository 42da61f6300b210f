#pragma once

#include "invest/report_page.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QGridLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace lumaro {

struct AppContext;
class FunctionTableModel;

// The frame the three plan windows share: the plan grid on the left, the input boxes and the
// buttons in a column on the right, the plan text file and the printed plan report. The grid
// holds texts, as the plan file and the report do; each window keeps its numbers beside it.
class PlanWindow : public QWidget {
    Q_OBJECT
public:
    const QStringList &gridHeaders() const { return m_headers; }
    // Grid rows 1 … RowCount − 1.
    const std::vector<QStringList> &gridRows() const { return m_rows; }

protected:
    PlanWindow(AppContext &context, QWidget *parent, const QString &caption, const QString &fileName);

    QLineEdit *addField(const char *name, const QString &label, const QString &value);
    QPushButton *addButton(const char *name, const QString &caption);
    void finishColumn();

    void setGrid(const QStringList &headers, std::vector<QStringList> rows);
    QStringList fieldTexts() const;
    void setFieldTexts(const QStringList &texts);
    void announce(const QString &text);
    void warn(const QString &text);

    // The dialogs of the plan file, proposing ProgramFolder + "附属/" + the window's file name.
    QString askSaveFile();
    QString askOpenFile();
    // 保存: the input texts and the grid rows, then "成功保存！". False when cancelled.
    bool savePlan();
    // 打印: "请先生成表格！" for an empty grid, else the plan report through the print path.
    void printPlan(const QString &title, const QStringList &labels, const QString &separator);

    AppContext &m_context;

private:
    // The columns share the grid's width whenever it changes: when the window is first laid
    // out, resized, or the grid is filled.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void setColumnWidths();

    QString m_fileName;
    std::vector<QLineEdit *> m_fields;
    QStringList m_labels;
    QTableView *m_grid = nullptr;
    FunctionTableModel *m_model = nullptr;
    QGridLayout *m_fieldGrid = nullptr;
    QVBoxLayout *m_column = nullptr;
    QStringList m_headers;
    std::vector<QStringList> m_rows;
};

} // namespace lumaro
