#pragma once

#include "invest/investment_analysis.h"

#include <QString>
#include <QStringList>

#include <vector>

// The three text files of the investment analysis (one value per line, CR LF): the tickets, the
// settings, and the settings followed by the tickets.
namespace lumaro {

// The settings as the window's controls hold them: combo items and box texts.
struct InvestFileSettings {
    int play = 0;
    int waitIndex = 0; // 中出后间隔期数
    int betIndex = 0; // 连续投入期数
    int gapIndex = 0; // 观察间隔数
    int streakIndex = 0; // 观察间隔连续次数
    QString singleMax = QStringLiteral("1000000");
    QString totalMax = QStringLiteral("1000000");
    QString tickets = QStringLiteral("100");
    QString prize = QStringLiteral("1000");
    QString profit = QStringLiteral("10");
    bool carryLoss = true;
    bool intervalMode = true;
};
constexpr int kInvestSettingsLines = 13;

QStringList InvestSettingsLines(const InvestFileSettings &settings);
// The 13 lines from `first` on; an InputError when a line is missing or an item is out of range.
InvestFileSettings ParseInvestSettings(const QStringList &lines, int first = 0);
// The settings an analysis runs with, from the controls' texts and items.
InvestSettings ToInvestSettings(const InvestFileSettings &settings);

// The digits of a ticket written together ("073").
QString BetTicketText(const BetTicket &ticket);
// The play-type line, the count and the ticket lines.
QStringList InvestTicketLines(PlayType play, const std::vector<BetTicket> &tickets);

struct InvestTicketsRead {
    PlayType play = PlayType::Direct;
    int count = 0; // the count line
    std::vector<BetTicket> tickets; // at most count tickets
    int extraLines = 0; // ticket lines after the first count, not read
};
// The play type, the count and the tickets from line `first` on (the first three characters
// of a ticket line are its digits). An InputError naming the line for a bad line.
InvestTicketsRead ParseInvestTickets(const QStringList &lines, int first = 0);

// Plain text lines of a file, CR LF or LF, trailing empty lines dropped; an IoError when it
// cannot be read.
QStringList ReadTextLines(const QString &path);
void WriteTextLines(const QString &path, const QStringList &lines);

} // namespace lumaro
