#pragma once

#include "data/open_lottery.h"
#include "support/test_home.h"

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

} // namespace lumaro::test
