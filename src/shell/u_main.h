#pragma once

#include <QMainWindow>

namespace lumaro {

class LotteryStore;
class OpenLottery;
class ProgramFolder;

// The main window of the program.
class Tfrmmain : public QMainWindow {
    Q_OBJECT
public:
    Tfrmmain(const ProgramFolder &folder, LotteryStore &store, OpenLottery &lottery, QWidget *parent = nullptr);

private:
    const ProgramFolder &m_folder;
    LotteryStore &m_store;
    OpenLottery &m_lottery;
};

} // namespace lumaro
