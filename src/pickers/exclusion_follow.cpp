#include "pickers/exclusion_follow.h"

#include "common/errors.h"

#include <algorithm>
#include <array>

namespace lumaro {

namespace {

// Calls fn(mask) for every group of `group` positions of the row (all combinations).
template<class Fn>
void ForEachGroup(const int *row, int m, int group, Fn &&fn)
{
    int positions[3] = {0, 1, 2};
    if (group < 1 || group > 3 || group > m)
        return;
    for (;;) {
        ValueMask mask;
        for (int g = 0; g < group; ++g)
            mask.set(row[positions[g]]);
        fn(mask);
        // Next combination of positions in lexicographic order.
        int g = group - 1;
        while (g >= 0 && positions[g] == m - group + g)
            --g;
        if (g < 0)
            return;
        ++positions[g];
        for (int h = g + 1; h < group; ++h)
            positions[h] = positions[h - 1] + 1;
    }
}

} // namespace

FollowTargets::FollowTargets(const ValueRows &rows, const std::vector<ValueMask> &masks, int r, int group)
{
    if (r < 1 || r > rows.rowCount())
        return;
    std::vector<int> following;
    ForEachGroup(rows.row(r - 1), rows.width(), group, [&](const ValueMask &groupMask) {
        for (int j = r - 2; j >= 0; --j) {
            if (masks[static_cast<std::size_t>(j)].contains(groupMask)) {
                if (std::find(following.begin(), following.end(), j + 1) == following.end())
                    following.push_back(j + 1);
                return;
            }
        }
    });
    for (int row : following) {
        const ValueMask &mask = masks[static_cast<std::size_t>(row)];
        if (std::find(m_targets.begin(), m_targets.end(), mask) == m_targets.end())
            m_targets.push_back(mask);
    }
}

int FollowTargets::count(const TicketValues &candidate) const
{
    int best = 0;
    for (const ValueMask &target : m_targets) {
        best = std::max(best, candidate.hitsIn(target));
        if (best >= candidate.m)
            break;
    }
    return best;
}

std::vector<ValueMask> RowMasks(const ValueRows &rows)
{
    std::vector<ValueMask> masks(static_cast<std::size_t>(rows.rowCount()));
    for (int t = 0; t < rows.rowCount(); ++t)
        masks[static_cast<std::size_t>(t)] = rows.mask(t);
    return masks;
}

int FollowCount(const ValueRows &rows, int r, int group, const int *candidate)
{
    return FollowTargets(rows, RowMasks(rows), r, group).count(TicketValues::of(candidate, rows.width()));
}

std::vector<int> FollowHistory(const ValueRows &rows, int group, const Progress &progress)
{
    const std::vector<ValueMask> masks = RowMasks(rows);
    std::vector<int> counts(static_cast<std::size_t>(rows.rowCount()), 0);
    for (int i = 0; i < rows.rowCount(); ++i) {
        if (i % 64 == 0) {
            progress.step(i, rows.rowCount());
            if (progress.cancelled())
                return {};
        }
        counts[static_cast<std::size_t>(i)]
            = FollowTargets(rows, masks, i, group).count(TicketValues::of(rows.row(i), rows.width()));
    }
    return counts;
}

int FollowGroupSize(const QString &text)
{
    const QString trimmed = text.trimmed();
    const bool plain = trimmed.size() == 1 && trimmed[0] >= QLatin1Char('1') && trimmed[0] <= QLatin1Char('3');
    const int group = plain ? trimmed.toInt() : 0;
    CheckFollowGroup(group);
    return group;
}

void CheckFollowGroup(int group)
{
    if (group < 1 || group > 3)
        throw InputError(QStringLiteral("对比号码数只能是1、2或3（单个号码、两个号码或三个号码一组）。"));
}

int FollowStage(const FollowRule &rule, int cur, RandomSource &random)
{
    const int bound = rule.maxStage ? cur + 1 : std::max(1, rule.stageLimit);
    return rule.randomStage ? random.between(1, bound) : bound;
}

RelabelledHistory BuildFollowRelabelling(
    const PickerHistory &history, const FollowRule &rule, RandomSource &random, int end, int *stage)
{
    const LabelShuffle shuffle = LabelShuffle::draw(random, history.n);
    int s = 0;
    RankingKey key = RankingKey::HitsThenLongerOmission;
    if (!rule.byLabel) {
        s = FollowStage(rule, history.cur, random);
        if (rule.byGap)
            key = RankingKey::LongerOmissionThenHits;
    }
    if (stage)
        *stage = s;
    return BuildRelabelledHistory(history.draws, shuffle, s, key, end,
        rule.byLabel ? RelabelledValue::Label : RelabelledValue::Rank, history.cur);
}

namespace {

class FollowMember : public ExclusionMember {
public:
    FollowMember(const PickerHistory &history, const FollowRule &rule)
        : m_history(history)
        , m_rule(rule)
    {
        if (!rule.variant) {
            // The draws as drawn: the same targets serve every cycle.
            m_values.assign(static_cast<std::size_t>(history.n) + 1, 0);
            for (int x = 1; x <= history.n; ++x)
                m_values[static_cast<std::size_t>(x)] = x;
            aim(FollowTargets(history.draws, RowMasks(history.draws), history.cur, rule.group));
        }
    }

    bool prepareCycle(RandomSource &random) override
    {
        if (!m_rule.variant)
            return true;
        RelabelledHistory relabelled = BuildFollowRelabelling(m_history, m_rule, random, m_history.cur, &m_stage);
        m_values = std::move(relabelled.valueOf);
        aim(FollowTargets(relabelled.rows, RowMasks(relabelled.rows), m_history.cur, m_rule.group));
        return true;
    }

    // The follow count is the largest lane count (0 without lanes): at least upper, or not even
    // lower + 1.
    bool excludes(const int *numbers, int m) const override
    {
        LaneCounter counter;
        for (int j = 0; j < m; ++j)
            counter.add(m_targetsHit[static_cast<std::size_t>(NumberSlot(numbers[j]))]);
        const auto reaches = [&](int count) { return count <= 0 || (counter.atLeast(count) & m_laneMask) != 0; };
        return reaches(m_rule.upper) || !reaches(m_rule.lower + 1);
    }

    bool repeatsItself() const override { return !m_rule.variant; }

private:
    // One lane per distinct following row (at most C(7, 3) = 35).
    void aim(const FollowTargets &targets)
    {
        const std::vector<ValueMask> &rows = targets.targets();
        const std::size_t lanes = std::min<std::size_t>(rows.size(), 64);
        m_laneMask = lanes >= 64 ? ~quint64(0) : (quint64(1) << lanes) - 1;
        m_targetsHit.fill(0);
        for (int x = 1; x <= m_history.n; ++x) {
            quint64 hit = 0;
            for (std::size_t t = 0; t < lanes; ++t)
                hit |= quint64(rows[t].test(m_values[static_cast<std::size_t>(x)]) ? 1 : 0) << t;
            m_targetsHit[static_cast<std::size_t>(NumberSlot(x))] = hit;
        }
    }

    const PickerHistory m_history;
    FollowRule m_rule;
    quint64 m_laneMask = 0;
    std::array<quint64, kNumberSlots> m_targetsHit {};
};

} // namespace

std::unique_ptr<ExclusionMember> MakeFollowMember(const PickerHistory &history, const FollowRule &rule)
{
    return std::make_unique<FollowMember>(history, rule);
}

} // namespace lumaro
