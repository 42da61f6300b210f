#include "download/download_task.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>

namespace lumaro {

DownloadWindow::DownloadWindow(QWidget *parent)
    : QDialog(parent)
    , m_lbltitle(new QLabel(this))
    , m_prbdown(new QProgressBar(this))
    , m_work(new BackgroundRun(this))
{
    setWindowFlag(Qt::FramelessWindowHint, true);
    setFixedSize(354, 74);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0, 128, 0));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    m_lbltitle->setObjectName(QStringLiteral("lbltitle"));
    m_lbltitle->setAlignment(Qt::AlignCenter);
    m_lbltitle->hide();
    m_prbdown->setObjectName(QStringLiteral("prbdown"));
    m_prbdown->setTextVisible(false);
    m_prbdown->setFixedHeight(8);
    m_prbdown->hide();

    m_work->setProgressBar(m_prbdown);
}

DownloadWindow::~DownloadWindow()
{
    stopWork();
}

void DownloadWindow::stopWork()
{
    delete m_work;
    m_work = nullptr;
}

void DownloadWindow::startWork(std::function<void(const DownloadCallbacks &)> work)
{
    m_lbltitle->show();
    m_prbdown->setRange(0, 1);
    m_prbdown->setValue(0);
    m_prbdown->show();
    // The window closes itself when the work is over; an error the work threw is shown over
    // the window below instead of the report.
    m_work->setErrorParent(parentWidget());
    BackgroundRun *run = m_work;
    m_work->start(
        [run, label = m_lbltitle, work = std::move(work)](const Progress &progress) {
            DownloadCallbacks callbacks;
            callbacks.progress = progress;
            callbacks.status
                = [run, label](const QString &text) { run->post([label, text] { label->setText(text); }); };
            work(callbacks);
        },
        [this] {
            accept();
            workFinished();
        },
        [this] { accept(); });
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
