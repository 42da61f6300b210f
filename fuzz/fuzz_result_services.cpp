// The readers of the JSON result services. The first byte chooses the reader (even: the
// welfare lottery's notices, odd: the sports lottery's history), the second the game's shape
// and the last stored period; the rest is the answer. What is read is the answer's entries from
// the first on, in order, each with the period the answer gives it, and all of them unless the
// reader says why it stopped; a refusal reads nothing. The draws the download would store join
// the last stored period without a hole and fit the game.
#include "fuzz_support.h"

#include "common/errors.h"
#include "data/lottery_store.h"
#include "download/draw_download.h"
#include "download/result_services.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <vector>

using namespace lumaro;

namespace {

struct Game {
    LotteryKind kind;
    int n;
    int m;
    int backN;
    int backM;
};

// 七乐彩, 福彩3D, 双色球, 大乐透, 排列3, 排列5.
const Game kGames[]
    = {{LotteryKind::Lotto, 30, 7, 0, 0}, {LotteryKind::Digit, 10, 3, 0, 0}, {LotteryKind::TwoZone, 33, 6, 16, 1},
        {LotteryKind::TwoZone, 35, 5, 12, 2}, {LotteryKind::Digit, 10, 3, 0, 0}, {LotteryKind::Digit, 10, 5, 0, 0}};
constexpr qint64 kLastPeriods[] = {0, 2025060, 2024151, 2099999};

LotteryDefinition Definition(const Game &game)
{
    LotteryDefinition d;
    d.name = QStringLiteral("fuzz");
    d.kind = game.kind;
    d.n = game.n;
    d.m = game.m;
    d.backN = game.backN;
    d.backM = game.backM;
    d.periodWidth = 7;
    return d;
}

// The entries of the answer, found here without the readers.
QJsonArray Entries(const QByteArray &json, bool welfare)
{
    const QJsonObject answer = QJsonDocument::fromJson(json).object();
    if (welfare)
        return answer.value(QStringLiteral("result")).toArray();
    return answer.value(QStringLiteral("value")).toObject().value(QStringLiteral("list")).toArray();
}

QString PeriodText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString().trimmed();
    if (value.isDouble())
        return QString::number(static_cast<qint64>(value.toDouble()));
    return QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lumaro::fuzz::EnsureApplication();
    if (size < 2)
        return 0;
    const bool welfare = data[0] % 2 == 0;
    const Game &game = kGames[data[1] % 6];
    const qint64 lastPeriod = kLastPeriods[(data[1] / 6) % 4];
    const QByteArray json = lumaro::fuzz::BytesOf(data + 2, size - 2);
    const LotteryDefinition d = Definition(game);
    const int backCount = game.kind == LotteryKind::TwoZone ? game.backM : 0;

    const service::ServicePage page = welfare ? service::ReadWelfareNotices(json, game.m, backCount)
                                              : service::ReadSportsHistory(json, game.m, backCount);
    if (!page.refusal.isEmpty()) {
        LUMARO_FUZZ_CHECK(page.draws.empty());
        return 0;
    }
    const QJsonArray entries = Entries(json, welfare);
    LUMARO_FUZZ_CHECK(page.draws.size() <= static_cast<size_t>(entries.size()));
    LUMARO_FUZZ_CHECK(page.failure.isEmpty()
            ? page.draws.size() == static_cast<size_t>(entries.size())
            : page.draws.size() < static_cast<size_t>(entries.size()) || entries.isEmpty());
    LUMARO_FUZZ_CHECK(page.periodsShown.size() >= page.draws.size());
    LUMARO_FUZZ_CHECK(page.periodsShown.size() <= page.draws.size() + 1);
    const QString periodField = welfare ? QStringLiteral("code") : QStringLiteral("lotteryDrawNum");
    for (size_t i = 0; i < page.draws.size(); ++i) {
        const scrape::DrawCandidate &draw = page.draws[i];
        const QString given = PeriodText(entries.at(static_cast<qsizetype>(i)).toObject().value(periodField));
        LUMARO_FUZZ_CHECK(draw.period == service::StoredServicePeriod(given));
        LUMARO_FUZZ_CHECK(draw.period.size() == 7 && draw.periodValue == draw.period.toLongLong());
        LUMARO_FUZZ_CHECK(page.periodsShown[i] == draw.periodValue);
        LUMARO_FUZZ_CHECK(draw.numbers.size() == game.m && draw.back.size() == backCount);
    }

    PagesRead read;
    read.draws = page.draws;
    read.periodsShown = page.periodsShown;
    read.failure = page.failure;
    read.consecutive = true;
    const StorableDraws stored = DrawsToStore(
        std::move(read), StoredEnd {lastPeriod == 0, lastPeriod}, d, scrape::PeriodForm::Year, QDate(2025, 6, 30));
    qint64 previous = lastPeriod;
    for (const DrawRow &row : stored.rows) {
        ValidateDraw(d, row); // throws, and so fails the run, when a stored row does not fit
        const qint64 value = row.period.toLongLong();
        LUMARO_FUZZ_CHECK(previous == 0 || service::FollowsDirectly(previous, value));
        LUMARO_FUZZ_CHECK(static_cast<int>(row.back.size()) == backCount);
        previous = value;
    }
    // Nothing past an entry whose period shows but which was not read, when that entry is newer
    // than where the stored draws end (for an empty table: than the oldest draw read).
    if (page.periodsShown.size() > page.draws.size() && !stored.rows.empty()) {
        const qint64 unread = page.periodsShown.back();
        qint64 floor = lastPeriod;
        if (lastPeriod == 0) {
            floor = page.draws.front().periodValue;
            for (const scrape::DrawCandidate &draw : page.draws)
                floor = std::min(floor, draw.periodValue);
        }
        if (unread > floor) {
            for (const DrawRow &row : stored.rows)
                LUMARO_FUZZ_CHECK(row.period.toLongLong() < unread);
        }
    }
    return 0;
}
