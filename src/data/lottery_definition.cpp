#include "data/lottery_definition.h"

#include "common/errors.h"

namespace lumaro {

const std::vector<BuiltinLottery> &BuiltinLotteries()
{
    static const std::vector<BuiltinLottery> table = {
        {"中国福彩七乐彩", 30, 7, false},
        {"南粤风采36选7", 36, 7, false},
        {"南粤风采26选5", 26, 5, false},
        {"中国体彩22选5", 22, 5, false},
        {"山东体彩11选5", 11, 5, true},
        {"广东体彩11选5", 11, 5, true},
        {"江西体彩11选5", 11, 5, true},
        {"重庆体彩11选5", 11, 5, true},
    };
    return table;
}

std::optional<BuiltinLottery> FindBuiltinLottery(const QString &name)
{
    for (const BuiltinLottery &entry : BuiltinLotteries()) {
        if (name == QString::fromUtf8(entry.name))
            return entry;
    }
    return std::nullopt;
}

bool IsElevenFiveGame(const QString &name)
{
    const auto entry = FindBuiltinLottery(name);
    return entry && entry->elevenFiveGroup;
}

std::vector<LotteryDefinition> InitialLotteries()
{
    // Draw days as the games are drawn: 七乐彩 Mon/Wed/Fri, 22选5 every evening, the 11选5
    // games many times a day (the weekday digits then mark every day).
    struct Extra {
        const char *time;
        const char *weekdays;
    };
    static const Extra extras[] = {
        {"21:15", "135"},
        {"20:30", "1234567"},
        {"20:30", "1234567"},
        {"20:30", "1234567"},
        {"8:35-22:55", "1234567"},
        {"9:10-23:10", "1234567"},
        {"9:00-23:00", "1234567"},
        {"9:10-23:50", "1234567"},
    };
    std::vector<LotteryDefinition> result;
    int index = 0;
    for (const BuiltinLottery &entry : BuiltinLotteries()) {
        LotteryDefinition d;
        d.name = QString::fromUtf8(entry.name);
        d.kind = LotteryKind::Lotto;
        d.n = entry.n;
        d.m = entry.m;
        d.drawTime = QString::fromUtf8(extras[index].time);
        d.weekdays = QString::fromUtf8(extras[index].weekdays);
        d.periodWidth = entry.elevenFiveGroup ? 8 : 7;
        result.push_back(d);
        ++index;
    }
    LotteryDefinition fc3d;
    fc3d.name = QStringLiteral("福彩3D");
    fc3d.kind = LotteryKind::Digit;
    fc3d.n = 10;
    fc3d.m = 3;
    fc3d.drawTime = QStringLiteral("21:15");
    fc3d.weekdays = QStringLiteral("1234567");
    result.push_back(fc3d);

    auto twoZone = [](const char *name, int n, int m, int backN, int backM, const char *time, const char *weekdays) {
        LotteryDefinition d;
        d.name = QString::fromUtf8(name);
        d.kind = LotteryKind::TwoZone;
        d.n = n;
        d.m = m;
        d.backN = backN;
        d.backM = backM;
        d.drawTime = QString::fromUtf8(time);
        d.weekdays = QString::fromUtf8(weekdays);
        return d;
    };
    result.push_back(twoZone("双色球", 33, 6, 16, 1, "21:15", "247"));
    result.push_back(twoZone("大乐透", 35, 5, 12, 2, "21:25", "136"));
    for (const int digits : {3, 5}) {
        LotteryDefinition d;
        d.name = QStringLiteral("排列%1").arg(digits);
        d.kind = LotteryKind::Digit;
        d.n = 10;
        d.m = digits;
        d.drawTime = QStringLiteral("21:25");
        d.weekdays = QStringLiteral("1234567");
        result.push_back(d);
    }
    return result;
}

QString BackColumnName(int k)
{
    return QStringLiteral("后区%1").arg(k);
}

QString LotteryKindName(LotteryKind kind)
{
    switch (kind) {
    case LotteryKind::Digit:
        return QStringLiteral("数字型");
    case LotteryKind::TwoZone:
        return QStringLiteral("双区型");
    case LotteryKind::Lotto:
        break;
    }
    return QStringLiteral("乐透型");
}

void ValidateDefinition(const LotteryDefinition &d)
{
    const QString name = d.name;
    if (name.trimmed().isEmpty())
        throw InputError(QStringLiteral("请输入彩票名称！"));
    if (name != name.trimmed())
        throw InputError(QStringLiteral("彩票名称的首尾不能有空格！"));
    if (name.size() > kMaxLotteryNameLength)
        throw InputError(QStringLiteral("彩票名称最多%1个字符！").arg(kMaxLotteryNameLength));
    for (const QChar ch : name) {
        if (ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format || ch.isSurrogate()
            || ch == QChar(0))
            throw InputError(QStringLiteral("彩票名称含有不能使用的字符！"));
    }
    if (d.kind != LotteryKind::Lotto && d.kind != LotteryKind::Digit && d.kind != LotteryKind::TwoZone)
        throw InputError(QStringLiteral("彩票类型只能是乐透型、数字型或双区型！"));
    if (d.m < 1)
        throw InputError(QStringLiteral("选择号码数至少为1！"));
    if (d.n < 1 || d.n > 99)
        throw InputError(QStringLiteral("号码总数应在1到99之间！"));
    if (d.kind != LotteryKind::Digit && d.m > d.n)
        throw InputError(QStringLiteral("选择号码数不能大于号码总数！"));
    if (d.hasBackZone()) {
        if (d.backM < 1)
            throw InputError(QStringLiteral("后区选择号码数至少为1！"));
        if (d.backN < 1 || d.backN > 99)
            throw InputError(QStringLiteral("后区号码总数应在1到99之间！"));
        if (d.backM > d.backN)
            throw InputError(QStringLiteral("后区选择号码数不能大于后区号码总数！"));
        if (d.backM > kMaxBackNumbers)
            throw InputError(QStringLiteral("后区选择号码数最多为%1！").arg(kMaxBackNumbers));
    }
    if (d.m > 20)
        throw InputError(QStringLiteral("选择号码数最多为20！"));
    if (d.drawTime.size() > kMaxDrawTimeLength)
        throw InputError(QStringLiteral("开奖时间最多%1个字符！").arg(kMaxDrawTimeLength));
    QString previous;
    for (const QChar ch : d.weekdays) {
        if (ch < QLatin1Char('1') || ch > QLatin1Char('7') || (!previous.isEmpty() && ch <= previous.back()))
            throw InputError(QStringLiteral("开奖星期只能是1到7的数字，从小到大排列！"));
        previous += ch;
    }
    if (d.periodWidth < 1 || d.periodWidth > 9)
        throw InputError(QStringLiteral("期号位数应在1到9之间！"));
}

} // namespace lumaro
