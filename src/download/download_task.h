#pragma once

#include "download/draw_download.h"

#include <QFutureWatcher>
#include <QObject>

#include <atomic>
#include <exception>
#include <functional>

class QWidget;

namespace lumaro {

// The look both download windows share: no frame, a green background, 354 × 74 pixels.
void styleDownloadWindow(QWidget *window);
// Places a window in the middle of its screen.
void centreOnScreen(QWidget *window);

// Runs a download on a worker thread for a window: the branch texts and page counts come back
// as queued signals, finished() arrives on the window's thread. Destroying the task cancels the
// download between pages and waits for the worker.
class DownloadTask : public QObject {
    Q_OBJECT
public:
    explicit DownloadTask(QObject *parent = nullptr);
    ~DownloadTask() override;

    // work runs on the worker with callbacks wired to the signals below; an exception it throws
    // is kept for error().
    void start(std::function<void(const DownloadCallbacks &)> work);
    bool isRunning() const { return m_running; }
    std::exception_ptr error() const { return m_error; }

Q_SIGNALS:
    void statusChanged(const QString &text);
    void pageProgress(int done, int total);
    void finished();

private:
    std::atomic_bool m_cancel {false};
    bool m_running = false;
    std::exception_ptr m_error;
    QFutureWatcher<void> m_watcher;
};

} // namespace lumaro
