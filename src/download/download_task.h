#pragma once

#include "download/draw_download.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QObject>

#include <atomic>
#include <exception>
#include <functional>

class QLabel;
class QProgressBar;

namespace lumaro {

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

// What both download windows share: no frame, a green background, 354 × 74 pixels, centred on
// the screen; the progress text lbltitle and a page bar, both hidden until the work starts; no
// closing (not even Esc) while the worker runs.
class DownloadWindow : public QDialog {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget *parent);
    ~DownloadWindow() override;

    bool isDownloading() const { return m_task && m_task->isRunning(); }

protected:
    // Shows the progress controls and runs work on the worker. When it is over the window
    // closes and workFinished() reports (unless the work threw: its error is shown).
    void startWork(std::function<void(const DownloadCallbacks &)> work);
    virtual void workFinished() = 0;
    // Stops the worker; a subclass whose members the worker writes calls it in its destructor.
    void stopWork();
    virtual bool mayClose() const { return !isDownloading(); }

    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

    QLabel *lbltitle;
    QProgressBar *prbdown;

private:
    DownloadTask *m_task;
};

} // namespace lumaro
