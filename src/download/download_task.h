#pragma once

#include "download/draw_download.h"

#include "shell/background_run.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;

namespace lumaro {

// What both download windows share: no frame, a green background, 354 × 74 pixels, centred on
// the screen; the progress text m_lbltitle and a page bar, both hidden until the work starts; no
// closing (not even Esc) while the worker runs.
class DownloadWindow : public QDialog {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget *parent);
    ~DownloadWindow() override;

    bool isDownloading() const { return m_work && m_work->isRunning(); }

protected:
    // Shows the progress controls and runs work on the worker; its status texts and page counts
    // come back to the window's thread. When it is over the window closes and workFinished()
    // reports (unless the work threw: its error is shown).
    void startWork(std::function<void(const DownloadCallbacks &)> work);
    virtual void workFinished() = 0;
    // Stops the worker; a subclass whose members the worker writes calls it in its destructor.
    void stopWork();
    virtual bool mayClose() const { return !isDownloading(); }

    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

    QLabel *m_lbltitle;
    QProgressBar *m_prbdown;

private:
    BackgroundRun *m_work;
};

} // namespace lumaro
