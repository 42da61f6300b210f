#include "common/errors.h"
#include "data/lottery_store.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"
#include "shell/app_context.h"
#include "shell/application.h"
#include "shell/dialogs.h"
#include "shell/screenshot_tour.h"
#include "shell/toolbar_icons.h"
#include "shell/u_flash.h"
#include "shell/u_main.h"

#include <QThread>

#include <cstdio>

namespace {

// Without a display Qt would abort with a platform plugin error; say plainly what to do instead.
bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString OptionValue(int argc, char *argv[], const char *name)
{
    const QString option = QString::fromUtf8(name);
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == option && i + 1 < argc)
            return QString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith(option + QLatin1Char('=')))
            return arg.mid(option.size() + 1);
    }
    return QString();
}

bool HasFlag(int argc, char *argv[], const char *name)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (HasFlag(argc, argv, "--help")) {
        std::fputs("用法：lumaro [--home DIR] [--no-splash] [--screenshots DIR]\n"
                   "  --home DIR          程序文件夹（默认 $LUMARO_HOME，否则 ~/.local/share/Lumaro/）\n"
                   "  --no-splash         不显示启动画面\n"
                   "  --screenshots DIR   打开每个窗口并把画面存为 DIR 中的 PNG 文件，然后退出\n",
            stdout);
        return 0;
    }
    if (!HasDisplay()) {
        std::fputs("Lumaro 是桌面程序，这台机器没有图形显示（DISPLAY 未设置）。\n"
                   "Lumaro is a desktop program and this machine has no display (DISPLAY is not set).\n\n"
                   "没有显示时请用命令行 / without a display use the command line:\n"
                   "  lumaro-cli --help\n"
                   "  lumaro-cli lotteries\n"
                   "  lumaro-cli open 中国福彩七乐彩        # 自带开奖号码 / comes with its draws\n"
                   "  lumaro-cli omission 中国福彩七乐彩 --mode rebound\n"
                   "  lumaro-cli import 南粤风采36选7 FILE.csv\n",
            stderr);
        return 1;
    }
    lumaro::LumaroApplication app(argc, argv);
    QApplication::setWindowIcon(lumaro::ProgramIcon());

    lumaro::AppContext context;
    context.folder = lumaro::ProgramFolder::resolve(OptionValue(argc, argv, "--home"));
    try {
        context.folder.ensureCreated();
    } catch (const lumaro::Error &error) {
        lumaro::dialogs::Critical(nullptr, QStringLiteral("Lumaro"), error.message());
        return 1;
    }

    const QString screenshots = OptionValue(argc, argv, "--screenshots");
    if (!HasFlag(argc, argv, "--no-splash") && screenshots.isEmpty()) {
        lumaro::Tfrmflash splash(context.folder);
        splash.exec();
        QThread::msleep(100);
    }

    lumaro::LotteryStore store(context.folder.databaseFile());
    lumaro::OpenLottery lottery;
    context.store = &store;
    context.lottery = &lottery;
    lumaro::Tfrmmain window(context);
    if (!screenshots.isEmpty()) {
        const int pictures = lumaro::RunScreenshotTour(window, screenshots);
        std::printf("%d\n", pictures);
        return pictures > 0 ? 0 : 1;
    }
    window.showMaximized();
    return app.exec();
}
