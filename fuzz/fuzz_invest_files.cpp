// The investment analysis files (tickets, settings, and settings followed by tickets, as the
// window loads them): what was read, written back as lines, reads as the same content; a
// refused file raises one of the program's errors.
#include "fuzz_support.h"

#include "common/errors.h"
#include "invest/invest_files.h"
#include "invest/plan_file.h"

using namespace lumaro;

namespace {

QByteArray FileText(const QStringList &lines)
{
    QByteArray text;
    for (const QString &line : lines)
        text += line.toUtf8() + "\r\n";
    return text;
}

bool SameSettings(const InvestFileSettings &a, const InvestFileSettings &b)
{
    return a.play == b.play && a.waitIndex == b.waitIndex && a.betIndex == b.betIndex && a.gapIndex == b.gapIndex
        && a.streakIndex == b.streakIndex && a.singleMax == b.singleMax && a.totalMax == b.totalMax
        && a.tickets == b.tickets && a.prize == b.prize && a.profit == b.profit && a.carryLoss == b.carryLoss
        && a.intervalMode == b.intervalMode;
}

void CheckTickets(const InvestTicketsRead &read, qsizetype lines)
{
    LUMARO_FUZZ_CHECK(read.count >= 0);
    LUMARO_FUZZ_CHECK(static_cast<qsizetype>(read.tickets.size()) <= read.count);
    LUMARO_FUZZ_CHECK(static_cast<qsizetype>(read.tickets.size()) + read.extraLines + 2 <= lines);
    for (const BetTicket &t : read.tickets)
        for (int digit : t)
            LUMARO_FUZZ_CHECK(digit >= 0 && digit <= 9);
    const QStringList lines2 = SplitTextLines(FileText(InvestTicketLines(read.play, read.tickets)));
    const InvestTicketsRead again = ParseInvestTickets(lines2);
    LUMARO_FUZZ_CHECK(again.play == read.play);
    LUMARO_FUZZ_CHECK(again.count == static_cast<int>(read.tickets.size()));
    LUMARO_FUZZ_CHECK(again.tickets == read.tickets);
    LUMARO_FUZZ_CHECK(again.extraLines == 0);
}

void CheckSettings(const InvestFileSettings &read)
{
    const InvestFileSettings again = ParseInvestSettings(SplitTextLines(FileText(InvestSettingsLines(read))));
    LUMARO_FUZZ_CHECK(SameSettings(again, read));
    try {
        const InvestSettings s = ToInvestSettings(read);
        LUMARO_FUZZ_CHECK(s.bets >= 1 && s.gap >= 1 && s.streak >= 1 && s.wait >= 0);
    } catch (const Error &) {
        // a box text that is no whole number: the window shows the message
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const QStringList lines = SplitTextLines(fuzz::BytesOf(data + 1, size - 1));
    const int kind = data[0] % 3;
    InvestFileSettings settings;
    InvestTicketsRead tickets;
    QStringList ticketLines = lines;
    try {
        if (kind != 0) {
            settings = ParseInvestSettings(lines);
            // Settings and tickets: the tickets follow, read with the settings' play type.
            ticketLines = lines.mid(kInvestSettingsLines);
            ticketLines.prepend(QString::number(settings.play));
        }
        if (kind != 1)
            tickets = ParseInvestTickets(ticketLines);
    } catch (const InputError &) {
        return 0;
    } catch (const ConversionError &) {
        return 0;
    }
    // What was accepted must read back; an error from here on ends the run as a crash.
    if (kind != 0)
        CheckSettings(settings);
    if (kind != 1)
        CheckTickets(tickets, ticketLines.size());
    return 0;
}
