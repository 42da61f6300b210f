#include "download/u_download2.h"

#include "shell/app_context.h"
#include "shell/dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace lumaro {

Tfrmdownload2::Tfrmdownload2(AppContext &context, DownloadDone &downloadDone, QWidget *parent)
    : DownloadWindow(parent)
    , m_context(context)
    , m_downloadDone(downloadDone)
    , m_lbltishi(new QLabel(QStringLiteral("选择彩票："), this))
    , m_comdown(new QComboBox(this))
    , m_btndown(new QPushButton(QStringLiteral("开始下载"), this))
    , m_btnclose(new QPushButton(QStringLiteral("退出"), this))
{
    setObjectName(QStringLiteral("frmdownload2"));
    setWindowTitle(QStringLiteral("数据下载"));
    m_lbltishi->setObjectName(QStringLiteral("lbltishi"));
    m_comdown->setObjectName(QStringLiteral("comdown"));
    m_btndown->setObjectName(QStringLiteral("btndown"));
    m_btnclose->setObjectName(QStringLiteral("btnclose"));

    // FormCreate
    m_comdown->addItems(DownloadChoices());
    m_comdown->setCurrentIndex(0);
    m_btndown->setDefault(true);
    m_btndown->setAutoDefault(true);
    m_btnclose->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setVerticalSpacing(6);
    grid->addWidget(m_lbltishi, 0, 0);
    grid->addWidget(m_comdown, 0, 1, 1, 2);
    grid->addWidget(m_btndown, 1, 1);
    grid->addWidget(m_btnclose, 1, 2);
    // The progress controls take the same cells once the choice is hidden.
    grid->addWidget(m_lbltitle, 0, 0, 1, 3);
    grid->addWidget(m_prbdown, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(m_btndown, &QPushButton::clicked, this, &Tfrmdownload2::btndownClick);
    connect(m_btnclose, &QPushButton::clicked, this, &Tfrmdownload2::btncloseClick);
}

Tfrmdownload2::~Tfrmdownload2()
{
    // The worker writes m_reports: stop it before the members go.
    stopWork();
}

void Tfrmdownload2::btncloseClick()
{
    if (!isDownloading())
        close();
}

void Tfrmdownload2::btndownClick()
{
    if (isDownloading())
        return;
    m_lbltishi->hide();
    m_comdown->hide();
    m_btndown->hide();
    m_btnclose->hide();
    const DownloadJob job {m_context.folder, m_context.store->path(), QDate()};
    const QString choice = m_comdown->currentText();
    startWork([this, job, choice](const DownloadCallbacks &callbacks) {
        // m_reports is read only after workFinished(), on the window's thread.
        m_reports = RunDownload(job, choice, callbacks);
    });
}

void Tfrmdownload2::workFinished()
{
    QWidget *owner = parentWidget();
    m_downloadDone.value = true;
    dialogs::Information(owner, QStringLiteral("数据下载"), DownloadSummary(m_reports));
}

} // namespace lumaro
