#include "data/open_lottery.h"

#include "common/errors.h"
#include "data/combination.h"

namespace lumaro {

void OpenLottery::open(LotteryStore &store, const QString &lotteryName)
{
    const LotteryDefinition definition = store.readDefinition(lotteryName);
    const QString previousName = name;
    const int previousN = n;
    const int previousM = m;
    const LotteryKind previousKind = kind;
    const int previousBackN = backN;
    const int previousBackM = backM;
    name = lotteryName;
    if (const auto builtin = FindBuiltinLottery(lotteryName)) {
        n = builtin->n;
        m = builtin->m;
    } else {
        n = definition.n;
        m = definition.m;
    }
    kind = definition.kind;
    backN = 0;
    backM = 0;
    if (definition.hasBackZone()) {
        kind = LotteryKind::Lotto;
        backN = definition.backN;
        backM = definition.backM;
    }
    try {
        reopen(store);
    } catch (...) {
        name = previousName;
        n = previousN;
        m = previousM;
        kind = previousKind;
        backN = previousBackN;
        backM = previousBackM;
        throw;
    }
}

void OpenLottery::reopen(LotteryStore &store)
{
    OpenLotteryData(store);
    BuildStandardTrend();
    lotteryOpen = true;
}

void OpenLottery::OpenLotteryData(LotteryStore &store)
{
    store.capDraws(name, kMaxDraws);
    std::vector<StoredDraw> records = store.readDraws(name);
    for (const StoredDraw &draw : records) {
        if (static_cast<int>(draw.numbers.size()) != m)
            throw DatabaseError(
                QStringLiteral("彩票“%1”第%2期的号码个数与选择号码数%3不符！").arg(name, draw.period).arg(m));
        if (static_cast<int>(draw.back.size()) != backM)
            throw DatabaseError(QStringLiteral("彩票“%1”第%2期的后区号码个数与后区选择号码数%3不符！")
                                    .arg(name, draw.period)
                                    .arg(backM));
    }
    m_records = std::move(records);
    variantMode = false;
    drawCount = static_cast<int>(m_records.size());
    try {
        m_ticketSet = TicketSet::forLottery(kind, n, m);
        m_ticketProblem.clear();
    } catch (const CapacityError &error) {
        m_ticketSet = TicketSet();
        m_ticketProblem = error.message();
    }
}

void OpenLottery::BuildStandardTrend()
{
    const int rows = static_cast<int>(m_records.size());
    drawTable = DrawTable(rows, m);
    backTable = backM > 0 ? DrawTable(rows, backM) : DrawTable();
    trendText = TrendText(rows, n, m, kind);
    drawDates.clear();
    drawPeriods.clear();
    drawDates.reserve(rows);
    drawPeriods.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const StoredDraw &draw = m_records[static_cast<std::size_t>(i)];
        drawDates << draw.date;
        drawPeriods << draw.period;
        drawTable.cell(i, 0) = draw.period.toInt();
        qint32 *numbers = drawTable.numbers(i);
        for (int k = 0; k < m; ++k)
            numbers[k] = draw.numbers[static_cast<std::size_t>(k)];
        trendText.setRow(i, drawTable.period(i), numbers);
        if (backM > 0) {
            backTable.cell(i, 0) = drawTable.period(i);
            for (int k = 0; k < backM; ++k)
                backTable.numbers(i)[k] = draw.back[static_cast<std::size_t>(k)];
        }
    }
}

void OpenLottery::close()
{
    drawTable.clear();
    backTable.clear();
    lotteryOpen = false;
}

TicketSet &OpenLottery::ticketSet()
{
    if (!m_ticketProblem.isEmpty())
        throw CapacityError(m_ticketProblem);
    return m_ticketSet;
}

const TicketSet &OpenLottery::ticketSet() const
{
    if (!m_ticketProblem.isEmpty())
        throw CapacityError(m_ticketProblem);
    return m_ticketSet;
}

void OpenLottery::setTicketSet(TicketSet tickets)
{
    m_ticketSet = std::move(tickets);
    m_ticketProblem.clear();
}

LotteryDefinition OpenLottery::definition() const
{
    LotteryDefinition d;
    d.name = name;
    d.kind = kind;
    d.n = n;
    d.m = m;
    if (twoZone()) {
        d.kind = LotteryKind::TwoZone;
        d.backN = backN;
        d.backM = backM;
    }
    return d;
}

qint64 OpenLottery::gameTicketCount() const
{
    const qint64 front = TicketCount(m, n, kind);
    return twoZone() ? front * TicketCount(backM, backN, LotteryKind::Lotto) : front;
}

} // namespace lumaro
