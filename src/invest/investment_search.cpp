#include "invest/investment_search.h"

#include <QThread>

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

} // namespace lumaro
