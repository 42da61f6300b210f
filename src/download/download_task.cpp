#include "download/download_task.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <QtConcurrent>

namespace lumaro {

void styleDownloadWindow(QWidget *window)
{
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->setFixedSize(354, 74);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 0));
    palette.setColor(QPalette::WindowText, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

DownloadTask::DownloadTask(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, [this] {
        m_running = false;
        Q_EMIT finished();
    });
}

DownloadTask::~DownloadTask()
{
    m_cancel = true;
    m_watcher.waitForFinished();
}

void DownloadTask::start(std::function<void(const DownloadCallbacks &)> work)
{
    m_running = true;
    m_error = nullptr;
    m_watcher.setFuture(QtConcurrent::run([this, work = std::move(work)] {
        DownloadCallbacks callbacks;
        // Emitted from the worker; the connections to the window's thread queue them.
        callbacks.status = [this](const QString &text) { Q_EMIT statusChanged(text); };
        callbacks.progress.report = [this](qint64 done, qint64 total) {
            Q_EMIT pageProgress(static_cast<int>(done), static_cast<int>(total));
        };
        callbacks.progress.cancel = &m_cancel;
        try {
            work(callbacks);
        } catch (...) {
            m_error = std::current_exception();
        }
    }));
}

} // namespace lumaro
