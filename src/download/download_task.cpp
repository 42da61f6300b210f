#include "download/download_task.h"

#include "shell/error_display.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>
#include <QtConcurrent>

namespace lumaro {

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

DownloadWindow::DownloadWindow(QWidget *parent)
    : QDialog(parent)
    , lbltitle(new QLabel(this))
    , prbdown(new QProgressBar(this))
    , m_task(new DownloadTask(this))
{
    setWindowFlag(Qt::FramelessWindowHint, true);
    setFixedSize(354, 74);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0, 128, 0));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    lbltitle->setObjectName(QStringLiteral("lbltitle"));
    lbltitle->setAlignment(Qt::AlignCenter);
    lbltitle->hide();
    prbdown->setObjectName(QStringLiteral("prbdown"));
    prbdown->setTextVisible(false);
    prbdown->setFixedHeight(8);
    prbdown->hide();

    connect(m_task, &DownloadTask::statusChanged, lbltitle, &QLabel::setText);
    connect(m_task, &DownloadTask::pageProgress, this, [this](int done, int total) {
        prbdown->setRange(0, std::max(total, 1));
        prbdown->setValue(done);
    });
    connect(m_task, &DownloadTask::finished, this, [this] {
        // The window closes itself when the work is over; an error the work threw is shown
        // instead of its report.
        accept();
        if (const std::exception_ptr error = m_task->error())
            guarded(parentWidget(), [&] { std::rethrow_exception(error); });
        else
            workFinished();
    });
}

DownloadWindow::~DownloadWindow()
{
    stopWork();
}

void DownloadWindow::stopWork()
{
    delete m_task;
    m_task = nullptr;
}

void DownloadWindow::startWork(std::function<void(const DownloadCallbacks &)> work)
{
    lbltitle->show();
    prbdown->setRange(0, 1);
    prbdown->setValue(0);
    prbdown->show();
    m_task->start(std::move(work));
}

void DownloadWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QScreen *area = screen() ? screen() : QGuiApplication::primaryScreen();
    if (area) {
        const QRect geometry = area->availableGeometry();
        move(geometry.center() - QPoint(width() / 2, height() / 2));
    }
}

void DownloadWindow::reject()
{
    if (mayClose())
        QDialog::reject();
}

void DownloadWindow::closeEvent(QCloseEvent *event)
{
    if (mayClose())
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace lumaro
