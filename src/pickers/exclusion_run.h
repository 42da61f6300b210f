#pragma once

#include "pickers/exclusion_engine.h"
#include "pickers/exclusion_follow.h"
#include "tickets/ticket_file.h"

#include <QString>

#include <memory>

namespace lumaro {

class OpenLottery;

// Everything a picker window (or the command line) reads from its controls for one run.
struct PickerSettings {
    ExclusionKind kind = ExclusionKind::Sum;
    StopRule stop;
    SumRule sum;
    RepeatRule repeat;
    SkewRule skew;
    FollowRule follow;
};

// The draws of the open lottery for a run at period index cur, after the checks every picker
// makes (lotto lottery, M from 3 to 7, at least one draw, cur within the list).
PickerHistory PickerHistoryOf(const OpenLottery &lottery, int cur);

// The member of the settings, after the member's own checks (the look-back of the repeat and
// skew pickers must lie after the first draw).
std::unique_ptr<ExclusionMember> MakeMember(const PickerHistory &history, const PickerSettings &settings);

// One whole run with the settings: the member, the cycles, the result list and the table kept
// for the next run.
PickerRunResult RunPickerSettings(PickerTickets &tickets, const PickerHistory &history, const PickerSettings &settings,
    RandomSource &random, const QString &resultListPath, const Progress &progress = {});

// How each picker reads a ticket file: the skew picker stops at the first empty line and keeps
// repeated lines; the others read to the end and drop a line equal to the one before it.
// At most 1,200,000 tickets are held.
TicketFileOptions PickerLoadOptions(ExclusionKind kind);
constexpr qint64 kPickerMaxTickets = 1'200'000;

// Reads a ticket file for a picker of the lottery and checks its numbers.
TicketSet LoadPickerTickets(const QString &path, ExclusionKind kind, int n, int m);

// The suffix of the proposed save name ("期无穷和值投注号码.txt" …).
QString PickerFileSuffix(ExclusionKind kind);

} // namespace lumaro
