#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lumaro {

// 0 乐透型: M distinct numbers of 1..N. 1 数字型: M digits 0..N-1, repetition allowed.
// 2 双区型: a front zone of M distinct numbers of 1..N and, drawn separately, a back zone of K
// distinct numbers of 1..L (双色球 6 of 33 + 1 of 16, 大乐透 5 of 35 + 2 of 12).
enum class LotteryKind : int { Lotto = 0, Digit = 1, TwoZone = 2 };

// The one row of a lottery's definition table "<name>彩票选项表".
struct LotteryDefinition {
    QString name; // 彩票名称
    LotteryKind kind = LotteryKind::Lotto; // 彩票类型
    int n = 0; // 号码总数
    int m = 0; // 选择号码数
    QString drawTime; // 开奖时间, free text
    QString weekdays; // 开奖星期, ascending digits 1..7, e.g. "246"
    int periodWidth = 7; // characters the period column holds (8 for the 11选5 games)
    int backN = 0; // 后区号码总数 L, two-zone lotteries only
    int backM = 0; // 后区选择号码数 K, two-zone lotteries only

    bool hasBackZone() const { return kind == LotteryKind::TwoZone; }

    // The smallest and largest value a drawn number may take.
    int lowestNumber() const { return kind == LotteryKind::Digit ? 0 : 1; }
    int highestNumber() const { return kind == LotteryKind::Digit ? n - 1 : n; }
};

struct BuiltinLottery {
    const char *name; // UTF-8
    int n;
    int m;
    bool elevenFiveGroup; // the four 11选5 games that have the quick update
};

// The eight built-in lotto lotteries, in the order they are created in a new database.
const std::vector<BuiltinLottery> &BuiltinLotteries();

// The built-in entry of a name, if it is one of the eight.
std::optional<BuiltinLottery> FindBuiltinLottery(const QString &name);

// True for the four 11选5 games.
bool IsElevenFiveGame(const QString &name);

// The definitions a new database starts with: the eight built-in lotteries, 福彩3D, then the
// national games 双色球, 大乐透 (two-zone), 排列3 and 排列5 (digit).
std::vector<LotteryDefinition> InitialLotteries();

// Checks the fields of a definition a user typed. Throws InputError with a Chinese message.
void ValidateDefinition(const LotteryDefinition &definition);

// The suffixes that turn a lottery name into its two table names.
inline const QString DrawTableSuffix()
{
    return QStringLiteral("彩票号码表");
}
inline const QString DefinitionTableSuffix()
{
    return QStringLiteral("彩票选项表");
}
constexpr int kMaxLotteryNameLength = 20;
constexpr int kMaxDrawTimeLength = 10;
constexpr int kMaxBackNumbers = 10; // the largest back zone K

// The name of the k-th back-zone column of a two-zone draw table (k from 1), "后区1".
QString BackColumnName(int k);
// The kind as the lottery manager names it: 乐透型, 数字型, 双区型.
QString LotteryKindName(LotteryKind kind);

} // namespace lumaro
