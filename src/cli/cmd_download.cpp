// Draw download: the branches of the download window, one line a branch.
#include "cli/cli.h"

#include "common/errors.h"
#include "download/draw_download.h"

namespace lumaro::cli {

namespace {

int Download(Context &context, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(
        QStringLiteral("NAME|all"), QStringLiteral("内置彩票名称，或 all（所有彩票）；站点地址在 附属/站点.ini"));
    if (!ParseArguments(context, parser, args, QStringLiteral("download NAME|all"), 1, 1))
        return 0;
    QString choice = parser.positionalArguments().front();
    if (choice == QLatin1String("all"))
        choice = AllLotteriesChoice();
    if (choice != AllLotteriesChoice() && !FindDownloadBranch(choice))
        throw InputError(QStringLiteral("不能下载“%1”的开奖号码，请给出内置彩票的名称或 all！").arg(choice));

    DownloadCallbacks callbacks;
    callbacks.status = [&context](const QString &text) {
        context.err() << text << '\n';
        context.err().flush();
    };
    const DownloadJob job {context.folder(), context.store().path(), QDate()};
    const std::vector<BranchReport> reports = RunDownload(job, choice, callbacks);
    int ended = 0;
    for (const BranchReport &report : reports) {
        context.out() << report.line() << '\n';
        ended += report.completed() ? 0 : 1;
    }
    context.out() << "下载完成！\n";
    if (ended > 0) {
        context.err() << QStringLiteral("有%1种彩票没有下载完。\n").arg(ended);
        return 1;
    }
    return 0;
}

[[maybe_unused]] const bool registered
    = RegisterCommand({"download", "下载开奖号码 / download the latest draws", Download});

} // namespace

} // namespace lumaro::cli
