#include "pickers/exclusion_run.h"

#include "data/open_lottery.h"

namespace lumaro {

PickerHistory PickerHistoryOf(const OpenLottery &lottery, int cur)
{
    CheckPickerLottery(lottery.kind, lottery.n, lottery.m, lottery.drawTable.rowCount(), cur);
    PickerHistory history;
    history.n = lottery.n;
    history.m = lottery.m;
    history.draws = ValueRows::fromDraws(lottery.drawTable);
    history.cur = cur;
    return history;
}

std::unique_ptr<ExclusionMember> MakeMember(const PickerHistory &history, const PickerSettings &settings)
{
    switch (settings.kind) {
    case ExclusionKind::Sum:
        return MakeSumMember(history, settings.sum);
    case ExclusionKind::Repeat:
        CheckLookBack(settings.repeat.periods, history.cur, QStringLiteral("重码期数"));
        return MakeRepeatMember(history, settings.repeat);
    case ExclusionKind::Skew:
        CheckLookBack(settings.skew.span, history.cur, QStringLiteral("延续期数"));
        return MakeSkewMember(history, settings.skew);
    case ExclusionKind::Follow:
        CheckFollowGroup(settings.follow.group);
        return MakeFollowMember(history, settings.follow);
    }
    return {};
}

PickerRunResult RunPickerSettings(PickerTickets &tickets, const PickerHistory &history, const PickerSettings &settings,
    RandomSource &random, const QString &resultListPath, const Progress &progress)
{
    const std::unique_ptr<ExclusionMember> member = MakeMember(history, settings);
    return RunPicker(tickets, history, settings.kind, *member, settings.stop, random, resultListPath, progress);
}

TicketFileOptions PickerLoadOptions(ExclusionKind kind)
{
    TicketFileOptions options;
    const bool skew = kind == ExclusionKind::Skew;
    options.stopAtBlankLine = skew;
    options.collapseRepeats = !skew;
    options.maxTickets = kPickerMaxTickets;
    return options;
}

TicketSet LoadPickerTickets(const QString &path, ExclusionKind kind, int n, int m)
{
    LoadedTickets loaded = ReadTicketFile(path, m, PickerLoadOptions(kind));
    CheckTicketNumbers(loaded.tickets, n);
    return std::move(loaded.tickets);
}

QString PickerFileSuffix(ExclusionKind kind)
{
    switch (kind) {
    case ExclusionKind::Sum:
        return QStringLiteral("期无穷和值投注号码.txt");
    case ExclusionKind::Repeat:
        return QStringLiteral("期无穷重码投注号码.txt");
    case ExclusionKind::Skew:
        return QStringLiteral("期无穷偏态投注号码.txt");
    case ExclusionKind::Follow:
        return QStringLiteral("期无穷跟随投注号码.txt");
    }
    return {};
}

} // namespace lumaro
