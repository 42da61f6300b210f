// Lottery data commands: list, create, delete, import, export and open.
#include "cli/cli.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "data/bundled_draws.h"
#include "data/combination.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "download/draw_download.h"

#include <QFile>

namespace lumaro::cli {

namespace {

int Lotteries(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    if (!ParseArguments(context, parser, args, QStringLiteral("lotteries"), 0, 0))
        return 0;
    for (const QString &name : context.store().listLotteries())
        context.out() << name << '\n';
    return 0;
}

int Create(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addOptions({
        {QStringLiteral("kind"), QStringLiteral("彩票类型：0 乐透型，1 数字型，2 双区型"), QStringLiteral("0|1|2")},
        {QStringLiteral("n"), QStringLiteral("号码总数（双区型：前区）"), QStringLiteral("N")},
        {QStringLiteral("m"), QStringLiteral("选择号码数（双区型：前区）"), QStringLiteral("M")},
        {QStringLiteral("back-n"), QStringLiteral("后区号码总数（只用于双区型）"), QStringLiteral("L")},
        {QStringLiteral("back-m"), QStringLiteral("后区选择号码数（只用于双区型）"), QStringLiteral("K")},
        {QStringLiteral("time"), QStringLiteral("开奖时间"), QStringLiteral("TEXT")},
        {QStringLiteral("weekdays"), QStringLiteral("开奖星期，例如 246"), QStringLiteral("DIGITS")},
    });
    if (!ParseArguments(context, parser, args,
            QStringLiteral("create NAME --kind 0|1|2 --n N --m M [--back-n L --back-m K] [--time TEXT] "
                           "[--weekdays DIGITS]"),
            1, 1))
        return 0;
    for (const char *required : {"kind", "n", "m"}) {
        if (!parser.isSet(QString::fromUtf8(required)))
            throw UsageError(QStringLiteral("缺少 --%1").arg(QString::fromUtf8(required)));
    }
    LotteryDefinition d;
    d.name = parser.positionalArguments().front();
    const int kind = ChoiceOption(parser, QStringLiteral("kind"), 0, 2);
    d.kind = static_cast<LotteryKind>(kind);
    d.n = IntegerOption(parser, QStringLiteral("n"));
    d.m = IntegerOption(parser, QStringLiteral("m"));
    // The back zone belongs to a two-zone lottery and to no other kind.
    for (const char *option : {"back-n", "back-m"}) {
        const QString name = QString::fromUtf8(option);
        if (d.hasBackZone() && !parser.isSet(name))
            throw UsageError(QStringLiteral("双区型彩票（--kind 2）缺少 --%1").arg(name));
        if (!d.hasBackZone() && parser.isSet(name))
            throw UsageError(QStringLiteral("--%1 只用于双区型彩票（--kind 2）").arg(name));
    }
    if (d.hasBackZone()) {
        d.backN = IntegerOption(parser, QStringLiteral("back-n"));
        d.backM = IntegerOption(parser, QStringLiteral("back-m"));
    }
    d.drawTime = parser.value(QStringLiteral("time"));
    d.weekdays = parser.value(QStringLiteral("weekdays"));
    context.store().createLottery(d);
    context.out() << "已添加彩票：" << d.name << '\n';
    return 0;
}

int Remove(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    if (!ParseArguments(context, parser, args, QStringLiteral("delete NAME"), 1, 1))
        return 0;
    const QString name = parser.positionalArguments().front();
    context.store().dropLottery(name);
    context.out() << "已删除彩票：" << name << '\n';
    return 0;
}

int Import(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("CSV 文件（期号,日期,号码…）或历史号码文本"));
    if (!ParseArguments(context, parser, args, QStringLiteral("import NAME FILE"), 2, 2))
        return 0;
    const QStringList positional = parser.positionalArguments();
    const ImportResult result = ImportDrawFile(context.store(), positional[0], positional[1]);
    context.out() << "新增开奖号码：" << result.added << "期\n"
                  << "已有开奖号码：" << result.alreadyStored << "期\n";
    return 0;
}

int ExportHistory(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    parser.addOption({QStringList {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("写入文件，不写则输出到标准输出"), QStringLiteral("FILE")});
    if (!ParseArguments(context, parser, args, QStringLiteral("export NAME [-o FILE]"), 1, 1))
        return 0;
    const QString name = parser.positionalArguments().front();
    if (parser.isSet(QStringLiteral("o"))) {
        const int count = ExportHistoryFile(context.store(), name, parser.value(QStringLiteral("o")));
        context.err() << "成功保存！" << count << "期\n";
    } else {
        context.out().flush();
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            throw IoError::cannotWrite(QStringLiteral("stdout"), out.errorString());
        out.write(HistoryText(context.store().readDraws(name)));
    }
    return 0;
}

int Open(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("彩票名称"));
    if (!ParseArguments(context, parser, args, QStringLiteral("open NAME"), 1, 1))
        return 0;
    OpenLottery lottery;
    lottery.open(context.store(), parser.positionalArguments().front());
    QTextStream &out = context.out();
    out << "开奖期数：" << lottery.drawCount << '\n';
    if (lottery.drawCount == 0) {
        out << NoDrawsHint(lottery.name, DownloadsFromService(lottery.name)) << '\n';
    } else {
        const int last = lottery.drawCount - 1;
        QStringList fields {
            lottery.drawPeriods[last], lottery.drawDates[last], JoinPadded(lottery.drawTable.numbers(last), lottery.m)};
        fields.removeAll(QString());
        if (lottery.twoZone())
            fields << QStringLiteral("+") << JoinPadded(lottery.backTable.numbers(last), lottery.backM);
        out << "最近一期：" << fields.join(QLatin1Char(' ')) << '\n';
    }
    if (!lottery.hasTicketSet()) {
        try {
            lottery.ticketSet();
        } catch (const CapacityError &error) {
            out << "投注号码：" << error.message() << '\n';
        }
        return 0;
    }
    const TicketSet &tickets = lottery.ticketSet();
    if (!lottery.twoZone()) {
        out << "投注号码数：" << tickets.rowCount() << '\n';
    } else {
        // The whole game: every front ticket with every back one.
        const qint64 backTickets = TicketCount(lottery.backM, lottery.backN, LotteryKind::Lotto);
        out << "投注号码数：" << lottery.gameTicketCount() << "（前区" << tickets.rowCount() << " × 后区" << backTickets
            << "）\n";
    }
    if (!tickets.isEmpty()) {
        // The back zone of the first ticket is 1..K, of the last one L-K+1..L.
        auto ticket = [&](qint64 index, bool last) {
            std::vector<int> row(static_cast<std::size_t>(tickets.width()));
            tickets.numbers(index, row.data());
            QString text = JoinPadded(row.data(), tickets.width());
            if (lottery.twoZone()) {
                std::vector<int> back(static_cast<std::size_t>(lottery.backM));
                for (int k = 0; k < lottery.backM; ++k)
                    back[static_cast<std::size_t>(k)] = last ? lottery.backN - lottery.backM + 1 + k : 1 + k;
                text += QStringLiteral(" + ") + JoinPadded(back.data(), lottery.backM);
            }
            return text;
        };
        out << "第一注：" << ticket(0, false) << '\n';
        out << "最后一注：" << ticket(tickets.rowCount() - 1, true) << '\n';
    }
    return 0;
}

[[maybe_unused]] const bool registered = RegisterCommand({"lotteries", "列出彩票 / list the lotteries", Lotteries})
    && RegisterCommand({"create", "添加彩票 / create a lottery", Create})
    && RegisterCommand({"delete", "删除彩票 / delete a lottery", Remove})
    && RegisterCommand({"import", "导入开奖号码 / import a draw history", Import})
    && RegisterCommand({"export", "导出历史号码 / export the draw history", ExportHistory})
    && RegisterCommand({"open", "打开彩票 / open a lottery", Open});

} // namespace

} // namespace lumaro::cli
