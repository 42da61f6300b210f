#include "download/draw_download.h"

#include "common/errors.h"
#include "data/lottery_store.h"
#include "download/draw_scrapers.h"
#include "download/http_client.h"
#include "download/result_services.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>
#include <optional>

namespace lumaro {

using scrape::DrawCandidate;

namespace {

constexpr int kNanyuePages = 10;
constexpr int kTc225Pages = 50;
constexpr int kDayPages = 50;

const QString kListFile = QStringLiteral("号码.txt");
const QString kDetailFile = QStringLiteral("号码2.txt");

// Ends a branch at once with the given reason.
struct BranchEnded {
    BranchEnd end;
    QString reason;
};

QString NoDrawsText()
{
    return QStringLiteral("页面上没有开奖号码");
}

} // namespace

struct DrawDownloader::Target {
    QString lottery;
    LotteryDefinition definition;
    scrape::PeriodForm form = scrape::PeriodForm::Year;
    QString root;
    qint64 lastPeriod = 0;
    QString lastDate;
    bool empty = true;
    std::vector<StoredDraw> stored;
};

scrape::PeriodForm PeriodFormOf(BranchFamily family)
{
    switch (family) {
    case BranchFamily::Qlc:
    case BranchFamily::Nanyue:
    case BranchFamily::Service:
        return scrape::PeriodForm::Year;
    case BranchFamily::Tc225:
        return scrape::PeriodForm::ShortYear;
    case BranchFamily::ElevenFive:
        return scrape::PeriodForm::Day;
    }
    return scrape::PeriodForm::Year;
}

StorableDraws DrawsToStore(PagesRead read, const StoredEnd &stored, const LotteryDefinition &definition,
    scrape::PeriodForm form, const QDate &today)
{
    std::vector<DrawCandidate> &draws = read.draws;
    // Oldest first, and each period once: a page that lists a draw twice (or two pages that
    // overlap) must not store it twice.
    std::stable_sort(draws.begin(), draws.end(),
        [](const DrawCandidate &a, const DrawCandidate &b) { return a.periodValue < b.periodValue; });
    // A period listed twice with other numbers: neither can be trusted, nor anything after it.
    std::optional<qint64> conflict;
    for (size_t i = 1; i < draws.size(); ++i) {
        const DrawCandidate &a = draws[i - 1];
        const DrawCandidate &b = draws[i];
        if (a.periodValue == b.periodValue && (a.numbers != b.numbers || a.back != b.back)
            && (stored.empty || a.periodValue > stored.lastPeriod)) {
            conflict = a.periodValue;
            break;
        }
    }
    // How often each period was read, before the copies go: a source that lists every draw
    // once may show a period once more than it was read (an unreadable copy of a read draw).
    std::map<qint64, int> timesRead;
    if (read.consecutive) {
        for (const DrawCandidate &draw : draws)
            ++timesRead[draw.periodValue];
    }
    draws.erase(std::unique(draws.begin(), draws.end(),
                    [](const DrawCandidate &a, const DrawCandidate &b) { return a.periodValue == b.periodValue; }),
        draws.end());
    if (!stored.empty) {
        draws.erase(std::remove_if(draws.begin(), draws.end(),
                        [&](const DrawCandidate &draw) { return draw.periodValue <= stored.lastPeriod; }),
            draws.end());
    }

    // The first period the pages show that was not read as a draw. Below the stored end (or,
    // for an empty table, below the oldest draw read) it leaves no hole.
    std::optional<qint64> unread;
    if (!draws.empty()) {
        const qint64 floor = stored.empty ? draws.front().periodValue : stored.lastPeriod;
        std::vector<qint64> readPeriods;
        readPeriods.reserve(draws.size());
        for (const DrawCandidate &draw : draws)
            readPeriods.push_back(draw.periodValue);
        for (qint64 period : read.periodsShown) {
            if (period > floor && !std::binary_search(readPeriods.begin(), readPeriods.end(), period)
                && (!unread || period < *unread))
                unread = period;
        }
        if (read.consecutive) {
            std::map<qint64, int> timesShown;
            for (qint64 period : read.periodsShown)
                ++timesShown[period];
            for (const auto &[period, times] : timesShown) {
                if (period > floor && times > timesRead[period] && (!unread || period < *unread)) {
                    unread = period;
                    break;
                }
            }
        }
    }

    StorableDraws result;
    std::optional<qint64> previous;
    if (!stored.empty)
        previous = stored.lastPeriod;
    for (const DrawCandidate &candidate : draws) {
        if (unread && (*unread < candidate.periodValue || (read.consecutive && *unread == candidate.periodValue))) {
            if (read.consecutive && !read.failure.isEmpty()) {
                result.failure = read.failure;
                result.readFailure = true;
            } else {
                result.failure = QStringLiteral("第%1期的开奖号码读不出（页面格式不符）").arg(*unread);
            }
            break;
        }
        if (conflict && *conflict <= candidate.periodValue) {
            result.failure = QStringLiteral("第%1期出现了两次，号码不同，未存入这一期及以后各期").arg(*conflict);
            break;
        }
        if (read.consecutive && previous && !service::FollowsDirectly(*previous, candidate.periodValue)) {
            // The draws between are missing: the reading that stopped early says why, if it did.
            if (!read.failure.isEmpty()) {
                result.failure = read.failure;
                result.readFailure = true;
            } else {
                result.failure = QStringLiteral("第%1期和第%2期之间缺少开奖号码，未存入第%2期及以后各期")
                                     .arg(*previous)
                                     .arg(candidate.period);
            }
            break;
        }
        previous = candidate.periodValue;
        const QString problem = scrape::PeriodProblem(candidate.periodValue, form, today);
        if (!problem.isEmpty()) {
            result.failure = problem;
            break;
        }
        DrawRow row;
        row.period = candidate.period;
        row.date = candidate.date;
        try {
            for (const QString &number : candidate.numbers)
                row.numbers.push_back(ToInteger(number));
            for (const QString &number : candidate.back)
                row.back.push_back(ToInteger(number));
            ValidateDraw(definition, row);
        } catch (const ConversionError &error) {
            result.failure = QStringLiteral("第%1期的开奖号码读不出：%2").arg(candidate.period, error.message());
            break;
        } catch (const Error &error) {
            result.failure = error.message();
            break;
        }
        result.rows.push_back(std::move(row));
    }
    if (result.failure.isEmpty()) {
        result.failure = read.failure;
        result.readFailure = !read.failure.isEmpty();
    }
    return result;
}

const std::vector<DownloadBranch> &DownloadBranches()
{
    static const std::vector<DownloadBranch> branches = {
        {QStringLiteral("中国福彩七乐彩"), QStringLiteral("正在更新中国福彩七乐透。。。"), BranchFamily::Qlc,
            ResultSite::Welfare, 0, QString(), QStringLiteral("qlc"), ResultService::Welfare},
        {QStringLiteral("南粤风采36选7"), QStringLiteral("正在更新南粤风采36选7。。。"), BranchFamily::Nanyue,
            ResultSite::Nanyue, 367, QString()},
        {QStringLiteral("南粤风采26选5"), QStringLiteral("正在更新南粤风采26选5。。。"), BranchFamily::Nanyue,
            ResultSite::Nanyue, 265, QString()},
        {QStringLiteral("中国体彩22选5"), QStringLiteral("正在更新中国体彩22选5。。。"), BranchFamily::Tc225,
            ResultSite::Portal, 5, QString()},
        {QStringLiteral("重庆体彩11选5"), QStringLiteral("正在更新重庆体彩11选5。。。"), BranchFamily::ElevenFive,
            ResultSite::Portal, 558, QStringLiteral("/static/cq11x5/newlyopenlist.xml")},
        {QStringLiteral("广东体彩11选5"), QStringLiteral("正在更新广东体彩11选5。。。"), BranchFamily::ElevenFive,
            ResultSite::Portal, 23, QStringLiteral("/static/gd11x5/newlyopenlist.xml")},
        {QStringLiteral("山东体彩11选5"), QStringLiteral("正在更新山东体彩11选5。。。"), BranchFamily::ElevenFive,
            ResultSite::Portal, 20, QStringLiteral("/static/11yun/newlyopenlist.xml")},
        {QStringLiteral("江西体彩11选5"), QStringLiteral("正在更新江西体彩11选5。。。"), BranchFamily::ElevenFive,
            ResultSite::Portal, 22, QStringLiteral("/static/jx11x5/newlyopenlist.xml")},
        {QStringLiteral("福彩3D"), QStringLiteral("正在更新福彩3D。。。"), BranchFamily::Service, ResultSite::Welfare,
            0, QString(), QStringLiteral("fc3d"), ResultService::Welfare},
        {QStringLiteral("双色球"), QStringLiteral("正在更新双色球。。。"), BranchFamily::Service, ResultSite::Welfare,
            0, QString(), QStringLiteral("ssq"), ResultService::Welfare},
        {QStringLiteral("大乐透"), QStringLiteral("正在更新大乐透。。。"), BranchFamily::Service, ResultSite::Welfare,
            0, QString(), QStringLiteral("dlt"), ResultService::Sports},
        {QStringLiteral("排列3"), QStringLiteral("正在更新排列3。。。"), BranchFamily::Service, ResultSite::Welfare, 0,
            QString(), QStringLiteral("pl3"), ResultService::Sports},
        {QStringLiteral("排列5"), QStringLiteral("正在更新排列5。。。"), BranchFamily::Service, ResultSite::Welfare, 0,
            QString(), QStringLiteral("pl5"), ResultService::Sports},
    };
    return branches;
}

const DownloadBranch *FindDownloadBranch(const QString &lottery)
{
    for (const DownloadBranch &branch : DownloadBranches()) {
        if (branch.lottery == lottery)
            return &branch;
    }
    return nullptr;
}

bool DownloadsFromService(const QString &lottery)
{
    const DownloadBranch *branch = FindDownloadBranch(lottery);
    return branch && !branch->serviceGame.isEmpty();
}

QString AllLotteriesChoice()
{
    return QStringLiteral("所有彩票");
}

QStringList DownloadChoices()
{
    return {AllLotteriesChoice(), QStringLiteral("中国福彩七乐彩"), QStringLiteral("南粤风采36选7"),
        QStringLiteral("南粤风采26选5"), QStringLiteral("中国体彩22选5"), QStringLiteral("山东体彩11选5"),
        QStringLiteral("广东体彩11选5"), QStringLiteral("重庆体彩11选5"), QStringLiteral("江西体彩11选5"),
        QStringLiteral("福彩3D"), QStringLiteral("双色球"), QStringLiteral("大乐透"), QStringLiteral("排列3"),
        QStringLiteral("排列5")};
}

QString BranchReport::line() const
{
    QString text = QStringLiteral("%1：新增%2期").arg(lottery).arg(added);
    if (!completed())
        text += QStringLiteral("，") + reason;
    return text;
}

QString DownloadSummary(const std::vector<BranchReport> &reports)
{
    QStringList lines {QStringLiteral("下载完成！")};
    for (const BranchReport &report : reports)
        lines << report.line();
    return lines.join(QLatin1Char('\n'));
}

DrawDownloader::DrawDownloader(
    const ProgramFolder &folder, LotteryStore &store, const SiteConfig &sites, HttpClient &http)
    : m_folder(folder)
    , m_store(store)
    , m_sites(sites)
    , m_http(http)
    , m_today(QDate::currentDate())
{ }

void DrawDownloader::status(const QString &text) const
{
    if (m_callbacks.status)
        m_callbacks.status(text);
}

void DrawDownloader::step(int done, int total) const
{
    m_callbacks.progress.step(done, total);
}

std::vector<BranchReport> DrawDownloader::run(const QString &choice)
{
    std::vector<BranchReport> reports;
    if (choice == AllLotteriesChoice()) {
        for (const DownloadBranch &branch : DownloadBranches())
            reports.push_back(runBranch(branch));
        return reports;
    }
    const DownloadBranch *branch = FindDownloadBranch(choice);
    if (!branch)
        throw InputError(QStringLiteral("不能下载“%1”的开奖号码，请选择内置彩票或“所有彩票”！").arg(choice));
    reports.push_back(runBranch(*branch));
    return reports;
}

QString ServicePageTarget(const ServiceRequest &request, const QString &gameCode, int page)
{
    QStringList items;
    items << request.gameKey + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(gameCode));
    if (!request.fixedQuery.isEmpty())
        items << request.fixedQuery;
    items << request.pageKey + QLatin1Char('=') + QString::number(page);
    items << request.sizeKey + QLatin1Char('=') + QString::number(request.pageSize);
    return request.path + QLatin1Char('?') + items.join(QLatin1Char('&'));
}

SiteRoot DrawDownloader::serviceRoot(const DownloadBranch &branch) const
{
    const SiteRoot none {QString(), QStringLiteral("开奖服务未配置")};
    if (branch.serviceGame.isEmpty() || m_sites.serviceGame(branch.serviceGame).isEmpty())
        return none;
    const ServiceRequest &request = m_sites.service(branch.service);
    if (request.host.isEmpty())
        return none;
    if (request.gameKey.isEmpty() || request.pageKey.isEmpty() || request.sizeKey.isEmpty())
        return {QString(), QStringLiteral("开奖服务的请求参数名没有填全")};
    SiteRoot root = SiteRootFromText(request.host);
    if (!root.configured())
        root.problem = QStringLiteral("开奖服务地址“%1”无效").arg(request.host);
    return root;
}

// A lottery with pages and a service reads the service when the service is configured, even
// when its address is refused (the branch then says why rather than silently reading pages).
bool DrawDownloader::usesService(const DownloadBranch &branch) const
{
    return branch.family == BranchFamily::Service || serviceRoot(branch).problem != QStringLiteral("开奖服务未配置");
}

DrawDownloader::Target DrawDownloader::prepare(const DownloadBranch &branch, const SiteRoot &root) const
{
    if (!m_store.hasLottery(branch.lottery))
        throw BranchEnded {BranchEnd::NoLottery, QStringLiteral("数据库中没有这种彩票")};
    if (!root.configured())
        throw BranchEnded {BranchEnd::NotConfigured, root.problem};
    Target target;
    target.lottery = branch.lottery;
    target.root = root.url;
    target.definition = m_store.readDefinition(branch.lottery);
    target.form = PeriodFormOf(branch.family);
    target.stored = m_store.readDraws(branch.lottery);
    const std::vector<StoredDraw> &stored = target.stored;
    target.empty = stored.empty();
    target.lastPeriod = target.empty ? 0 : stored.back().period.toLongLong();
    target.lastDate = target.empty ? QStringLiteral("2001-01-01") : stored.back().date;
    // A stored period no real draw can have (a far-future one stored before such periods were
    // refused) would make every real draw look old: the branch says so instead of adding nothing.
    if (!target.empty) {
        const QString problem = scrape::PeriodProblem(target.lastPeriod, target.form, m_today);
        if (!problem.isEmpty())
            throw BranchEnded {BranchEnd::BadData,
                QStringLiteral("已存的最后一期不是真实的期号（%1），请先在数据添加中改正或删除它").arg(problem)};
    }
    return target;
}

QStringList DrawDownloader::fetchLines(const QString &root, const QString &path, const QString &fileName)
{
    if (m_callbacks.progress.cancelled())
        throw BranchEnded {BranchEnd::Cancelled, QStringLiteral("已取消")};
    const QUrl url(root + path, QUrl::TolerantMode);
    const FetchResult result = m_http.getToFile(url, m_folder.file(fileName));
    if (!result.ok()) {
        if (m_callbacks.progress.cancelled())
            throw BranchEnded {BranchEnd::Cancelled, QStringLiteral("已取消")};
        throw BranchEnded {BranchEnd::FetchFailed, result.failureText()};
    }
    return scrape::PageLines(DecodePage(result.body, result.contentType));
}

BranchReport DrawDownloader::runBranch(const DownloadBranch &branch)
{
    BranchReport report;
    report.lottery = branch.lottery;
    status(branch.progressText);
    try {
        const bool service = usesService(branch);
        const Target target = prepare(branch, service ? serviceRoot(branch) : m_sites.root(branch.site));
        PagesRead read;
        switch (branch.family) {
        case BranchFamily::Qlc:
            read = service ? readService(branch, target) : readQlc(target);
            break;
        case BranchFamily::Service:
            read = readService(branch, target);
            break;
        case BranchFamily::Nanyue:
            read = readNanyue(branch, target);
            break;
        case BranchFamily::Tc225:
            read = readTc225(target);
            break;
        case BranchFamily::ElevenFive:
            read = readElevenFive(branch, target);
            break;
        }
        save(target, std::move(read), report);
    } catch (const BranchEnded &ended) {
        report.end = ended.end;
        report.reason = ended.reason;
    } catch (const DatabaseError &error) {
        report.end = BranchEnd::DatabaseFailure;
        report.reason = error.message();
    } catch (const Error &error) {
        report.end = BranchEnd::BadData;
        report.reason = error.message();
    }
    return report;
}

PagesRead DrawDownloader::readQlc(const Target &target)
{
    step(0, 1);
    const QStringList lines
        = fetchLines(target.root, QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1"), kListFile);
    step(1, 1);
    const scrape::QlcPage page = scrape::ReadQlcPage(lines, target.lastPeriod, target.definition.m);
    // The draws are dated only after the whole page is read, so a bad line saves nothing.
    if (!page.failure.isEmpty())
        throw BranchEnded {BranchEnd::BadData, page.failure};
    PagesRead read;
    scrape::AddPeriodsShown(lines, target.form, read.periodsShown);
    if (!page.hasDrawLines)
        throw BranchEnded {BranchEnd::NoDraws, NoDrawsText()};
    // Stored draws without a date (imported from a history text) give no running date: the
    // new draws then keep the dates the page gives, and otherwise have none, like those before.
    read.draws = scrape::DateQlcDraws(page.draws, scrape::ReadDate(target.lastDate));
    return read;
}

PagesRead DrawDownloader::readNanyue(const DownloadBranch &branch, const Target &target)
{
    const int m = target.definition.m;
    bool sawDrawLines = false;
    PagesRead read;
    std::vector<DrawCandidate> &draws = read.draws;
    for (int n = 1; n <= kNanyuePages; ++n) {
        step(n - 1, kNanyuePages);
        const QString path = QStringLiteral("/datas/history/%1/history_%2.html").arg(branch.game).arg(n);
        const QUrl url(target.root + path, QUrl::TolerantMode);
        if (m_callbacks.progress.cancelled())
            throw BranchEnded {BranchEnd::Cancelled, QStringLiteral("已取消")};
        const FetchResult list = m_http.getToFile(url, m_folder.file(kListFile));
        if (!list.ok()) {
            // The history has fewer pages than the program asks for: the list ends here.
            if (n > 1 && (list.status == 404 || list.status == 410))
                break;
            if (m_callbacks.progress.cancelled())
                throw BranchEnded {BranchEnd::Cancelled, QStringLiteral("已取消")};
            throw BranchEnded {BranchEnd::FetchFailed, list.failureText()};
        }
        const QStringList lines = scrape::PageLines(DecodePage(list.body, list.contentType));
        scrape::AddPeriodsShown(lines, target.form, read.periodsShown);
        const scrape::NanyueList page = scrape::ReadNanyueList(lines, m, target.lastPeriod);
        sawDrawLines = sawDrawLines || page.hasDrawLines;
        for (const scrape::NanyueListDraw &listed : page.draws) {
            if (listed.detailPath.isEmpty())
                throw BranchEnded {BranchEnd::NoDraws, QStringLiteral("第%1期没有开奖详情页的链接").arg(listed.period)};
            const QString detailPath = listed.detailPath.startsWith(QLatin1Char('/'))
                ? listed.detailPath
                : QLatin1Char('/') + listed.detailPath;
            const QString date = scrape::ReadNanyueDetailDate(fetchLines(target.root, detailPath, kDetailFile));
            if (!scrape::ReadsAsDate(date))
                throw BranchEnded {
                    BranchEnd::NoDraws, QStringLiteral("第%1期的详情页上没有开奖日期").arg(listed.period)};
            DrawCandidate draw;
            draw.period = listed.period;
            draw.periodValue = listed.periodValue;
            for (int k = 1; k <= m; ++k)
                draw.numbers << scrape::At(listed.numbers, 2 * k - 1, 2);
            draw.date = date;
            draws.push_back(std::move(draw));
        }
    }
    step(kNanyuePages, kNanyuePages);
    if (!sawDrawLines)
        throw BranchEnded {BranchEnd::NoDraws, NoDrawsText()};
    return read;
}

PagesRead DrawDownloader::readTc225(const Target &target)
{
    step(0, kTc225Pages + 1);
    const auto range
        = scrape::ReadTc225Range(fetchLines(target.root, QStringLiteral("/lottery/draw/list/5"), kListFile));
    if (!range)
        throw BranchEnded {BranchEnd::NoDraws, QStringLiteral("页面上没有开奖日期范围")};
    QString accumulator;
    PagesRead read;
    for (int n = 1; n <= kTc225Pages; ++n) {
        step(n, kTc225Pages + 1);
        const QString path = QStringLiteral("/lottery/draw/list/5?lottery_type=5&page=%1&ds=%2&de=%3")
                                 .arg(n)
                                 .arg(range->start, range->end);
        const QStringList lines = fetchLines(target.root, path, kListFile);
        scrape::AddPeriodsShown(lines, target.form, read.periodsShown);
        scrape::AccumulateTc225Page(lines, accumulator);
    }
    step(kTc225Pages + 1, kTc225Pages + 1);
    if (scrape::AccumulatorItems(accumulator).isEmpty())
        throw BranchEnded {BranchEnd::NoDraws, NoDrawsText()};
    scrape::Scraped scraped = scrape::ReadTc225Accumulator(accumulator, target.lastPeriod);
    read.draws = std::move(scraped.draws);
    read.failure = scraped.failure;
    return read;
}

PagesRead DrawDownloader::readElevenFive(const DownloadBranch &branch, const Target &target)
{
    const bool jiangxi = branch.game == 22;
    QString accumulator;
    PagesRead read;
    for (int i = 1; i <= kDayPages; ++i) {
        step(i - 1, kDayPages);
        const QString day = m_today.addDays(-(i - 1)).toString(QStringLiteral("yyyy-MM-dd"));
        const QString path = QStringLiteral("/lottery/draw/list/%1?d=%2").arg(branch.game).arg(day);
        const QStringList lines = fetchLines(target.root, path, kListFile);
        scrape::AddPeriodsShown(lines, target.form, read.periodsShown);
        scrape::AccumulateElevenFiveDay(lines, jiangxi, accumulator);
    }
    step(kDayPages, kDayPages);
    if (scrape::AccumulatorItems(accumulator).isEmpty())
        throw BranchEnded {BranchEnd::NoDraws, NoDrawsText()};
    scrape::Scraped scraped = scrape::ReadElevenFiveAccumulator(accumulator, jiangxi, target.lastPeriod);
    read.draws = std::move(scraped.draws);
    read.failure = scraped.failure;
    return read;
}

PagesRead DrawDownloader::readService(const DownloadBranch &branch, const Target &target)
{
    const ServiceRequest &request = m_sites.service(branch.service);
    const QString code = m_sites.serviceGame(branch.serviceGame);
    const LotteryDefinition &d = target.definition;
    const int backCount = d.kind == LotteryKind::TwoZone ? d.backM : 0;
    HttpClient::Headers headers {{QByteArrayLiteral("Accept"), QByteArrayLiteral("application/json, text/plain, */*")}};
    if (!request.referer.isEmpty())
        headers.append({QByteArrayLiteral("Referer"), request.referer.toUtf8()});
    auto cancelled = [this] {
        if (m_callbacks.progress.cancelled())
            throw BranchEnded {BranchEnd::Cancelled, QStringLiteral("已取消")};
    };
    if (!request.cookiePage.isEmpty()) {
        cancelled();
        // Only the session cookie it sets matters; a failure shows in the service's answer.
        const QString path = request.cookiePage.startsWith(QLatin1Char('/')) ? request.cookiePage
                                                                             : QLatin1Char('/') + request.cookiePage;
        m_http.get(QUrl(target.root + path, QUrl::TolerantMode), headers);
    }

    PagesRead read;
    read.consecutive = true;
    int entries = 0;
    const int maxPages = m_sites.servicePages();
    for (int page = 1; page <= maxPages; ++page) {
        step(page - 1, maxPages);
        cancelled();
        const QUrl url(target.root + ServicePageTarget(request, code, page), QUrl::TolerantMode);
        const FetchResult fetched = m_http.get(url, headers);
        // A failed page after the first keeps what was read: only draws that join the stored
        // ones without a hole are stored.
        auto stop = [&](BranchEnd end, const QString &reason) {
            if (page > 1 || !read.draws.empty()) {
                read.failure = QStringLiteral("%1（第%2页）").arg(reason).arg(page);
                read.end = end;
                return;
            }
            throw BranchEnded {end, reason};
        };
        if (!fetched.ok()) {
            cancelled();
            if (fetched.status == 567 || fetched.status == 429)
                stop(BranchEnd::RateLimited,
                    QStringLiteral("开奖服务要求暂停（HTTP %1），请过一会儿再下载").arg(fetched.status));
            else if (fetched.status >= 400)
                stop(BranchEnd::Refused, QStringLiteral("开奖服务拒绝了请求（HTTP %1）").arg(fetched.status));
            else
                stop(BranchEnd::FetchFailed, fetched.failureText());
            break;
        }
        const service::ServicePage answer = branch.service == ResultService::Welfare
            ? service::ReadWelfareNotices(fetched.body, d.m, backCount)
            : service::ReadSportsHistory(fetched.body, d.m, backCount);
        if (!answer.refusal.isEmpty()) {
            stop(BranchEnd::Refused, QStringLiteral("开奖服务拒绝了请求（%1）").arg(answer.refusal));
            break;
        }
        entries += answer.entries;
        read.draws.insert(read.draws.end(), answer.draws.begin(), answer.draws.end());
        read.periodsShown.insert(read.periodsShown.end(), answer.periodsShown.begin(), answer.periodsShown.end());
        if (!answer.failure.isEmpty()) {
            read.failure = QStringLiteral("开奖服务的回答读不懂（第%1页）：%2").arg(page).arg(answer.failure);
            read.end = BranchEnd::BadAnswer;
            break;
        }
        const bool reachedStored = !target.empty
            && std::any_of(answer.periodsShown.begin(), answer.periodsShown.end(),
                [&](qint64 period) { return period <= target.lastPeriod; });
        if (reachedStored || answer.entries == 0 || (answer.pages > 0 && page >= answer.pages))
            break;
    }
    step(maxPages, maxPages);
    if (entries == 0 && read.failure.isEmpty())
        throw BranchEnded {BranchEnd::NoDraws, QStringLiteral("开奖服务没有给出开奖号码")};

    // A stored draw the service gives with other numbers: one of them is wrong, and the
    // download changes nothing until the user has looked.
    for (const DrawCandidate &draw : read.draws) {
        if (target.empty || draw.periodValue > target.lastPeriod)
            continue;
        const auto own = std::find_if(target.stored.begin(), target.stored.end(),
            [&](const StoredDraw &stored) { return stored.period.toLongLong() == draw.periodValue; });
        if (own == target.stored.end())
            continue;
        auto numbersOf = [](const QStringList &texts) {
            std::vector<int> numbers;
            for (const QString &text : texts)
                numbers.push_back(text.toInt());
            return numbers;
        };
        if (numbersOf(draw.numbers) != own->numbers || numbersOf(draw.back) != own->back)
            throw BranchEnded {BranchEnd::BadData,
                QStringLiteral("第%1期的开奖号码与已存的不同，未存入任何一期；请核对后在彩票数据中改正")
                    .arg(draw.period)};
    }
    return read;
}

void DrawDownloader::save(const Target &target, PagesRead read, BranchReport &report)
{
    const BranchEnd readEnd = read.end;
    const StorableDraws storable = DrawsToStore(
        std::move(read), StoredEnd {target.empty, target.lastPeriod}, target.definition, target.form, m_today);
    m_store.appendDraws(target.lottery, storable.rows);
    report.added = static_cast<int>(storable.rows.size());
    if (!storable.failure.isEmpty()) {
        report.end = storable.readFailure ? readEnd : BranchEnd::BadData;
        report.reason = storable.failure;
    }
}

DrawDownloader::QuickUpdate DrawDownloader::quickUpdate(const QString &lottery, bool downloadDone)
{
    const DownloadBranch *branch = FindDownloadBranch(lottery);
    if (!branch || branch->family != BranchFamily::ElevenFive)
        throw InputError(QStringLiteral("“%1”没有快速开奖，只有四种11选5彩票可以快速开奖！").arg(lottery));
    QuickUpdate update;
    auto dayPages = [&] {
        update.report = runBranch(*branch);
        update.dayPages = true;
        return update;
    };
    if (!downloadDone || !m_sites.root(ResultSite::Feed).configured())
        return dayPages();

    update.report.lottery = lottery;
    status(branch->progressText);
    try {
        const Target target = prepare(*branch, m_sites.root(ResultSite::Feed));
        step(0, 1);
        const FetchResult feed = m_http.get(QUrl(target.root + branch->feedPath, QUrl::TolerantMode));
        step(1, 1);
        if (!feed.ok())
            throw BranchEnded {BranchEnd::FetchFailed, feed.failureText()};
        update.feedText = DecodePage(feed.body, feed.contentType);
        const QString feedText = scrape::FeedText(update.feedText);
        const scrape::FeedRows rows = scrape::ReadFeed(feedText, branch->game == 20, target.lastPeriod);
        if (rows.rows == 0)
            throw BranchEnded {BranchEnd::NoDraws, QStringLiteral("最新开奖列表上没有开奖号码")};
        // The feed lists only the latest draws: when none of them meets the stored history the
        // draws in between would be lost, so the day pages are read instead.
        if (!target.empty && !rows.joinsStored)
            return dayPages();
        PagesRead read;
        read.draws = rows.draws;
        scrape::AddPeriodsShown(feedText, target.form, read.periodsShown);
        save(target, std::move(read), update.report);
    } catch (const BranchEnded &ended) {
        update.report.end = ended.end;
        update.report.reason = ended.reason;
    } catch (const DatabaseError &error) {
        update.report.end = BranchEnd::DatabaseFailure;
        update.report.reason = error.message();
    } catch (const Error &error) {
        update.report.end = BranchEnd::BadData;
        update.report.reason = error.message();
    }
    return update;
}

namespace {

template<class Body>
auto WithDownloader(const DownloadJob &job, const DownloadCallbacks &callbacks, Body body)
{
    auto result = [&] {
        LotteryStore store(job.databasePath);
        const SiteConfig sites = SiteConfig::load(job.folder.auxiliaryFolder() + SiteConfig::fileName());
        HttpClient http(sites.timeoutMs());
        http.setProgress(&callbacks.progress);
        DrawDownloader downloader(job.folder, store, sites, http);
        if (job.today.isValid())
            downloader.setToday(job.today);
        downloader.setCallbacks(callbacks);
        return body(downloader);
    }();
    // A worker thread runs no event loop: delete now what the network objects left for later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}

} // namespace

std::vector<BranchReport> RunDownload(const DownloadJob &job, const QString &choice, const DownloadCallbacks &callbacks)
{
    return WithDownloader(job, callbacks, [&](DrawDownloader &downloader) { return downloader.run(choice); });
}

DrawDownloader::QuickUpdate RunQuickUpdate(
    const DownloadJob &job, const QString &lottery, bool downloadDone, const DownloadCallbacks &callbacks)
{
    return WithDownloader(
        job, callbacks, [&](DrawDownloader &downloader) { return downloader.quickUpdate(lottery, downloadDone); });
}

} // namespace lumaro
