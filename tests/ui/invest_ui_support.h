#pragma once

#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace lumaro::test {

// A program folder, a closed lottery and the dialogs in test mode for the investment windows,
// with helpers that reach controls by their names.
class InvestWindowTest : public WindowTest {
protected:
    template<class T = QWidget>
    static T *find(QWidget *window, const char *name)
    {
        T *child = window->findChild<T *>(QString::fromUtf8(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static void click(QWidget *window, const char *name)
    {
        auto *button = find<QPushButton>(window, name);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }
    static void trigger(QWidget *window, const char *name) { find<QAction>(window, name)->trigger(); }
    static void type(QWidget *window, const char *name, const QString &text)
    {
        find<QLineEdit>(window, name)->setText(text);
    }
    static bool enabled(QWidget *window, const char *name) { return find(window, name)->isEnabled(); }

    QString auxFile(const QString &name) const { return home.path(QStringLiteral("附属/") + name); }
};

} // namespace lumaro::test
