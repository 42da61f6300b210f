#pragma once

#include "download/draw_scrapers.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The readers of the lottery operators' JSON result services: pure functions from the body of
// one answer to draws, like the page scrapers. Draws come in the answer's order (the services
// list the newest first); reading stops at the first entry that cannot be read, so nothing
// after it in the answer is returned.
namespace lumaro::service {

// One page of a service's answer.
struct ServicePage {
    std::vector<scrape::DrawCandidate> draws; // the entries read, in answer order
    // The period of every entry whose period reads, the entry read or not.
    std::vector<qint64> periodsShown;
    int entries = 0; // entries in the answer's list
    int pages = 0; // pages the service says it has (0: not said)
    // The service answered but refused: its own code and message, as the user is shown it.
    QString refusal;
    // The answer, or the entry where reading stopped, is not what the reader knows.
    QString failure;
};

// The welfare lottery's draw notices: {"state":0,"message":..,"pageNum":..,"result":[{"code":
// "2025062","date":"2025-06-05(四)","red":"01,02,..","blue":"07"}]}. frontCount numbers are
// read from "red"; backCount from "blue" (0: "blue" is not read, as for 七乐彩's 特别号码, which is not stored).
// A "state" other than 0 is a refusal.
ServicePage ReadWelfareNotices(const QByteArray &json, int frontCount, int backCount);

// The sports lottery's draw history: {"success":true,"errorCode":"0","value":{"pages":N,
// "list":[{"lotteryDrawNum":"25062","lotteryDrawResult":"01 05 12 22 33 03 11",
// "lotteryDrawTime":"2025-06-04"}]}}. The result holds frontCount then backCount numbers
// separated by blanks. The 5-digit periods (yyNNN) are stored with the century: "2025062".
// "success":false or an "errorCode" other than "0" is a refusal.
ServicePage ReadSportsHistory(const QByteArray &json, int frontCount, int backCount);

// A service period as stored: 7 digits "20YYNNN" from 7 digits starting "20" or 5 digits
// "YYNNN". Empty when the text is neither.
QString StoredServicePeriod(const QString &text);

// Whether period follows previous directly in a game numbered by year (yyyyNNN): the next
// number of the year, or the first draw of the next year.
bool FollowsDirectly(qint64 previous, qint64 period);

} // namespace lumaro::service
