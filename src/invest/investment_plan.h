#pragma once

#include "invest/money.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

// The three money plans of a player who keeps betting until a win: the fixed plan (a multiple
// per period), the staged plan (one multiple per stage) and the variable plan (built period by
// period with the ticket count of each period). Every figure is a signed 64-bit whole number.
namespace lumaro {

// Largest multiple a plan tries for one period or stage.
constexpr qint64 kMaxPlanMultiple = 10000;
// Largest 投注期数 a plan accepts: a table of this many rows is still quick to build and show.
constexpr qint64 kMaxPlanPeriods = 100000;

// 投注期号, 投注倍数, 当期投注, 当期总投入, 当期中奖, 当期净利润, 当期利润率(%).
using PlanRow = std::array<qint64, 7>;
// 投注期号, 投注倍数, 当期注数, 当期投注, 当期总投入, 当期中奖, 当期净利润, 当期利润率(%).
using VariablePlanRow = std::array<qint64, 8>;

enum PlanColumn { PlanPeriod = 0, PlanMultiple, PlanStake, PlanInput, PlanPrize, PlanNet, PlanRate };
enum VariablePlanColumn {
    VariablePeriod = 0,
    VariableMultiple,
    VariableTickets,
    VariableStake,
    VariableInput,
    VariablePrize,
    VariableNet,
    VariableRate
};

QStringList PlanHeaders();
QStringList VariablePlanHeaders();

struct PlanSettings {
    qint64 priorLoss = 0; // 前期亏损
    qint64 profit = 10; // 预期利润
    qint64 unitStake = 16; // 单倍投入
    qint64 unitPrize = 1000; // 单注奖金
    qint64 periods = 80; // 投注期数
};

struct PlanResult {
    // False when some period or stage needs more than kMaxPlanMultiple multiples; rows is then
    // empty and the window keeps what it showed. A plan whose figures, or the sum of its net
    // profits that the average is made from, leave 64 bits is refused with an InputError.
    bool ok = false;
    std::vector<PlanRow> rows;
};

inline const QString MultipleTooLargeText()
{
    return QStringLiteral("所需倍数太大，无法投注！");
}

// Checks 投注期数 (1 … kMaxPlanPeriods); an InputError otherwise.
void CheckPlanPeriods(qint64 periods);

// The row of period p staked with m multiples after the cumulative input previousInput.
PlanRow PlanRowFor(qint64 period, qint64 multiple, qint64 unitStake, qint64 unitPrize, qint64 previousInput);

// Each period takes the smallest multiple whose win pays back everything spent so far (the
// prior loss included) plus the wanted profit.
PlanResult FixedPlan(const PlanSettings &settings);

// ⌈D ÷ K⌉; an InputError when K ≤ 0.
qint64 StageLength(qint64 periods, qint64 stages);
// The periods are cut into stages of StageLength; each stage is bet with one multiple, the
// smallest that reaches the wanted profit in every period of the stage. Stages past D are empty.
PlanResult StagedPlan(const PlanSettings &settings, qint64 stages);

// The sum of one column over the first count rows, integer-divided by count; none when count ≤ 0.
// The sum is a 64-bit figure like every other: a sum beyond it is refused with the InputError of
// narrowMoney, as the plans refuse every figure beyond 64 bits.
template<class Row>
std::optional<qint64> PlanAverage(const std::vector<Row> &rows, int column, qint64 count)
{
    if (count <= 0)
        return std::nullopt;
    WideMoney sum = 0;
    const qint64 limit = std::min<qint64>(count, static_cast<qint64>(rows.size()));
    for (qint64 i = 0; i < limit; ++i)
        sum += rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(column)];
    return NarrowMoney(sum) / count;
}

// The variable plan, one row per period added. 单倍投入 takes no part: one multiple of a period
// costs 2 money units per ticket.
class VariablePlan {
public:
    enum class AddOutcome { Added, Full, MultipleTooLarge };

    // Adds the next period with the given ticket count. Full when 投注期数 periods are already
    // there; MultipleTooLarge when no multiple up to kMaxPlanMultiple reaches the profit, in
    // which case nothing is added and the next addition starts from the same period again. A
    // row whose figures, or the sum of the net profits with it, leave 64 bits is refused with an
    // InputError and not added.
    AddOutcome add(const PlanSettings &settings, int tickets);

    const std::vector<VariablePlanRow> &rows() const { return m_rows; }
    int periodCount() const { return static_cast<int>(m_rows.size()); }
    void clear();
    void setRows(std::vector<VariablePlanRow> rows);

private:
    std::vector<VariablePlanRow> m_rows;
    WideMoney m_netSum = 0; // of the rows' 当期净利润
};

// The grid texts of plan rows (plain decimal).
template<std::size_t Width>
std::vector<QStringList> PlanCellTexts(const std::vector<std::array<qint64, Width>> &rows)
{
    std::vector<QStringList> texts;
    texts.reserve(rows.size());
    for (const auto &row : rows) {
        QStringList cells;
        for (qint64 value : row)
            cells << QString::number(value);
        texts.push_back(cells);
    }
    return texts;
}

} // namespace lumaro
