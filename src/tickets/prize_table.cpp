#include "tickets/prize_table.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "common/shipped_files.h"
#include "data/program_folder.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace lumaro {

namespace {

// A table of a few games is a few kilobytes; anything near this is no prize table.
constexpr qint64 kMaxTableBytes = 1 << 20;

// Full-width punctuation as a Chinese keyboard types it, read as the ASCII one.
QString Normalized(QString text)
{
    text.replace(QChar(0xFF1D), QLatin1Char('=')); // ＝
    text.replace(QChar(0xFF1A), QLatin1Char(':')); // ：
    text.replace(QChar(0xFF0C), QLatin1Char(',')); // ，
    text.replace(QChar(0x3001), QLatin1Char(',')); // 、
    text.replace(QChar(0xFF0B), QLatin1Char('+')); // ＋
    text.replace(QChar(0xFF3B), QLatin1Char('[')); // ［
    text.replace(QChar(0xFF3D), QLatin1Char(']')); // ］
    return text;
}

bool IsDigits(const QString &text)
{
    return !text.isEmpty() && text.size() <= 2
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

std::vector<PrizeTier> PrizeTable::tiersOf(const QString &game) const
{
    for (const GamePrizes &entry : games) {
        if (entry.game == game)
            return entry.tiers;
    }
    return {};
}

PrizeTable ParsePrizeTable(const QByteArray &content)
{
    PrizeTable table;
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    GamePrizes *current = nullptr;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const qsizetype lineNumber = index + 1;
        auto refuse = [lineNumber](const QString &why) {
            return InputError(QStringLiteral("奖级表第%1行：%2").arg(lineNumber).arg(why));
        };
        const QString line = Normalized(lines[index]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                throw refuse(QStringLiteral("彩票名称应写在“[”和“]”之间"));
            const QString game = line.mid(1, line.size() - 2).trimmed();
            if (game.isEmpty())
                throw refuse(QStringLiteral("“[]”中没有彩票名称"));
            if (std::any_of(table.games.begin(), table.games.end(),
                    [&](const GamePrizes &entry) { return entry.game == game; }))
                throw refuse(QStringLiteral("《%1》已经列过一次").arg(game));
            table.games.push_back({game, {}});
            current = &table.games.back();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const qsizetype colon = line.lastIndexOf(QLatin1Char(':'));
        if (equals < 0 || colon < equals)
            throw refuse(QStringLiteral("“%1”应写成“奖级 = 中奖组合, … : 奖金”").arg(lines[index].trimmed()));
        if (!current)
            throw refuse(QStringLiteral("奖级前面应先写“[彩票名称]”"));
        PrizeTier tier;
        tier.name = line.left(equals).trimmed();
        if (tier.name.isEmpty())
            throw refuse(QStringLiteral("没有奖级名称"));
        if (std::any_of(current->tiers.begin(), current->tiers.end(),
                [&](const PrizeTier &other) { return other.name == tier.name; }))
            throw refuse(QStringLiteral("《%1》的%2已经列过一次").arg(current->game, tier.name));

        const QStringList pairs = line.mid(equals + 1, colon - equals - 1).split(QLatin1Char(','));
        for (const QString &raw : pairs) {
            const QString pairText = raw.trimmed();
            if (pairText.isEmpty())
                throw refuse(QStringLiteral("缺少中奖组合（两个逗号之间或“=”与“:”之间是空的）"));
            const QStringList parts = pairText.split(QLatin1Char('+'));
            HitPair pair;
            const bool valid = parts.size() <= 2 && IsDigits(parts[0].trimmed())
                && (parts.size() == 1 || IsDigits(parts[1].trimmed()));
            if (!valid)
                throw refuse(QStringLiteral("“%1”不是中奖组合（应为“前区中几个+后区中几个”，如 5+1）").arg(pairText));
            pair.front = parts[0].trimmed().toInt();
            pair.back = parts.size() == 2 ? parts[1].trimmed().toInt() : 0;
            for (const PrizeTier &other : current->tiers) {
                if (std::find(other.pairs.begin(), other.pairs.end(), pair) != other.pairs.end())
                    throw refuse(
                        QStringLiteral("中奖组合%1+%2已经属于%3").arg(pair.front).arg(pair.back).arg(other.name));
            }
            if (std::find(tier.pairs.begin(), tier.pairs.end(), pair) != tier.pairs.end())
                throw refuse(QStringLiteral("中奖组合%1+%2写了两次").arg(pair.front).arg(pair.back));
            tier.pairs.push_back(pair);
        }

        QString prize = line.mid(colon + 1).trimmed();
        if (prize.endsWith(QStringLiteral("元")))
            prize = prize.chopped(1).trimmed();
        if (prize != QStringLiteral("浮动")) {
            bool ok = !prize.isEmpty()
                && std::all_of(prize.begin(), prize.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
            const qint64 amount = ok ? prize.toLongLong(&ok) : 0;
            if (!ok || amount > kMaxFixedPrize)
                throw refuse(QStringLiteral("奖金“%1”应为不超过%2的元数，或“浮动”").arg(prize).arg(kMaxFixedPrize));
            tier.prize = amount;
        }
        current->tiers.push_back(std::move(tier));
    }
    return table;
}

PrizeTable ReadPrizeTable(const QString &path)
{
    return ParsePrizeTable(ReadWholeFile(path, kMaxTableBytes));
}

QString PrizeTableFile(const ProgramFolder &folder)
{
    const QString own = folder.auxiliaryFolder() + QStringLiteral("奖级表.ini");
    if (QFileInfo::exists(own))
        return own;
    return ShippedPath(QStringLiteral("home/附属/奖级表.ini"));
}

QString HitPairText(const HitPair &pair, bool twoZone)
{
    return twoZone ? QStringLiteral("%1+%2").arg(pair.front).arg(pair.back) : QString::number(pair.front);
}

} // namespace lumaro
