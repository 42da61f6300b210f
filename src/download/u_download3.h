#pragma once

#include "download/download_task.h"

class QPlainTextEdit;
class QTimer;

namespace lumaro {

struct AppContext;

// 数据下载 (quick update): brings the draws of the 11选5 game named in the open-lottery record up
// to date without asking anything. The main window closes the lottery, shows this window
// modally (exec()) and, when it has closed, reopens the same lottery (OpenLottery::reopen) and
// shows it. About a second after showing, the window reads the 50 day pages while DownloadDone
// is false (and then sets it) or the short feed once it is true, closes itself and reports
// "下载完成！".
class Tfrmdownload3 : public DownloadWindow {
    Q_OBJECT
public:
    Tfrmdownload3(AppContext &context, DownloadDone &downloadDone, QWidget *parent = nullptr);
    ~Tfrmdownload3() override;

    const DrawDownloader::QuickUpdate &result() const { return m_result; }

    void Timer1Timer();

protected:
    void workFinished() override;
    bool mayClose() const override { return m_started && !isDownloading(); }
    void showEvent(QShowEvent *event) override;

private:
    AppContext &m_context;
    DownloadDone &m_downloadDone;
    QString m_lottery;
    QPlainTextEdit *m_Memo1;
    QTimer *m_Timer1;
    bool m_started = false;
    DrawDownloader::QuickUpdate m_result;
};

} // namespace lumaro
