#include "common/errors.h"
#include "data/lottery_store.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"
#include "shell/u_main.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// Without a display Qt would abort with a platform plugin error; say plainly what to do instead.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString homeOption(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--home") && i + 1 < argc)
            return QString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith(QLatin1String("--home=")))
            return arg.mid(7);
    }
    return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("Lumaro 是桌面程序，这台机器没有图形显示（DISPLAY 未设置）。\n"
                   "Lumaro is a desktop program and this machine has no display (DISPLAY is not set).\n\n"
                   "没有显示时请用命令行 / without a display use the command line:\n"
                   "  lumaro-cli --help\n"
                   "  lumaro-cli lotteries\n"
                   "  lumaro-cli import 中国福彩七乐彩 qlc.csv\n"
                   "  lumaro-cli open 中国福彩七乐彩\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumaro"));
    const lumaro::ProgramFolder folder = lumaro::ProgramFolder::resolve(homeOption(argc, argv));
    try {
        folder.ensureCreated();
    } catch (const lumaro::Error &error) {
        QMessageBox::critical(nullptr, QStringLiteral("Lumaro"), error.message());
        return 1;
    }
    lumaro::LotteryStore store(folder.databaseFile());
    lumaro::OpenLottery lottery;
    lumaro::Tfrmmain window(folder, store, lottery);
    window.show();
    return app.exec();
}
