#pragma once

#include "common/progress.h"
#include "data/lottery_store.h"
#include "data/program_folder.h"
#include "download/draw_scrapers.h"
#include "download/site_config.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace lumaro {

class HttpClient;

// Process-wide: false at program start, set once a full download (数据下载) or a day-page quick
// update has run; from then on the quick update reads the short feed. The shell owns one for the
// whole run and hands it to both download windows.
struct DownloadDone {
    bool value = false;
};

// Service: a lottery downloaded only from an operator's result service.
enum class BranchFamily { Qlc, Nanyue, Tc225, ElevenFive, Service };

// How one built-in lottery is downloaded.
struct DownloadBranch {
    QString lottery;
    QString progressText; // "正在更新…。。。"
    BranchFamily family;
    ResultSite site;
    int game = 0; // 367 / 265 (南粤风采), 558 / 23 / 20 / 22 (11选5 day pages)
    QString feedPath; // the quick-update feed of an 11选5 game
    // The game's key in [games] of 站点.ini and its service (empty: no service). A lottery with
    // pages and a service reads the service when its host and game code are set.
    QString serviceGame {};
    ResultService service = ResultService::Welfare;
};

// The branches in the order a download of all lotteries runs them.
const std::vector<DownloadBranch> &DownloadBranches();
const DownloadBranch *FindDownloadBranch(const QString &lottery);
// Whether the lottery's downloads read a result service unless the user switched it off.
bool DownloadsFromService(const QString &lottery);
// "所有彩票"
QString AllLotteriesChoice();
// The items of the download window's choice list, "所有彩票" first.
QStringList DownloadChoices();

enum class BranchEnd {
    Completed,
    NoLottery, // the lottery's tables are missing from the database
    NotConfigured, // the site's host is not set (or not usable)
    FetchFailed,
    NoDraws, // a page without the expected markers
    BadData, // a period, number or date that does not convert or does not fit the lottery
    DatabaseFailure,
    Cancelled,
    Refused, // a result service refused: an HTTP error status or its own error code
    RateLimited, // a result service asked for a pause (HTTP 567 or 429)
    BadAnswer, // a result service's answer is not what its reader knows
};

// What one branch did: the draws it added and, when it ended early, why.
struct BranchReport {
    QString lottery;
    int added = 0;
    BranchEnd end = BranchEnd::Completed;
    QString reason;

    bool completed() const { return end == BranchEnd::Completed; }
    // "中国福彩七乐彩：新增3期" or "中国福彩七乐彩：新增0期，站点未配置"
    QString line() const;
};

// "下载完成！" followed by one line a branch.
QString DownloadSummary(const std::vector<BranchReport> &reports);

struct DownloadCallbacks {
    std::function<void(const QString &)> status; // the branch's progress text
    Progress progress; // pages of the branch read so far; cancel between pages
};

// How the branch's lottery writes its periods.
scrape::PeriodForm PeriodFormOf(BranchFamily family);

// What a branch read from its pages.
struct PagesRead {
    std::vector<scrape::DrawCandidate> draws;
    // Reading stopped early for this reason; draws holds only those older than where it stopped.
    QString failure;
    // Every period the pages show, read as a draw or not (scrape::AddPeriodsShown).
    std::vector<qint64> periodsShown;
    // The source lists every draw (a result service): each period must follow the one before
    // it, from the last stored one on, or nothing from there on is stored.
    bool consecutive = false;
    // How the branch ends when failure is what stops it.
    BranchEnd end = BranchEnd::BadData;
};

// The end of the stored history a download continues.
struct StoredEnd {
    bool empty = true;
    qint64 lastPeriod = 0;
};

// The draws a branch stores from what it read, oldest first and each period once, and why it
// ended early (empty when it did not). Only new draws are stored, and none past a draw the
// branch could not read: a period the pages show that was not read as a draw, a period that
// cannot follow the stored ones (scrape::PeriodProblem), numbers that do not convert or do not
// fit the lottery. So a download never leaves a hole behind a draw the pages listed, and the
// next download starts again from there.
// A period read twice with other numbers, and a hole in a consecutive source, end the draws
// to store there too.
struct StorableDraws {
    std::vector<DrawRow> rows;
    QString failure;
    bool readFailure = false; // failure is PagesRead::failure
};
StorableDraws DrawsToStore(PagesRead read, const StoredEnd &stored, const LotteryDefinition &definition,
    scrape::PeriodForm form, const QDate &today);

// Runs the download branches against a store. Each branch reads the last stored period (and for
// 七乐彩 the last date), reads its pages, and writes the new draws oldest first in one
// transaction. A branch that ends early writes only draws that leave no hole behind them: those
// older than the first draw it could not read.
class DrawDownloader {
public:
    DrawDownloader(const ProgramFolder &folder, LotteryStore &store, const SiteConfig &sites, HttpClient &http);

    // The first day page of the 11选5 games (default: the current date).
    void setToday(const QDate &today) { m_today = today; }
    void setCallbacks(DownloadCallbacks callbacks) { m_callbacks = std::move(callbacks); }

    // "所有彩票" runs every branch, a lottery name its own. InputError for anything else.
    std::vector<BranchReport> run(const QString &choice);
    BranchReport runBranch(const DownloadBranch &branch);

    struct QuickUpdate {
        BranchReport report;
        bool dayPages = false; // the 50 day pages were read (DownloadDone is then set)
        QString feedText; // the feed document, when the feed was read
    };
    // The quick update of an 11选5 game: the day pages while downloadDone is false, else the
    // feed. The day pages are read instead when the feed host is not configured or when the
    // feed no longer reaches back to the stored draws (reading it would leave a hole).
    QuickUpdate quickUpdate(const QString &lottery, bool downloadDone);

private:
    struct Target;
    Target prepare(const DownloadBranch &branch, const SiteRoot &root) const;
    bool usesService(const DownloadBranch &branch) const;
    SiteRoot serviceRoot(const DownloadBranch &branch) const;
    PagesRead readService(const DownloadBranch &branch, const Target &target);
    QStringList fetchLines(const QString &root, const QString &path, const QString &fileName);
    void status(const QString &text) const;
    void step(int done, int total) const;
    PagesRead readQlc(const Target &target);
    PagesRead readNanyue(const DownloadBranch &branch, const Target &target);
    PagesRead readTc225(const Target &target);
    PagesRead readElevenFive(const DownloadBranch &branch, const Target &target);
    void save(const Target &target, PagesRead read, BranchReport &report);

    const ProgramFolder &m_folder;
    LotteryStore &m_store;
    const SiteConfig &m_sites;
    HttpClient &m_http;
    QDate m_today;
    DownloadCallbacks m_callbacks;
};

// The path and query of one page of a result service: path?gameKey=code&fixedQuery&pageKey=page&sizeKey=size.
QString ServicePageTarget(const ServiceRequest &request, const QString &gameCode, int page);

// A whole download on the calling thread, with a database connection and an HTTP client of its
// own and the hosts of the program folder's "附属/站点.ini". The windows run it on a worker.
struct DownloadJob {
    ProgramFolder folder;
    QString databasePath;
    QDate today; // invalid: the current date
};
std::vector<BranchReport> RunDownload(
    const DownloadJob &job, const QString &choice, const DownloadCallbacks &callbacks);
DrawDownloader::QuickUpdate RunQuickUpdate(
    const DownloadJob &job, const QString &lottery, bool downloadDone, const DownloadCallbacks &callbacks);

} // namespace lumaro
