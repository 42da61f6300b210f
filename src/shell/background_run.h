#pragma once

#include "common/progress.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

class QProgressBar;
class QPushButton;
class QWidget;

namespace lumaro {

class BusyCursor;

// Long work of a window, one run at a time, wired the same way everywhere:
// - the work runs on a worker thread with a Progress whose reports reach the window's thread
//   (at most one report waits in the queue) and whose cancel flag stop() raises;
// - the controls given to lockWhileRunning() are disabled and get back the enabled state they
//   had; a progress bar is shown and follows the reports; the hourglass shows if asked;
// - a stop button, if given, reads "停止" while the work runs and stops it when pressed;
// - when the work is over, its result is handed to done() on the window's thread, inside the
//   error guard; what the work threw is shown through the guard instead (failed() first);
// - destroying the runner stops the work and waits for the worker.
// Work that must touch windows (the trend grid) runs as steps on the window's thread instead.
class BackgroundRun : public QObject {
    Q_OBJECT
public:
    explicit BackgroundRun(QWidget *window);
    ~BackgroundRun() override;

    void lockWhileRunning(std::initializer_list<QWidget *> controls);
    // Shown while a run goes; range and value follow the reports (a window may preset them).
    void setProgressBar(QProgressBar *bar);
    void setBusyCursor(bool on) { m_wantsBusyCursor = on; }
    // While running the button reads "停止" and stays enabled; pressing it stops the run and
    // greys it until the worker has ended. The window's own click handler calls stop().
    void setStopButton(QPushButton *button, const QString &idleCaption);

    bool isRunning() const { return m_running; }
    // True from stop() until the next start: the run ended because it was asked to.
    bool stopRequested() const;
    // Asks the work to stop at its next check of the cancel flag (a stepped run stops now).
    void stop();
    // Blocks until the worker is done and hands its result over now (tests, closing windows).
    void waitUntilDone();
    // Where failures are shown when not over the window (a window that closes itself first).
    void setErrorParent(QWidget *parent) { m_errorParent = parent; }

    // Runs work(progress) on a worker; done(result) gets the returned value (moveable) on the
    // window's thread when the work has returned, also after a stop: the engine's result says
    // whether it was cancelled. failed() runs before the error of a throwing work is shown.
    template<typename Work, typename Done>
    void start(Work work, Done done, std::function<void()> failed = {})
    {
        using Result = std::invoke_result_t<Work &, const Progress &>;
        if constexpr (std::is_void_v<Result>) {
            begin([work = std::move(work)](const Progress &progress) mutable { work(progress); },
                std::function<void()>(std::move(done)), std::move(failed));
        } else {
            auto result = std::make_shared<std::optional<Result>>();
            begin(
                [work = std::move(work), result](const Progress &progress) mutable { result->emplace(work(progress)); },
                [done = std::move(done), result]() mutable { done(**result); }, std::move(failed));
        }
    }

    // Runs step() again and again on the window's thread, letting events in between, until it
    // returns true; then done(). A stop ends the run at once and calls done() too.
    void startSteps(std::function<bool()> step, std::function<void()> done, std::function<void()> failed = {});

    // Queues call onto the window's thread; for workers that report more than progress.
    void post(std::function<void()> call);

Q_SIGNALS:
    // On the window's thread, throttled.
    void progressed(qint64 done, qint64 total);
    // After done() or the error display, when the controls are back.
    void finished();

private:
    struct Shared {
        std::atomic_bool cancel {false};
        std::atomic<qint64> done {0};
        std::atomic<qint64> total {0};
        std::atomic_bool reportQueued {false};
        std::exception_ptr error;
    };

    void begin(std::function<void(const Progress &)> work, std::function<void()> done, std::function<void()> failed);
    void enterRunning();
    void leaveRunning();
    void workerEnded();
    void nextStep();
    void finish(const std::exception_ptr &error);
    void deliverProgress();

    QWidget *m_window;
    QPointer<QWidget> m_errorParent;
    std::vector<QPointer<QWidget>> m_locked;
    std::vector<bool> m_lockedWasEnabled;
    QPointer<QProgressBar> m_bar;
    QPointer<QPushButton> m_stopButton;
    QString m_idleCaption;
    bool m_wantsBusyCursor = false;
    std::unique_ptr<BusyCursor> m_busy;

    bool m_running = false;
    std::shared_ptr<Shared> m_shared;
    std::function<void()> m_done;
    std::function<void()> m_failed;
    std::function<bool()> m_step;
    QTimer m_nextStep;
    QFutureWatcher<void> m_watcher;
};

} // namespace lumaro
