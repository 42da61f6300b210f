#include "shell/background_run.h"

#include "shell/busy_cursor.h"
#include "shell/error_display.h"

#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <climits>

namespace lumaro {

namespace {

const QString kStopCaption = QStringLiteral("停止");

} // namespace

BackgroundRun::BackgroundRun(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_nextStep.setSingleShot(true);
    m_nextStep.setInterval(0);
    connect(&m_nextStep, &QTimer::timeout, this, &BackgroundRun::nextStep);
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, &BackgroundRun::workerEnded);
}

BackgroundRun::~BackgroundRun()
{
    // The worker may use what the window handed it: let it see the stop and wait for it.
    if (m_shared)
        m_shared->cancel = true;
    m_nextStep.stop();
    m_watcher.waitForFinished();
}

void BackgroundRun::lockWhileRunning(std::initializer_list<QWidget *> controls)
{
    for (QWidget *control : controls)
        m_locked.emplace_back(control);
}

void BackgroundRun::setProgressBar(QProgressBar *bar)
{
    m_bar = bar;
}

void BackgroundRun::setStopButton(QPushButton *button, const QString &idleCaption)
{
    m_stopButton = button;
    m_idleCaption = idleCaption;
}

bool BackgroundRun::stopRequested() const
{
    return m_shared && m_shared->cancel.load();
}

void BackgroundRun::stop()
{
    if (!m_running)
        return;
    m_shared->cancel = true;
    if (m_step) {
        m_nextStep.stop();
        finish(nullptr);
        return;
    }
    // The worker sees the flag at its next check; until it has ended the button waits.
    if (m_stopButton) {
        m_stopButton->setText(m_idleCaption);
        m_stopButton->setEnabled(false);
    }
}

void BackgroundRun::waitUntilDone()
{
    if (!m_running || m_step)
        return;
    m_watcher.waitForFinished();
    workerEnded();
}

void BackgroundRun::post(std::function<void()> call)
{
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void BackgroundRun::begin(
    std::function<void(const Progress &)> work, std::function<void()> done, std::function<void()> failed)
{
    if (m_running)
        return;
    m_shared = std::make_shared<Shared>();
    m_done = std::move(done);
    m_failed = std::move(failed);
    enterRunning();
    Progress progress;
    progress.cancel = &m_shared->cancel;
    progress.report = [this, shared = m_shared.get()](qint64 done, qint64 total) {
        shared->done = done;
        shared->total = total;
        if (!shared->reportQueued.exchange(true))
            QMetaObject::invokeMethod(this, &BackgroundRun::deliverProgress, Qt::QueuedConnection);
    };
    m_watcher.setFuture(QtConcurrent::run([shared = m_shared, work = std::move(work), progress] {
        try {
            work(progress);
        } catch (...) {
            shared->error = std::current_exception();
        }
    }));
}

void BackgroundRun::startSteps(std::function<bool()> step, std::function<void()> done, std::function<void()> failed)
{
    if (m_running)
        return;
    m_shared = std::make_shared<Shared>();
    m_step = std::move(step);
    m_done = std::move(done);
    m_failed = std::move(failed);
    enterRunning();
    m_nextStep.start();
}

void BackgroundRun::nextStep()
{
    if (!m_running || !m_step)
        return;
    bool over = false;
    try {
        over = m_step();
    } catch (...) {
        finish(std::current_exception());
        return;
    }
    if (over)
        finish(nullptr);
    else if (m_running)
        m_nextStep.start();
}

void BackgroundRun::workerEnded()
{
    // A run handed over by waitUntilDone() has already ended; the watcher's signal follows.
    if (!m_running || m_step)
        return;
    finish(m_shared->error);
}

void BackgroundRun::enterRunning()
{
    m_running = true;
    m_lockedWasEnabled.clear();
    for (const QPointer<QWidget> &control : m_locked) {
        m_lockedWasEnabled.push_back(control && control->isEnabled());
        if (control)
            control->setEnabled(false);
    }
    if (m_stopButton) {
        m_stopButton->setText(kStopCaption);
        m_stopButton->setEnabled(true);
    }
    if (m_bar) {
        m_bar->setValue(m_bar->minimum());
        m_bar->show();
    }
    if (m_wantsBusyCursor)
        m_busy = std::make_unique<BusyCursor>();
}

void BackgroundRun::leaveRunning()
{
    m_running = false;
    // Controls get back the state they had before the run (a mode may have greyed some).
    for (std::size_t i = 0; i < m_locked.size() && i < m_lockedWasEnabled.size(); ++i) {
        if (m_locked[i])
            m_locked[i]->setEnabled(m_lockedWasEnabled[i]);
    }
    if (m_stopButton) {
        m_stopButton->setText(m_idleCaption);
        m_stopButton->setEnabled(true);
    }
    if (m_bar)
        m_bar->hide();
    m_busy.reset();
}

void BackgroundRun::finish(const std::exception_ptr &error)
{
    leaveRunning();
    const std::function<void()> done = std::move(m_done);
    const std::function<void()> failed = std::move(m_failed);
    m_done = {};
    m_failed = {};
    m_step = {};
    if (error) {
        if (failed)
            failed();
        QWidget *parent = m_errorParent ? m_errorParent.data() : m_window;
        Guarded(parent, [&] { std::rethrow_exception(error); });
    } else if (done) {
        Guarded(m_window, done);
    }
    Q_EMIT finished();
}

void BackgroundRun::deliverProgress()
{
    if (!m_shared)
        return;
    m_shared->reportQueued = false;
    const qint64 done = m_shared->done;
    const qint64 total = m_shared->total;
    if (m_running && m_bar && total > 0) {
        // Counts past what a bar holds are shown in thousandths.
        if (total <= INT_MAX) {
            m_bar->setRange(0, static_cast<int>(total));
            m_bar->setValue(static_cast<int>(std::clamp<qint64>(done, 0, total)));
        } else {
            m_bar->setRange(0, 1000);
            m_bar->setValue(static_cast<int>(std::clamp<qint64>(done, 0, total) * 1000 / total));
        }
    }
    Q_EMIT progressed(done, total);
}

} // namespace lumaro
