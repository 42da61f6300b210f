#pragma once

#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace lumaro::test {

// A program folder, the dialogs in test mode and one tool window on an open lottery; controls
// are found by their names.
template<class Window>
class ToolWindowTest : public WindowTest {
protected:
    // Opens the lottery (with the given draws) and shows the window on it.
    void openWindow(const QString &lotteryName, const QByteArray &draws = {})
    {
        // Fixtures that open their window in their own SetUp still answer the dialogs.
        WindowTest::SetUp();
        if (!draws.isEmpty())
            ImportDraws(home.store(), lotteryName, draws);
        lottery.open(home.store(), lotteryName);
        window = std::make_unique<Window>(context);
        window->show();
    }

    template<class T>
    T *control(const char *name) const
    {
        T *found = window->template findChild<T *>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::unique_ptr<Window> window;
};

} // namespace lumaro::test
