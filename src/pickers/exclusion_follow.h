#pragma once

#include "pickers/exclusion_engine.h"

#include <QString>

#include <memory>
#include <vector>

// The follow picker (跟随): groups of one, two or three values are taken from the row before the
// reference index; for each group the last earlier row holding the whole group is found, and
// the row right after it is where the group "went". A candidate's follow count is the largest
// number of its values found in one of those following rows.
namespace lumaro {

// The following rows of every group of the row r - 1, found once for a reference index and
// then asked for any number of candidates. The search for a group does not depend on the
// candidate, so a pass over millions of tickets costs one mask test per distinct following row.
class FollowTargets {
public:
    FollowTargets() = default;
    // masks[t] is the value mask of rows.row(t); group is 1, 2 or 3.
    FollowTargets(const ValueRows &rows, const std::vector<ValueMask> &masks, int r, int group);

    // The follow count of a candidate: 0 when no group has an earlier occurrence.
    int count(const TicketValues &candidate) const;
    // The distinct following rows (their masks).
    const std::vector<ValueMask> &targets() const { return m_targets; }

private:
    std::vector<ValueMask> m_targets;
};

std::vector<ValueMask> RowMasks(const ValueRows &rows);

// The follow count of candidate (m values) at reference index r over the rows.
int FollowCount(const ValueRows &rows, int r, int group, const int *candidate);

// Per row i the follow count of row i itself at reference index i (rows 0 and 1 give 0).
// Cancelled (empty result) when progress says so; progress steps once per 64 rows.
std::vector<int> FollowHistory(const ValueRows &rows, int group, const Progress &progress = {});

// The group size typed in 对比号码数: "1", "2" or "3"; anything else is refused.
int FollowGroupSize(const QString &text);
void CheckFollowGroup(int group);

struct FollowRule {
    int group = 2; // edthuishu
    int upper = 0; // comhei1: excluded when the follow count is >= upper
    int lower = 0; // comhei2: … or <= lower
    bool variant = true; // optmode 变幻 (else 常规: the draws as drawn)
    bool byLabel = false; // opttype1 排列模式: the label itself, no ranking
    bool byGap = false; // opttype2 间隔模式: ranked by descending omission
    bool randomStage = false; // opttype3 随机阶段
    bool maxStage = false; // opttype4 最大阶段期数: the stage (or its bound) is cur + 1
    int stageLimit = 100; // comjieduannum
};

// The stage length of one relabelling: the limit or cur + 1, fixed or drawn from 1 to it.
int FollowStage(const FollowRule &rule, int cur, RandomSource &random);

// The relabelling of one variant cycle: a fresh shuffle (label (P(x) + t) mod N + 1), then in
// 排名模式 the stage and the ranking of every index; rows 0 .. end - 1 and the values at cur.
// stage receives the stage length (0 in 排列模式).
RelabelledHistory BuildFollowRelabelling(
    const PickerHistory &history, const FollowRule &rule, RandomSource &random, int end, int *stage = nullptr);

std::unique_ptr<ExclusionMember> MakeFollowMember(const PickerHistory &history, const FollowRule &rule);

} // namespace lumaro
