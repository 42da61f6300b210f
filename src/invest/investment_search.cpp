#include "invest/investment_search.h"

#include "common/errors.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace lumaro {

int SearchTrialCount(bool intervalMode)
{
    return (intervalMode ? kStreakItems : 1) * kWaitItems * kBetItems;
}

InvestSettings SearchTrialSettings(const InvestSettings &base, int trial)
{
    InvestSettings s = base;
    s.bets = trial % kBetItems + 1;
    s.wait = trial / kBetItems % kWaitItems;
    s.streak = base.intervalMode ? trial / (kBetItems * kWaitItems) + 1 : 1;
    return s;
}

SearchResult BestOfTrials(const std::vector<std::optional<qint64>> &gains, bool intervalMode)
{
    SearchResult result;
    result.trials = static_cast<int>(gains.size());
    for (int t = 0; t < result.trials; ++t) {
        const auto &gain = gains[static_cast<std::size_t>(t)];
        if (!gain)
            continue;
        ++result.trialsDone;
        if (*gain > result.bestTotal) {
            result.bestTotal = *gain;
            result.bestSepNumIndex = intervalMode ? t / (kBetItems * kWaitItems) : 0;
            result.bestTozisepIndex = t / kBetItems % kWaitItems;
            result.bestTozirepIndex = t % kBetItems;
        }
    }
    result.stopped = result.trialsDone < result.trials;
    return result;
}

SearchResult RunInvestmentSearch(
    const HitHistory &history, const InvestSettings &base, const Progress &progress, int threads)
{
    const int total = SearchTrialCount(base.intervalMode);
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    threads = std::min(threads, total);

    // Each trial's gain, written once by the thread that ran it.
    std::vector<std::optional<qint64>> gains(static_cast<std::size_t>(total));
    std::atomic_int next {0};
    std::atomic_int done {0};
    std::atomic_bool failed {false};
    std::exception_ptr failure;
    std::mutex failureLock;
    constexpr int kChunk = 25;

    const auto work = [&] {
        try {
            for (;;) {
                const int first = next.fetch_add(kChunk);
                if (first >= total)
                    return;
                for (int t = first; t < std::min(first + kChunk, total); ++t) {
                    if (progress.cancelled() || failed.load())
                        return;
                    gains[static_cast<std::size_t>(t)]
                        = RunInvestmentAnalysis(history, SearchTrialSettings(base, t)).totalGain;
                    const int count = done.fetch_add(1) + 1;
                    if (count % kChunk == 0 || count == total)
                        progress.step(count, total);
                }
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            failed = true;
        }
    };
    if (threads == 1) {
        work();
    } else {
        std::vector<std::thread> pool;
        for (int i = 0; i < threads; ++i)
            pool.emplace_back(work);
        for (std::thread &thread : pool)
            thread.join();
    }
    if (failure)
        std::rethrow_exception(failure);

    return BestOfTrials(gains, base.intervalMode);
}

QString SearchInSampleNote()
{
    return QStringLiteral("注意：最佳设置是在同一段历史上选出并评分的，这个赢余是事后挑选的结果，"
                          "不能当作今后的预期；只在前面一部分开奖上搜索，就能用后面的开奖检验它。");
}

int HeldOutSplit(int rows, int percent)
{
    if (percent < 10 || percent > 90)
        throw InputError(QStringLiteral("搜索部分必须在10%到90%之间！"));
    if (rows < 2)
        throw InputError(QStringLiteral("开奖期数太少，不能分成搜索和检验两部分！"));
    const qint64 split = qint64(rows) * percent / 100;
    return static_cast<int>(std::clamp<qint64>(split, 1, rows - 1));
}

HeldOutSearch RunHeldOutSearch(
    const HitGapTable &table, const InvestSettings &base, int percent, const Progress &progress, int threads)
{
    HeldOutSearch search;
    search.searchedDraws = HeldOutSplit(static_cast<int>(table.size()), percent);
    search.laterDraws = static_cast<int>(table.size()) - search.searchedDraws;
    const auto split = table.begin() + search.searchedDraws;
    search.best = RunInvestmentSearch(HitHistory(HitGapTable(table.begin(), split)), base, progress, threads);
    search.bestSettings = SearchTrialSettings(base,
        (search.best.bestSepNumIndex * kWaitItems + search.best.bestTozisepIndex) * kBetItems
            + search.best.bestTozirepIndex);
    const AnalysisResult later
        = RunInvestmentAnalysis(HitHistory(HitGapTable(split, table.end())), search.bestSettings);
    search.laterGain = later.totalGain;
    search.laterAbort = later.abortMessage();
    return search;
}

QString HeldOutSearchText(const HeldOutSearch &search)
{
    QString text = QStringLiteral("在前%1期中搜索，最佳设置赢余%2；用它投注后%3期（搜索没有用到的开奖）赢余%4。")
                       .arg(search.searchedDraws)
                       .arg(search.best.bestTotal)
                       .arg(search.laterDraws)
                       .arg(search.laterGain);
    if (search.best.stopped)
        text += QStringLiteral("（搜索被停止，只比较了完成的%1种设置）").arg(search.best.trialsDone);
    if (!search.laterAbort.isEmpty())
        text += QStringLiteral("后%1期中途停止：%2").arg(search.laterDraws).arg(search.laterAbort);
    return text;
}

} // namespace lumaro
