#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Result pages and feeds shaped like the sites' own, for the download tests. Each builder
// checks that its markers sit at the positions the scrapers read and throws when they do not.
namespace lumaro::test::pages {

struct Draw {
    QString period; // as the page shows it (7 digits; 8 for 11选5; 江西 day pages add "20")
    std::vector<int> numbers;
    QString date; // optional: the 七乐彩 page then shows it with the numbers
};

// 中国福彩七乐彩 history page; the draws newest first, each with a special number after its seven.
QByteArray QlcHistoryPage(const std::vector<Draw> &draws);

// 南粤风采 list page (m = 7 for 36选7, 5 for 26选5) and its links to the detail pages.
QByteArray NanyueListPage(int game, int m, const std::vector<Draw> &draws);
QString NanyueDetailPath(int game, const QString &period);
QByteArray NanyueDetailPage(const QString &date);

// 中国体彩22选5: the first page with the date range and the list pages (periods of 7 digits
// starting "20"; the page shows the last five).
QByteArray Tc225StartPage(const QString &start, const QString &end);
QByteArray Tc225ListPage(const std::vector<Draw> &draws);
QString Tc225ListPath(int page, const QString &start, const QString &end);

// An 11选5 day page (periods of 8 digits; 江西 writes them with a leading "20").
QByteArray ElevenFiveDayPage(const std::vector<Draw> &draws, bool jiangxi);

// An 11选5 feed; 山东 writes 8-digit periods, the others 10 digits with a leading "20", so the
// fields of a 山东 row sit two characters earlier.
QByteArray Feed(const std::vector<Draw> &draws, bool shandong);

// An empty result page.
QByteArray EmptyPage();

// A draw as the JSON result services give it: numbers as their text.
struct ServiceDraw {
    QString period; // 7 digits for the welfare service, 5 for the sports one
    QString front; // "01,02,03,04,05,06" (welfare) or "01 02 03 04 05" (sports)
    QString back; // the welfare service's "blue"; for the sports service appended to front
    QString date = QStringLiteral("2025-06-05");
};
// The welfare lottery's draw notices (the date shown with its weekday, "2025-06-05(四)").
QByteArray WelfareAnswer(const std::vector<ServiceDraw> &draws, int pageNum = 1);
// The sports lottery's draw history.
QByteArray SportsAnswer(const std::vector<ServiceDraw> &draws, int pages = 1);

} // namespace lumaro::test::pages
