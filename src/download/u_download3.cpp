#include "download/u_download3.h"

#include "shell/app_context.h"
#include "shell/dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace lumaro {

Tfrmdownload3::Tfrmdownload3(AppContext &context, DownloadDone &downloadDone, QWidget *parent)
    : DownloadWindow(parent)
    , m_context(context)
    , m_downloadDone(downloadDone)
    , m_lottery(context.lottery ? context.lottery->name : QString())
    , m_Memo1(new QPlainTextEdit(this))
    , m_Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frmdownload3"));
    setWindowTitle(QStringLiteral("数据下载"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_Memo1->setObjectName(QStringLiteral("Memo1"));
    m_Timer1->setObjectName(QStringLiteral("Timer1"));

    // The feed's lines land here; the memo is one pixel and not meant to be read.
    m_Memo1->setReadOnly(true);
    m_Memo1->setGeometry(0, 0, 1, 1);
    m_Memo1->setFrameShape(QFrame::NoFrame);
    m_Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addStretch(1);
    layout->addWidget(m_lbltitle);
    layout->addWidget(m_prbdown);
    layout->addStretch(1);

    // FormCreate
    m_lbltitle->setText(QStringLiteral("正在更新") + m_lottery + QStringLiteral("。。。"));
    // Said from the first moment, not only once the update starts a second later.
    m_lbltitle->show();
    m_Timer1->setSingleShot(true);
    m_Timer1->setInterval(1000);
    connect(m_Timer1, &QTimer::timeout, this, &Tfrmdownload3::Timer1Timer);
}

Tfrmdownload3::~Tfrmdownload3()
{
    // The worker writes m_result: stop it before the members go.
    stopWork();
}

void Tfrmdownload3::showEvent(QShowEvent *event)
{
    DownloadWindow::showEvent(event);
    // The update starts about a second after the window is first shown.
    if (!m_started && !m_Timer1->isActive())
        m_Timer1->start();
}

void Tfrmdownload3::Timer1Timer()
{
    m_Timer1->stop();
    if (m_started)
        return;
    m_started = true;
    const DownloadJob job {m_context.folder, m_context.store->path(), QDate()};
    const QString lottery = m_lottery;
    const bool feed = m_downloadDone.value;
    startWork([this, job, lottery, feed](const DownloadCallbacks &callbacks) {
        // m_result is read only after workFinished(), on the window's thread.
        m_result = RunQuickUpdate(job, lottery, feed, callbacks);
    });
}

void Tfrmdownload3::workFinished()
{
    QWidget *owner = parentWidget();
    if (!m_result.feedText.isEmpty())
        m_Memo1->setPlainText(m_result.feedText);
    if (m_result.dayPages)
        m_downloadDone.value = true;
    dialogs::Information(owner, QStringLiteral("数据下载"), DownloadSummary({m_result.report}));
}

} // namespace lumaro
