#include "shell/u_main.h"

#include "data/lottery_store.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"

namespace lumaro {

Tfrmmain::Tfrmmain(const ProgramFolder &folder, LotteryStore &store, OpenLottery &lottery, QWidget *parent)
    : QMainWindow(parent)
    , m_folder(folder)
    , m_store(store)
    , m_lottery(lottery)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Lumaro"));
    resize(1024, 700);
}

} // namespace lumaro
