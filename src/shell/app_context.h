#pragma once

#include "common/random_source.h"
#include "data/lottery_store.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"

#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace lumaro {

// What the main window offers the tool windows.
class ShellServices {
public:
    virtual ~ShellServices() = default;
    // The 标准走势 switch: standard trend, views recomputed, total filter ball chooser enabled.
    virtual void switchToStandardTrend() = 0;
    // The 变幻走势 switch: a new variant trend, views recomputed, ball chooser disabled.
    virtual void switchToVariantTrend() = 0;
    // Shows the open lottery again after its tables changed (caption, tabs, trend grid).
    virtual void showOpenedLottery() = 0;
    // Shows (creating it if needed) the tool window of that class name, as its menu item does;
    // nullptr when it is not shown.
    virtual QWidget *showToolWindow(const QString &key)
    {
        (void)key;
        return nullptr;
    }
};

// Everything a window works on: the program folder, the database, the open lottery and the
// random source. main() makes one; widget tests make their own.
struct AppContext {
    ProgramFolder folder;
    LotteryStore *store = nullptr;
    OpenLottery *lottery = nullptr;
    ShellServices *shell = nullptr;
    // Tests fix the seed; the program seeds every new generator from the clock.
    std::optional<std::uint64_t> fixedSeed;

    RandomSource newRandom() const { return fixedSeed ? RandomSource(*fixedSeed) : RandomSource::fromClock(); }
};

} // namespace lumaro
