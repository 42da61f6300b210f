#include "invest/invest_files.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "invest/money.h"
#include "invest/plan_file.h"

#include <QFile>

namespace lumaro {

namespace {

QString Line(const QStringList &lines, int index)
{
    if (index >= lines.size())
        throw InputError(QStringLiteral("文件不完整：缺少第%1行！").arg(index + 1));
    return lines[index];
}

int Item(const QStringList &lines, int index, int items)
{
    const int value = ToInteger(Line(lines, index));
    if (value < 0 || value >= items)
        throw InputError(
            QStringLiteral("文件第%1行的值%2超出范围（0到%3）！").arg(index + 1).arg(value).arg(items - 1));
    return value;
}

} // namespace

QStringList InvestSettingsLines(const InvestFileSettings &s)
{
    return {QString::number(s.play), QString::number(s.waitIndex), QString::number(s.betIndex),
        QString::number(s.gapIndex), QString::number(s.streakIndex), s.singleMax, s.totalMax, s.tickets, s.prize,
        s.profit, s.carryLoss ? QStringLiteral("1") : QStringLiteral("0"),
        s.intervalMode ? QStringLiteral("1") : QStringLiteral("0"), QString::number(s.play)};
}

InvestFileSettings ParseInvestSettings(const QStringList &lines, int first)
{
    InvestFileSettings s;
    s.play = Item(lines, first, 4);
    s.waitIndex = Item(lines, first + 1, kWaitItems);
    s.betIndex = Item(lines, first + 2, kBetItems);
    s.gapIndex = Item(lines, first + 3, kGapItems);
    s.streakIndex = Item(lines, first + 4, kStreakItems);
    s.singleMax = Line(lines, first + 5);
    s.totalMax = Line(lines, first + 6);
    s.tickets = Line(lines, first + 7);
    s.prize = Line(lines, first + 8);
    s.profit = Line(lines, first + 9);
    s.carryLoss = Line(lines, first + 10) == QLatin1String("1");
    s.intervalMode = Line(lines, first + 11) == QLatin1String("1");
    s.play = Item(lines, first + 12, 4);
    return s;
}

InvestSettings ToInvestSettings(const InvestFileSettings &f)
{
    InvestSettings s;
    s.tickets = ToInteger(f.tickets);
    if (s.tickets <= 0)
        throw InputError(QStringLiteral("单倍注数必须大于0！"));
    s.prize = ToMoneyNotNegative(f.prize, QStringLiteral("单注奖金"));
    s.profitPercent = ToMoneyNotNegative(f.profit, QStringLiteral("预期利润"));
    s.singleMax = ToMoneyNotNegative(f.singleMax, QStringLiteral("单期最大投入"));
    s.totalMax = ToMoneyNotNegative(f.totalMax, QStringLiteral("累计最大投入"));
    s.wait = f.waitIndex;
    s.bets = f.betIndex + 1;
    s.gap = f.gapIndex + 1;
    s.streak = f.streakIndex + 1;
    s.intervalMode = f.intervalMode;
    s.carryLoss = f.carryLoss;
    return s;
}

QString BetTicketText(const BetTicket &t)
{
    return QString::number(t[0]) + QString::number(t[1]) + QString::number(t[2]);
}

QStringList InvestTicketLines(PlayType play, const std::vector<BetTicket> &tickets)
{
    QStringList lines {QString::number(static_cast<int>(play)), QString::number(tickets.size())};
    for (const BetTicket &t : tickets)
        lines << BetTicketText(t);
    return lines;
}

InvestTicketsRead ParseInvestTickets(const QStringList &lines, int first)
{
    InvestTicketsRead read;
    read.play = PlayTypeFromIndex(ToInteger(Line(lines, first)));
    read.count = ToInteger(Line(lines, first + 1));
    if (read.count < 0)
        throw InputError(QStringLiteral("文件第%1行的注数%2不对！").arg(first + 2).arg(read.count));
    for (int i = first + 2; i < lines.size(); ++i) {
        if (static_cast<int>(read.tickets.size()) == read.count) {
            read.extraLines = static_cast<int>(lines.size()) - i;
            break;
        }
        const QString text = lines[i].trimmed();
        BetTicket t {};
        bool ok = text.size() >= 3;
        for (int d = 0; ok && d < 3; ++d) {
            ok = text[d] >= QLatin1Char('0') && text[d] <= QLatin1Char('9');
            t[static_cast<std::size_t>(d)] = text[d].unicode() - '0';
        }
        if (!ok)
            throw InputError(QStringLiteral("文件第%1行“%2”不是三位数字的号码！").arg(i + 1).arg(lines[i]));
        read.tickets.push_back(t);
    }
    return read;
}

QStringList ReadTextLines(const QString &path)
{
    // Plan, settings and ticket files are small; a device or pipe is refused, never read forever.
    constexpr qint64 kMaxTextFileBytes = 64LL * 1024 * 1024;
    return SplitTextLines(ReadWholeFile(path, kMaxTextFileBytes));
}

void WriteTextLines(const QString &path, const QStringList &lines)
{
    QByteArray content;
    for (const QString &text : lines)
        content += text.toUtf8() + "\r\n";
    WriteWholeFile(path, content);
}

} // namespace lumaro
