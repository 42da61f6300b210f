#pragma once

#include "invest/plan_risk.h"
#include "invest/report_page.h"

#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QChartView;
class QGridLayout;
class QLabel;
class QLineEdit;
class QLineSeries;
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

    // The risk of the plan shown, as under the grid; none while the grid is empty or the chance
    // box holds no chance.
    const std::optional<PlanRisk> &planRisk() const { return m_risk; }
    // The chance of a win the plan is weighed with, per period (per ticket for the variable plan).
    double defaultChance() const;
    // The money curve: 当期总投入 and 当期中奖 against the period.
    const QLineSeries *inputSeries() const { return m_inputSeries; }
    const QLineSeries *prizeSeries() const { return m_prizeSeries; }
    // Weighs the plan again after the chance box was left; a box that holds no chance is refused.
    void edtgailvExit();

protected:
    PlanWindow(AppContext &context, QWidget *parent, const QString &caption, const QString &fileName);

    QLineEdit *addField(const char *name, const QString &label, const QString &value);
    QPushButton *addButton(const char *name, const QString &caption);
    void finishColumn();

    // Shows the rows, then the risk and the money curve of the plan they belong to.
    void setGrid(const QStringList &headers, std::vector<QStringList> rows);
    // The variable plan weighs each ticket, the others each period.
    void setChancePerTicket();
    // The plan's periods for the risk with the chance given; the rows a load did not fill are left
    // out.
    virtual std::vector<PlanPeriodMoney> planMoney(double chance) const = 0;
    // The tickets one chance in the box stands for by default: 单倍投入 ÷ 2 for the plans bet with
    // multiples of 单倍投入, one for the variable plan.
    virtual qint64 chanceTickets() const = 0;
    // Shows the risk again: the chance box follows the default until the user types another.
    void refreshRisk();
    // Refuses a chance box that holds no chance (an empty box takes the default), so that a plan
    // is not shown beside figures that cannot be worked out.
    void checkChance() const;
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
    QWidget *newRiskBox();
    QChartView *newMoneyChart();
    void showMoneyCurve(const std::vector<PlanPeriodMoney> &money);

    QString m_fileName;
    std::vector<QLineEdit *> m_fields;
    QStringList m_labels;
    QTableView *m_grid = nullptr;
    FunctionTableModel *m_model = nullptr;
    QGridLayout *m_fieldGrid = nullptr;
    QVBoxLayout *m_column = nullptr;
    QStringList m_headers;
    std::vector<QStringList> m_rows;
    QLabel *m_lblgailv = nullptr;
    QLineEdit *m_edtgailv = nullptr;
    QString m_chanceDefault; // the text the box was last given by default
    std::vector<QLabel *> m_riskValues; // 最大投入, 全程不中的概率, 每期期望收益, 全程期望收益
    QChartView *m_chtjihua = nullptr;
    QLineSeries *m_inputSeries = nullptr;
    QLineSeries *m_prizeSeries = nullptr;
    std::optional<PlanRisk> m_risk;
};

} // namespace lumaro
