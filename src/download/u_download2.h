#pragma once

#include "download/download_task.h"

#include <vector>

class QComboBox;
class QPushButton;

namespace lumaro {

struct AppContext;

// 数据下载: fetches the draws of one built-in lottery or of all of them and appends the new ones.
// The main window closes the open lottery first and shows this window modally (exec()). Once
// "开始下载" is pressed nothing can be chosen or closed until every chosen branch has run; the
// window then closes itself, sets DownloadDone and reports "下载完成！" with a line a branch.
class Tfrmdownload2 : public DownloadWindow {
    Q_OBJECT
public:
    Tfrmdownload2(AppContext &context, DownloadDone &downloadDone, QWidget *parent = nullptr);
    ~Tfrmdownload2() override;

    // The reports of the finished download.
    const std::vector<BranchReport> &reports() const { return m_reports; }

    void btndownClick();
    void btncloseClick();

protected:
    void workFinished() override;

private:
    AppContext &m_context;
    DownloadDone &m_downloadDone;
    QLabel *m_lbltishi;
    QComboBox *m_comdown;
    QPushButton *m_btndown;
    QPushButton *m_btnclose;
    std::vector<BranchReport> m_reports;
};

} // namespace lumaro
