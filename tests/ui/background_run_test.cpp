#include "common/errors.h"
#include "shell/background_run.h"
#include "shell/dialogs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace lumaro {
namespace {

// A window with the usual pieces: a field and a button to lock (the field already greyed by a
// mode of the window), a stop button and a progress bar.
class BackgroundRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogs::testing::SetEnabled(true);
        dialogs::testing::Clear();
        field->setEnabled(false);
        run = std::make_unique<BackgroundRun>(&window);
        run->lockWhileRunning({field, button});
        run->setStopButton(stopButton, QStringLiteral("开始"));
        run->setProgressBar(bar);
        run->setBusyCursor(true);
    }
    void TearDown() override
    {
        run.reset();
        dialogs::testing::Clear();
    }
    bool waitForEnd()
    {
        QSignalSpy finished(run.get(), &BackgroundRun::finished);
        return !run->isRunning() || finished.wait(20000);
    }
    void expectIdle()
    {
        EXPECT_FALSE(run->isRunning());
        EXPECT_FALSE(field->isEnabled()) << "a control greyed before the run stays greyed";
        EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(stopButton->text(), QStringLiteral("开始"));
        EXPECT_TRUE(stopButton->isEnabled());
        EXPECT_TRUE(bar->isHidden());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    QWidget window;
    QLineEdit *field = new QLineEdit(&window);
    QPushButton *button = new QPushButton(&window);
    QPushButton *stopButton = new QPushButton(QStringLiteral("开始"), &window);
    QProgressBar *bar = new QProgressBar(&window);
    std::unique_ptr<BackgroundRun> run;
};

TEST_F(BackgroundRunTest, WorkRunsOnAWorkerAndItsResultComesBackToTheWindow)
{
    std::atomic_bool release {false};
    const QThread *workerThread = nullptr;
    int result = 0;
    const QThread *doneThread = nullptr;
    QSignalSpy progressed(run.get(), &BackgroundRun::progressed);
    run->start(
        [&](const Progress &progress) {
            workerThread = QThread::currentThread();
            for (int i = 1; i <= 1000; ++i)
                progress.step(i, 1000);
            while (!release)
                QThread::msleep(1);
            return 42;
        },
        [&](int value) {
            result = value;
            doneThread = QThread::currentThread();
        });
    ASSERT_TRUE(run->isRunning());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(stopButton->text(), QStringLiteral("停止"));
    EXPECT_TRUE(stopButton->isEnabled());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    // A second start while running is ignored.
    bool secondRan = false;
    run->start([&](const Progress &) { secondRan = true; }, [] {});

    // The reports reach the bar, not one event per report.
    for (int i = 0; i < 200 && bar->value() != 1000; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 1000);
    EXPECT_GE(progressed.count(), 1);
    EXPECT_LT(progressed.count(), 1000);

    release = true;
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(result, 42);
    EXPECT_NE(workerThread, QThread::currentThread());
    EXPECT_EQ(doneThread, QThread::currentThread());
    EXPECT_FALSE(secondRan);
    EXPECT_FALSE(run->stopRequested());
    expectIdle();
}

TEST_F(BackgroundRunTest, StopReachesTheEngineAndTheWindowHearsHowItEnded)
{
    bool sawCancel = false;
    bool doneCalled = false;
    run->start(
        [&](const Progress &progress) {
            while (!progress.cancelled())
                QThread::msleep(1);
            sawCancel = true;
            return QStringLiteral("partial");
        },
        [&](const QString &) { doneCalled = true; });
    run->stop();
    // Until the worker has ended, the stop button waits with its idle caption.
    EXPECT_EQ(stopButton->text(), QStringLiteral("开始"));
    EXPECT_FALSE(stopButton->isEnabled());
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(doneCalled);
    EXPECT_TRUE(run->stopRequested());
    expectIdle();

    // The next run starts with the flag down.
    run->start([](const Progress &progress) { return progress.cancelled(); }, [](bool) {});
    EXPECT_FALSE(run->stopRequested());
    run->waitUntilDone();
    EXPECT_FALSE(run->isRunning());
}

TEST_F(BackgroundRunTest, AFailureIsShownOnceThroughTheErrorGuard)
{
    QStringList order;
    run->start([](const Progress &) -> int { throw InputError(QStringLiteral("坏的输入")); },
        [&](int) { order << QStringLiteral("done"); },
        [&] {
            order << QStringLiteral("failed");
            EXPECT_TRUE(dialogs::testing::Messages().isEmpty()) << "failed() comes before the message";
        });
    QSignalSpy finished(run.get(), &BackgroundRun::finished);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(order, QStringList {QStringLiteral("failed")});
    ASSERT_EQ(dialogs::testing::Messages().size(), 1);
    EXPECT_EQ(dialogs::testing::Messages().first().kind, QStringLiteral("error"));
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("坏的输入"));
    EXPECT_EQ(finished.count(), 1);
    expectIdle();

    // done() that throws is shown the same way, with the controls already back.
    dialogs::testing::Clear();
    run->start([](const Progress &) {},
        [&] {
            EXPECT_TRUE(button->isEnabled());
            throw IoError(QStringLiteral("写不进去"));
        });
    run->waitUntilDone();
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("写不进去"));
    expectIdle();
}

TEST_F(BackgroundRunTest, DestroyingTheRunnerStopsTheWorkAndWaitsForIt)
{
    auto sawCancel = std::make_shared<std::atomic_bool>(false);
    bool doneCalled = false;
    run->start(
        [sawCancel](const Progress &progress) {
            while (!progress.cancelled())
                QThread::msleep(1);
            QThread::msleep(20);
            *sawCancel = true;
        },
        [&] { doneCalled = true; });
    run.reset();
    EXPECT_TRUE(*sawCancel) << "the worker had ended before the runner went";
    QCoreApplication::processEvents();
    EXPECT_FALSE(doneCalled);
}

TEST_F(BackgroundRunTest, StepsRunOnTheWindowsThreadUntilDoneOrStopped)
{
    int steps = 0;
    bool done = false;
    run->startSteps(
        [&] {
            EXPECT_EQ(QThread::currentThread(), window.thread());
            return ++steps == 5;
        },
        [&] { done = true; });
    EXPECT_EQ(steps, 0) << "the first step waits for the event loop";
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(steps, 5);
    EXPECT_TRUE(done);
    EXPECT_FALSE(run->stopRequested());
    expectIdle();

    // A stop ends a stepped run at once, done() included.
    steps = 0;
    done = false;
    run->startSteps([&] { return ++steps == 1000000; }, [&] { done = true; });
    QCoreApplication::processEvents();
    run->stop();
    EXPECT_TRUE(done);
    EXPECT_TRUE(run->stopRequested());
    const int stoppedAt = steps;
    QCoreApplication::processEvents();
    EXPECT_EQ(steps, stoppedAt);
    expectIdle();

    // A step that throws ends the run through the guard.
    bool failed = false;
    run->startSteps([]() -> bool { throw InputError(QStringLiteral("第3列不存在")); }, [&] { done = false; },
        [&] { failed = true; });
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(failed);
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("第3列不存在"));
    expectIdle();
}

} // namespace
} // namespace lumaro
