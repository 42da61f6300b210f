#include "support/screenshot.h"
#include "tickets/tool_window_test.h"
#include "tickets/u_fushi.h"
#include "trend/variant_trend.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// Counts the trend switches the main window would make.
class RecordingShell : public ShellServices {
public:
    explicit RecordingShell(OpenLottery &lottery)
        : m_lottery(lottery)
    { }
    void switchToStandardTrend() override
    {
        ++standard;
        m_lottery.variantMode = false;
        m_lottery.BuildStandardTrend();
    }
    void switchToVariantTrend() override
    {
        ++variant;
        m_lottery.variantMode = true;
        BuildVariantTrend(m_lottery, m_random);
    }
    void showOpenedLottery() override { }
    int standard = 0;
    int variant = 0;

private:
    OpenLottery &m_lottery;
    RandomSource m_random {21};
};

class FushiWindowTest : public test::ToolWindowTest<Tfrmfushi> {
protected:
    void SetUp() override
    {
        QByteArray draws;
        // 60 draws of 22选5 that never use 21 and 22.
        for (int i = 0; i < 60; ++i) {
            draws += QByteArray::number(2020001 + i);
            for (int k = 0; k < 5; ++k)
                draws += ' ' + QByteArray::number((i * 5 + k) % 20 + 1);
            draws += '\n';
        }
        context.fixedSeed = 9;
        openWindow(QStringLiteral("中国体彩22选5"), draws);
    }
    // Lets the search run until it ends or the time is up.
    bool waitForEnd(int milliseconds)
    {
        QSignalSpy ended(window.get(), &Tfrmfushi::searchEnded);
        return ended.wait(milliseconds);
    }
};

} // namespace

TEST_F(FushiWindowTest, SearchWithoutThresholdEndsWithKNumbers)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("自动复式搜索"));
    EXPECT_EQ(control<QLineEdit>("edtnum")->text(), QStringLiteral("17"));
    EXPECT_EQ(control<QLineEdit>("edtyilouqishu")->text(), QStringLiteral("50"));
    EXPECT_TRUE(control<QCheckBox>("chkyilou")->isChecked());
    auto *sou = control<QPushButton>("btnsou");
    EXPECT_EQ(sou->text(), QStringLiteral("开始搜索"));

    control<QCheckBox>("chkyilou")->setChecked(false);
    sou->click();
    EXPECT_EQ(sou->text(), QStringLiteral("停止"));
    EXPECT_FALSE(control<QLineEdit>("edtnum")->isEnabled());
    ASSERT_TRUE(waitForEnd(20000));
    EXPECT_EQ(sou->text(), QStringLiteral("开始搜索"));
    EXPECT_TRUE(control<QLineEdit>("edtnum")->isEnabled());
    const QString proposal = control<QLineEdit>("edtfushicode")->text();
    EXPECT_EQ(proposal.split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 17) << proposal.toStdString();
    EXPECT_TRUE(proposal.endsWith(QLatin1Char(' ')));
    EXPECT_FALSE(lottery.variantMode);
    EXPECT_EQ(lottery.trendText.values(0)[0], lottery.drawTable.numbers(0)[0]);
    test::Screenshot(window.get(), QStringLiteral("fushi_result"));

    // The same seed gives the same proposal.
    sou->click();
    ASSERT_TRUE(waitForEnd(20000));
    EXPECT_EQ(control<QLineEdit>("edtfushicode")->text(), proposal);

    control<QPushButton>("btncopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), proposal);
}

TEST_F(FushiWindowTest, AnUnreachableThresholdRunsUntilStopped)
{
    RecordingShell shell(lottery);
    context.shell = &shell;
    control<QLineEdit>("edtfushicode")->setText(QStringLiteral("01 02 "));
    control<QLineEdit>("edtyilouqishu")->setText(QStringLiteral("61"));
    auto *sou = control<QPushButton>("btnsou");
    sou->click();
    // The search keeps going while the window answers events.
    QElapsedTimer clock;
    clock.start();
    while (shell.variant < 30 && clock.elapsed() < 20000)
        QApplication::processEvents();
    EXPECT_GE(shell.variant, 30);
    EXPECT_TRUE(window->searching());
    EXPECT_TRUE(lottery.variantMode);
    EXPECT_EQ(window->search()->remaining(), 22);
    test::Screenshot(window.get(), QStringLiteral("fushi_searching"));

    sou->click(); // 停止
    EXPECT_FALSE(window->searching());
    EXPECT_EQ(sou->text(), QStringLiteral("开始搜索"));
    EXPECT_EQ(control<QLineEdit>("edtfushicode")->text(), QStringLiteral("01 02 "));
    EXPECT_EQ(shell.standard, 1);
    EXPECT_FALSE(lottery.variantMode);
    const int variants = shell.variant;
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    EXPECT_EQ(shell.variant, variants);

    // Closing the window during a search stops it and restores the standard trend.
    control<QLineEdit>("edtyilouqishu")->setText(QStringLiteral("1000"));
    sou->click();
    QApplication::processEvents();
    window->close();
    EXPECT_FALSE(window->searching());
    EXPECT_EQ(shell.standard, 2);
    context.shell = nullptr;
}

TEST_F(FushiWindowTest, BadNumbersDoNotStartTheSearch)
{
    control<QLineEdit>("edtnum")->setText(QStringLiteral("十"));
    control<QPushButton>("btnsou")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("'十' 不是一个有效的整形值"));
    EXPECT_FALSE(window->searching());
    control<QLineEdit>("edtnum")->setText(QStringLiteral("5"));
    control<QLineEdit>("edtyilouqishu")->setText(QString());
    control<QPushButton>("btnsou")->click();
    EXPECT_FALSE(window->searching());
    control<QLineEdit>("edtyilouqishu")->setText(QStringLiteral("50"));
    control<QLineEdit>("edtnum")->setText(QStringLiteral("0"));
    control<QPushButton>("btnsou")->click();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("号码个数至少是1！"));
    EXPECT_FALSE(window->searching());
    EXPECT_EQ(control<QPushButton>("btnsou")->text(), QStringLiteral("开始搜索"));
}
