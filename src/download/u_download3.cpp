#include "download/u_download3.h"

#include "download/download_task.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace lumaro {

Tfrmdownload3::Tfrmdownload3(AppContext &context, DownloadDone &downloadDone, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_downloadDone(downloadDone)
    , m_lottery(context.lottery ? context.lottery->name : QString())
    , lbltitle(new QLabel(this))
    , prbdown(new QProgressBar(this))
    , Memo1(new QPlainTextEdit(this))
    , Timer1(new QTimer(this))
    , m_task(new DownloadTask(this))
{
    setObjectName(QStringLiteral("frmdownload3"));
    setWindowTitle(QStringLiteral("数据下载"));
    styleDownloadWindow(this);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    lbltitle->setObjectName(QStringLiteral("lbltitle"));
    prbdown->setObjectName(QStringLiteral("prbdown"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Timer1->setObjectName(QStringLiteral("Timer1"));

    lbltitle->setAlignment(Qt::AlignCenter);
    lbltitle->hide();
    prbdown->setTextVisible(false);
    prbdown->setFixedHeight(8);
    prbdown->hide();
    // The feed's lines land here; the memo is one pixel and not meant to be read.
    Memo1->setReadOnly(true);
    Memo1->setGeometry(0, 0, 1, 1);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addStretch(1);
    layout->addWidget(lbltitle);
    layout->addWidget(prbdown);
    layout->addStretch(1);

    // FormCreate
    lbltitle->setText(QStringLiteral("正在更新") + m_lottery + QStringLiteral("。。。"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Tfrmdownload3::Timer1Timer);
    connect(m_task, &DownloadTask::statusChanged, lbltitle, &QLabel::setText);
    connect(m_task, &DownloadTask::pageProgress, this, [this](int done, int total) {
        prbdown->setRange(0, std::max(total, 1));
        prbdown->setValue(done);
    });
    connect(m_task, &DownloadTask::finished, this, &Tfrmdownload3::downloadFinished);
}

Tfrmdownload3::~Tfrmdownload3() = default;

bool Tfrmdownload3::isDownloading() const
{
    return m_task->isRunning();
}

void Tfrmdownload3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    // The update starts about a second after the window is first shown.
    if (!m_started && !Timer1->isActive())
        Timer1->start();
}

void Tfrmdownload3::reject()
{
    if (!isDownloading() && m_started)
        QDialog::reject();
}

void Tfrmdownload3::closeEvent(QCloseEvent *event)
{
    if (isDownloading() || !m_started)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void Tfrmdownload3::Timer1Timer()
{
    Timer1->stop();
    if (m_started)
        return;
    m_started = true;
    lbltitle->show();
    prbdown->setRange(0, 1);
    prbdown->setValue(0);
    prbdown->show();
    DownloadJob job {m_context.folder, m_context.store->path(), QDate()};
    const QString lottery = m_lottery;
    const bool feed = m_downloadDone.value;
    m_task->start([this, job, lottery, feed](const DownloadCallbacks &callbacks) {
        // m_result is read only after finished(), on the window's thread.
        m_result = RunQuickUpdate(job, lottery, feed, callbacks);
    });
}

void Tfrmdownload3::downloadFinished()
{
    QWidget *owner = parentWidget();
    if (const std::exception_ptr error = m_task->error()) {
        accept();
        guarded(owner, [&] { std::rethrow_exception(error); });
        return;
    }
    if (!m_result.feedText.isEmpty())
        Memo1->setPlainText(m_result.feedText);
    if (m_result.dayPages)
        m_downloadDone.value = true;
    accept();
    dialogs::information(owner, QStringLiteral("数据下载"), DownloadSummary({m_result.report}));
}

} // namespace lumaro
