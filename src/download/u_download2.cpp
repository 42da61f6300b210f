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
    , lbltishi(new QLabel(QStringLiteral("选择彩票："), this))
    , comdown(new QComboBox(this))
    , btndown(new QPushButton(QStringLiteral("开始下载"), this))
    , btnclose(new QPushButton(QStringLiteral("退出"), this))
{
    setObjectName(QStringLiteral("frmdownload2"));
    setWindowTitle(QStringLiteral("数据下载"));
    lbltishi->setObjectName(QStringLiteral("lbltishi"));
    comdown->setObjectName(QStringLiteral("comdown"));
    btndown->setObjectName(QStringLiteral("btndown"));
    btnclose->setObjectName(QStringLiteral("btnclose"));

    // FormCreate
    comdown->addItems(DownloadChoices());
    comdown->setCurrentIndex(0);
    btndown->setDefault(true);
    btndown->setAutoDefault(true);
    btnclose->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setVerticalSpacing(6);
    grid->addWidget(lbltishi, 0, 0);
    grid->addWidget(comdown, 0, 1, 1, 2);
    grid->addWidget(btndown, 1, 1);
    grid->addWidget(btnclose, 1, 2);
    // The progress controls take the same cells once the choice is hidden.
    grid->addWidget(lbltitle, 0, 0, 1, 3);
    grid->addWidget(prbdown, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(btndown, &QPushButton::clicked, this, &Tfrmdownload2::btndownClick);
    connect(btnclose, &QPushButton::clicked, this, &Tfrmdownload2::btncloseClick);
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
    lbltishi->hide();
    comdown->hide();
    btndown->hide();
    btnclose->hide();
    const DownloadJob job {m_context.folder, m_context.store->path(), QDate()};
    const QString choice = comdown->currentText();
    startWork([this, job, choice](const DownloadCallbacks &callbacks) {
        // m_reports is read only after workFinished(), on the window's thread.
        m_reports = RunDownload(job, choice, callbacks);
    });
}

void Tfrmdownload2::workFinished()
{
    QWidget *owner = parentWidget();
    m_downloadDone.value = true;
    dialogs::information(owner, QStringLiteral("数据下载"), DownloadSummary(m_reports));
}

} // namespace lumaro
