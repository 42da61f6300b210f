#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The prize table (奖级表): for each game the prize tiers, each with the (front hits, back hits)
// pairs that win it and its prize, a fixed amount in yuan or floating (浮动, the top tiers whose
// amount depends on the pool). The program folder's "附属/奖级表.ini" holds it as text the user
// may edit:
//
//   [双色球]
//   一等奖 = 6+1 : 浮动
//   四等奖 = 5+0, 4+1 : 200
//
// A pair "h" alone is h+0 (one-zone and digit games, where h counts positions equal). Lines
// starting with ";" or "#" and blank lines are skipped.
namespace lumaro {

class ProgramFolder;

struct HitPair {
    int front = 0;
    int back = 0;
    bool operator==(const HitPair &) const = default;
};

struct PrizeTier {
    QString name; // 一等奖
    std::vector<HitPair> pairs;
    std::optional<qint64> prize; // yuan; nullopt for a floating prize
    bool floating() const { return !prize.has_value(); }
};

struct GamePrizes {
    QString game;
    std::vector<PrizeTier> tiers; // in the order of the file
};

struct PrizeTable {
    std::vector<GamePrizes> games;

    // The tiers of a game; empty when the table does not list it.
    std::vector<PrizeTier> tiersOf(const QString &game) const;
};

// The largest fixed prize a tier may have, in yuan.
constexpr qint64 kMaxFixedPrize = 100'000'000'000LL;

// Reads the table's text. A line that is not a section, a comment or a tier, a tier outside a
// section, a pair or prize that is not one, a game or tier named twice, or a pair that two tiers
// of one game claim raises an InputError "奖级表第N行：…" naming the line and what is wrong.
PrizeTable ParsePrizeTable(const QByteArray &content);
PrizeTable ReadPrizeTable(const QString &path);

// Where the table is read from: the program folder's 附属/奖级表.ini, or the table shipped with
// the program when the folder has none.
QString PrizeTableFile(const ProgramFolder &folder);

// "6+1", or "3" for a game without back zone.
QString HitPairText(const HitPair &pair, bool twoZone);

} // namespace lumaro
