#pragma once

#include "data/open_lottery.h"
#include "support/test_home.h"

#include <QStringList>

#include <vector>

namespace lumaro::test {

// 小双区: two of 1..7 in front, two of 1..4 behind. Its three draws, oldest first, give the
// hand-worked grids of the trend tests:
//   2024001  01 05 + 02 04
//   2024002  03 07 + 01 02
//   2024003  02 06 + 04 03   (the back numbers in drawn order)
inline OpenLottery SmallTwoZoneLottery()
{
    TestHome home;
    LotteryDefinition d;
    d.name = QStringLiteral("小双区");
    d.kind = LotteryKind::TwoZone;
    d.n = 7;
    d.m = 2;
    d.backN = 4;
    d.backM = 2;
    home.store().createLottery(d);
    home.store().appendDraws(d.name,
        {DrawRow {QStringLiteral("2024001"), {1, 5}, QString(), {2, 4}},
            DrawRow {QStringLiteral("2024002"), {3, 7}, QString(), {1, 2}},
            DrawRow {QStringLiteral("2024003"), {2, 6}, QString(), {4, 3}}});
    OpenLottery lottery;
    lottery.open(home.store(), d.name);
    return lottery;
}

// The draws of the repository's 双色球 history (period,date,r1..r6,blue), oldest first.
inline std::vector<DrawRow> SsqDraws()
{
    std::vector<DrawRow> draws;
    const QStringList lines
        = QString::fromUtf8(ReadFile(HistoryFile(QStringLiteral("ssq.csv")))).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].trimmed().split(QLatin1Char(','));
        if (cells.size() != 9)
            continue;
        DrawRow row {cells[0], {}, cells[1], {cells[8].toInt()}};
        for (int j = 2; j < 8; ++j)
            row.numbers.push_back(cells[j].toInt());
        draws.push_back(row);
    }
    return draws;
}

} // namespace lumaro::test
