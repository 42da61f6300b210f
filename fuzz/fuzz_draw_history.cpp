// Draw history import (CSV and history text, one zone or two): every accepted row fits the
// lottery, and the accepted draws written as history text read back as the same draws.
#include "fuzz_support.h"

#include "common/errors.h"
#include "data/draw_import.h"
#include "data/lottery_store.h"

#include <QSet>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    LotteryDefinition d;
    d.name = QStringLiteral("fuzz");
    d.kind = (data[0] & 1) ? LotteryKind::Digit : LotteryKind::Lotto;
    // First byte: bit 0 kind, bits 1-3 M, bits 4-6 N, bit 7 the 8-character period column.
    d.m = 1 + ((data[0] >> 1) & 7) % 7;
    d.n = d.kind == LotteryKind::Digit ? 10 : 11 + ((data[0] >> 4) & 7) * 4;
    d.periodWidth = (data[0] & 0x80) ? 8 : 7;
    // A lotto byte with bits 1-3 all set is a two-zone lottery instead: bits 4-5 choose 双色球
    // (33/6 + 16/1), 大乐透 (35/5 + 12/2), a small one (5/2 + 3/2) or a large back zone (20/3 + 12/10).
    if ((data[0] & 0x0F) == 0x0E) {
        static const int kShapes[4][4] = {{33, 6, 16, 1}, {35, 5, 12, 2}, {5, 2, 3, 2}, {20, 3, 12, 10}};
        const int *shape = kShapes[(data[0] >> 4) & 3];
        d.kind = LotteryKind::TwoZone;
        d.n = shape[0];
        d.m = shape[1];
        d.backN = shape[2];
        d.backM = shape[3];
    }
    std::vector<ParsedDraw> parsed;
    try {
        parsed = ParseDrawHistory(fuzz::BytesOf(data + 1, size - 1), d);
    } catch (const InputError &error) {
        LUMARO_FUZZ_CHECK(error.message().startsWith(QStringLiteral("第")));
        return 0;
    }
    QSet<QString> periods;
    std::vector<StoredDraw> stored;
    for (const ParsedDraw &row : parsed) {
        ValidateDraw(d, row.draw); // throws (and so fails the run) if a bad row got through
        LUMARO_FUZZ_CHECK(!periods.contains(row.draw.period));
        periods.insert(row.draw.period);
        StoredDraw s;
        static_cast<DrawRow &>(s) = row.draw;
        stored.push_back(s);
    }
    const std::vector<ParsedDraw> again = ParseDrawHistory(HistoryText(stored), d);
    LUMARO_FUZZ_CHECK(again.size() == parsed.size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        LUMARO_FUZZ_CHECK(again[i].draw.numbers == parsed[i].draw.numbers);
        LUMARO_FUZZ_CHECK(again[i].draw.back == parsed[i].draw.back);
        LUMARO_FUZZ_CHECK(again[i].draw.period.toInt() == parsed[i].draw.period.toInt());
    }
    return 0;
}
