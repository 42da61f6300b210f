#include "fixture_pages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QStringList>

#include <stdexcept>

namespace lumaro::test::pages {

namespace {

void Require(bool condition, const char *what)
{
    if (!condition)
        throw std::logic_error(what);
}

QString Pad2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString Joined(const std::vector<int> &numbers, const QString &separator)
{
    QStringList texts;
    for (int v : numbers)
        texts << Pad2(v);
    return texts.join(separator);
}

// head, blanks, tail: exactly width characters.
QString Fit(const QString &head, const QString &tail, int width)
{
    const qsizetype blanks = width - head.size() - tail.size();
    Require(blanks >= 0, "fixture line too long");
    return head + QString(blanks, QLatin1Char(' ')) + tail;
}

QString Balls(const std::vector<int> &numbers)
{
    QString text = QStringLiteral("<td>");
    for (int v : numbers)
        text += QStringLiteral("<span class=\"ball_r\">") + Pad2(v) + QStringLiteral("</span>");
    return text + QStringLiteral("</td>");
}

QByteArray Page(const QStringList &body)
{
    QStringList lines {QStringLiteral("<!DOCTYPE html>"), QStringLiteral("<html><head><meta charset=\"utf-8\">"),
        QStringLiteral("<title>开奖结果</title></head><body>")};
    lines << body << QStringLiteral("</body></html>");
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

} // namespace

QByteArray QlcHistoryPage(const std::vector<Draw> &draws)
{
    QStringList body {QStringLiteral("<table class=\"history\">")};
    int special = 1;
    for (const Draw &draw : draws) {
        const QString line
            = QStringLiteral("<tr><td><a href=\"javascript:void(0)\" class=\"detatilqlc\" onclick=\"show('")
            + draw.period + QStringLiteral("')\">") + draw.period + QStringLiteral("</a></td>");
        Require(line.right(16).left(7) == draw.period, "qlc period position");
        body << line << QStringLiteral("<td align=\"center\">") << QStringLiteral("<span class=\"kj\">")
             << QStringLiteral("<em>") + Joined(draw.numbers, QStringLiteral(" ")) + QStringLiteral("</em>")
             << QStringLiteral("<em class=\"blue\">") + Pad2(special++ % 30 + 1) + QStringLiteral("</em>")
             << (draw.date.isEmpty() ? QStringLiteral("</span></td></tr>")
                                     : QStringLiteral("<em>") + draw.date + QStringLiteral("</em></span></td></tr>"));
    }
    body << QStringLiteral("</table>");
    return Page(body);
}

QString NanyueDetailPath(int game, const QString &period)
{
    return QStringLiteral("/datas/detail/%1/%2.html").arg(game).arg(period);
}

QByteArray NanyueListPage(int game, int m, const std::vector<Draw> &draws)
{
    QStringList body {QStringLiteral("<table>")};
    for (const Draw &draw : draws) {
        const QString line
            = QStringLiteral("<tr><td class=\"qihao\" align=\"center\">") + draw.period + QStringLiteral("</td>");
        Require(line.size() == 49 && line.right(12).left(7) == draw.period, "nanyue draw line");
        const QString numbers = QStringLiteral("<td class=\"haoma\"><span>") + Joined(draw.numbers, QString())
            + QStringLiteral("</span>");
        Require(numbers.right(m == 7 ? 21 : 17).left(2 * m) == Joined(draw.numbers, QString()), "nanyue numbers");
        const QString path = NanyueDetailPath(game, draw.period);
        const QString link
            = QStringLiteral("<td class=\"dtl\"><a href=\"") + path + QStringLiteral("\">详细</a> </td>");
        Require(link.mid(25, link.size() - 39) == path, "nanyue link");
        body << line << numbers;
        for (int i = 1; i < (m == 7 ? 6 : 4); ++i)
            body << QStringLiteral("<td>%1</td>").arg(i);
        body << link;
    }
    body << QStringLiteral("</table>");
    return Page(body);
}

QByteArray NanyueDetailPage(const QString &date)
{
    return Page({QStringLiteral("<div class=\"play_R_t\">开奖详情</div>"),
        QStringLiteral("<div class=\"play_R_tbox\">") + date + QStringLiteral("</div>")});
}

QByteArray Tc225StartPage(const QString &start, const QString &end)
{
    const QString head = QStringLiteral("<input type=\"text\" name=\"ds\" class=\"date\" value=\"");
    Require(head.size() == 49, "tc225 ds position");
    const QString middle
        = Fit(QStringLiteral("\" />"), QStringLiteral("<input type=\"text\" name=\"de\" value=\""), 111);
    const QString line = head + start + middle + end + QStringLiteral("\" />");
    Require(line.mid(49, 10) == start && line.mid(170, 10) == end, "tc225 range positions");
    return Page({QStringLiteral("<div class=\"search\">"), QStringLiteral("<form action=\"/lottery/draw/list/5\">"),
        line, QStringLiteral("</form></div>")});
}

QString Tc225ListPath(int pageNumber, const QString &start, const QString &end)
{
    return QStringLiteral("/lottery/draw/list/5?lottery_type=5&page=%1&ds=%2&de=%3").arg(pageNumber).arg(start, end);
}

QByteArray Tc225ListPage(const std::vector<Draw> &draws)
{
    QStringList body {QStringLiteral("<table>")};
    for (const Draw &draw : draws) {
        Require(draw.period.size() == 7 && draw.period.startsWith(QLatin1String("20")), "tc225 period");
        const QString date = QStringLiteral("<td class=\"dat\">") + draw.date + QStringLiteral(" 20:30</td>");
        const QString period = Fit(QStringLiteral("<td class=\"qh\">"), QStringLiteral("<a href=\"#\">"), 43)
            + draw.period.mid(2) + QStringLiteral("</a>");
        Require(period.size() == 52 && date.mid(16, 10) == draw.date, "tc225 line positions");
        body << QStringLiteral("<tr>") << date << period << Balls(draw.numbers) << QStringLiteral("</tr>");
    }
    body << QStringLiteral("</table>");
    return Page(body);
}

QByteArray ElevenFiveDayPage(const std::vector<Draw> &draws, bool jiangxi)
{
    QStringList body {QStringLiteral("<table>")};
    for (const Draw &draw : draws) {
        Require(draw.period.size() == 8, "11x5 period");
        body << QStringLiteral("<tr>") << QStringLiteral("<td>")
             << (jiangxi ? QStringLiteral("20") + draw.period : draw.period) << QStringLiteral("</td>")
             << Balls(draw.numbers) << QStringLiteral("</tr>");
    }
    body << QStringLiteral("</table>");
    return Page(body);
}

QByteArray Feed(const std::vector<Draw> &draws, bool shandong)
{
    QStringList lines {QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"), QStringLiteral("<xml>")};
    for (const Draw &draw : draws) {
        const QString numbers = Joined(draw.numbers, QStringLiteral(","));
        const QString time = draw.date + QStringLiteral(" 09:10:00");
        const QString row = shandong
            ? QStringLiteral("<row issue=\"%1\" numbers=\"%2\" drawntime=\"%3\"/>").arg(draw.period, numbers, time)
            : QStringLiteral("<row issue=\"20%1\" numbers=\"%2\" drawing=\"%3\"/>").arg(draw.period, numbers, time);
        const int periodAt = shandong ? 12 : 14;
        const int numbersAt = shandong ? 31 : 33;
        Require(
            row.mid(periodAt, 8) == draw.period && row.mid(numbersAt, 14) == numbers && row.mid(58, 10) == draw.date,
            "feed row offsets");
        lines << QStringLiteral("  ") + row;
    }
    lines << QStringLiteral("</xml>");
    return lines.join(QStringLiteral("\n")).toUtf8();
}

QByteArray EmptyPage()
{
    return Page({QStringLiteral("<p>暂无数据</p>")});
}

QByteArray WelfareAnswer(const std::vector<ServiceDraw> &draws, int pageNum)
{
    QJsonArray result;
    for (const ServiceDraw &draw : draws) {
        result.append(QJsonObject {{QStringLiteral("name"), QStringLiteral("双色球")},
            {QStringLiteral("code"), draw.period},
            {QStringLiteral("date"), QString(draw.date + QStringLiteral("(四)"))}, {QStringLiteral("red"), draw.front},
            {QStringLiteral("blue"), draw.back}, {QStringLiteral("sales"), QStringLiteral("352520164")}});
    }
    const QJsonObject answer {{QStringLiteral("state"), 0}, {QStringLiteral("message"), QStringLiteral("查询成功")},
        {QStringLiteral("total"), static_cast<int>(draws.size())}, {QStringLiteral("pageNum"), pageNum},
        {QStringLiteral("pageNo"), 1}, {QStringLiteral("pageSize"), 30}, {QStringLiteral("result"), result}};
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

QByteArray SportsAnswer(const std::vector<ServiceDraw> &draws, int pages)
{
    QJsonArray list;
    for (const ServiceDraw &draw : draws) {
        const QString result = draw.back.isEmpty() ? draw.front : draw.front + QLatin1Char(' ') + draw.back;
        list.append(QJsonObject {{QStringLiteral("lotteryDrawNum"), draw.period},
            {QStringLiteral("lotteryDrawResult"), result}, {QStringLiteral("lotteryDrawTime"), draw.date},
            {QStringLiteral("lotteryGameName"), QStringLiteral("超级大乐透")}});
    }
    const QJsonObject value {{QStringLiteral("pages"), pages}, {QStringLiteral("pageNo"), 1},
        {QStringLiteral("pageSize"), 30}, {QStringLiteral("list"), list}};
    const QJsonObject answer {{QStringLiteral("success"), true}, {QStringLiteral("errorCode"), QStringLiteral("0")},
        {QStringLiteral("errorMessage"), QStringLiteral("处理成功")}, {QStringLiteral("value"), value}};
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

} // namespace lumaro::test::pages
