#include "download/u_download2.h"

#include "download/download_task.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace lumaro {

Tfrmdownload2::Tfrmdownload2(AppContext &context, DownloadDone &downloadDone, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_downloadDone(downloadDone)
    , lbltishi(new QLabel(QStringLiteral("选择彩票："), this))
    , comdown(new QComboBox(this))
    , btndown(new QPushButton(QStringLiteral("开始下载"), this))
    , btnclose(new QPushButton(QStringLiteral("退出"), this))
    , lbltitle(new QLabel(this))
    , prbdown(new QProgressBar(this))
    , m_task(new DownloadTask(this))
{
    setObjectName(QStringLiteral("frmdownload2"));
    setWindowTitle(QStringLiteral("数据下载"));
    styleDownloadWindow(this);
    lbltishi->setObjectName(QStringLiteral("lbltishi"));
    comdown->setObjectName(QStringLiteral("comdown"));
    btndown->setObjectName(QStringLiteral("btndown"));
    btnclose->setObjectName(QStringLiteral("btnclose"));
    lbltitle->setObjectName(QStringLiteral("lbltitle"));
    prbdown->setObjectName(QStringLiteral("prbdown"));

    // FormCreate
    comdown->addItems(DownloadChoices());
    comdown->setCurrentIndex(0);
    btndown->setDefault(true);
    btndown->setAutoDefault(true);
    btnclose->setAutoDefault(false);
    lbltitle->setAlignment(Qt::AlignCenter);
    lbltitle->hide();
    prbdown->setTextVisible(false);
    prbdown->setFixedHeight(8);
    prbdown->hide();

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setVerticalSpacing(6);
    grid->addWidget(lbltishi, 0, 0);
    grid->addWidget(comdown, 0, 1, 1, 2);
    grid->addWidget(btndown, 1, 1);
    grid->addWidget(btnclose, 1, 2);
    grid->addWidget(lbltitle, 0, 0, 1, 3);
    grid->addWidget(prbdown, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(btndown, &QPushButton::clicked, this, &Tfrmdownload2::btndownClick);
    connect(btnclose, &QPushButton::clicked, this, &Tfrmdownload2::btncloseClick);
    connect(m_task, &DownloadTask::statusChanged, lbltitle, &QLabel::setText);
    connect(m_task, &DownloadTask::pageProgress, this, [this](int done, int total) {
        prbdown->setRange(0, std::max(total, 1));
        prbdown->setValue(done);
    });
    connect(m_task, &DownloadTask::finished, this, &Tfrmdownload2::downloadFinished);
}

Tfrmdownload2::~Tfrmdownload2() = default;

bool Tfrmdownload2::isDownloading() const
{
    return m_task->isRunning();
}

void Tfrmdownload2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void Tfrmdownload2::btncloseClick()
{
    if (!isDownloading())
        close();
}

void Tfrmdownload2::reject()
{
    // Esc and closing are refused while the branches run.
    if (!isDownloading())
        QDialog::reject();
}

void Tfrmdownload2::closeEvent(QCloseEvent *event)
{
    if (isDownloading())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void Tfrmdownload2::btndownClick()
{
    if (isDownloading())
        return;
    guarded(this, [&] {
        lbltishi->hide();
        comdown->hide();
        btndown->hide();
        btnclose->hide();
        lbltitle->show();
        prbdown->setRange(0, 1);
        prbdown->setValue(0);
        prbdown->show();
        DownloadJob job {m_context.folder, m_context.store->path(), QDate()};
        const QString choice = comdown->currentText();
        m_task->start([this, job, choice](const DownloadCallbacks &callbacks) {
            // m_reports is read only after finished(), on the window's thread.
            m_reports = RunDownload(job, choice, callbacks);
        });
    });
}

void Tfrmdownload2::downloadFinished()
{
    QWidget *owner = parentWidget();
    if (const std::exception_ptr error = m_task->error()) {
        accept();
        guarded(owner, [&] { std::rethrow_exception(error); });
        return;
    }
    m_downloadDone.value = true;
    accept();
    dialogs::information(owner, QStringLiteral("数据下载"), DownloadSummary(m_reports));
}

} // namespace lumaro
