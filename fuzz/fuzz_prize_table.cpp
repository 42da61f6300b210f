// The prize table and the ticket files of 中奖查询. The first byte chooses: an even byte reads
// the rest as a prize table, which is refused with its line ("奖级表第N行：…") or holds named
// tiers whose pairs no two tiers of a game share; an odd byte reads it as a ticket file of one of
// four games (byte / 2), which is refused with a message or holds tickets in the game's range,
// every one of them scoring exactly one pair on a draw.
#include "fuzz_support.h"

#include "common/errors.h"
#include "tickets/prize_check.h"
#include "tickets/prize_table.h"

#include <algorithm>

using namespace lumaro;

namespace {

const PrizeGame &GameOf(int index)
{
    static const PrizeGame games[] = {
        {QStringLiteral("双色球"), LotteryKind::TwoZone, 33, 6, 16, 1},
        {QStringLiteral("大乐透"), LotteryKind::TwoZone, 35, 5, 12, 2},
        {QStringLiteral("中国福彩七乐彩"), LotteryKind::Lotto, 30, 7, 0, 0},
        {QStringLiteral("福彩3D"), LotteryKind::Digit, 10, 3, 0, 0},
    };
    return games[index % 4];
}

void ReadTable(const QByteArray &content)
{
    PrizeTable table;
    try {
        table = ParsePrizeTable(content);
    } catch (const InputError &error) {
        LUMARO_FUZZ_CHECK(error.message().startsWith(QStringLiteral("奖级表第")));
        return;
    }
    for (const GamePrizes &game : table.games) {
        LUMARO_FUZZ_CHECK(!game.game.isEmpty());
        std::vector<HitPair> seen;
        for (const PrizeTier &tier : game.tiers) {
            LUMARO_FUZZ_CHECK(!tier.name.isEmpty() && !tier.pairs.empty());
            LUMARO_FUZZ_CHECK(!tier.prize || (*tier.prize >= 0 && *tier.prize <= kMaxFixedPrize));
            for (const HitPair &pair : tier.pairs) {
                LUMARO_FUZZ_CHECK(pair.front >= 0 && pair.back >= 0);
                LUMARO_FUZZ_CHECK(std::find(seen.begin(), seen.end(), pair) == seen.end());
                seen.push_back(pair);
            }
        }
    }
}

void ReadTickets(const PrizeGame &game, const QByteArray &content)
{
    CheckTickets tickets;
    try {
        tickets = ParseCheckTickets(content, game, QStringLiteral("t.txt"));
    } catch (const Error &error) {
        LUMARO_FUZZ_CHECK(!error.message().isEmpty());
        return;
    }
    LUMARO_FUZZ_CHECK(tickets.width == game.m + game.backM);
    LUMARO_FUZZ_CHECK(tickets.numbers.size() == static_cast<std::size_t>(tickets.count() * tickets.width));
    PrizeCheckInputs inputs;
    inputs.game = game;
    CheckDraw draw {QStringLiteral("1"), {}, {}};
    for (int k = 0; k < game.m; ++k)
        draw.front.push_back(game.kind == LotteryKind::Digit ? k % game.n : k + 1);
    for (int k = 0; k < game.backM; ++k)
        draw.back.push_back(k + 1);
    inputs.draws = {draw};
    const PrizeCheckResult result = RunPrizeCheck(inputs, tickets);
    qint64 scored = 0;
    for (qint64 count : result.draws[0].pairs)
        scored += count;
    LUMARO_FUZZ_CHECK(scored == tickets.count());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    if (data[0] % 2 == 0)
        ReadTable(content);
    else
        ReadTickets(GameOf(data[0] / 2), content);
    return 0;
}
