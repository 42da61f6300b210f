#pragma once

#include "download/draw_download.h"
#include "shell/app_context.h"
#include "shell/window_registry.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

class QAction;
class QLabel;
class QMovie;
class QNetworkAccessManager;
class QPushButton;
class QTabBar;
class QToolBar;

namespace lumaro {

class ClientArea;
class Tfrmindex;

// The main window: menus, toolbar, the tab strip of analysis views, the opening and closing of
// lotteries and of every tool window, and the trend switch.
class Tfrmmain : public QMainWindow, public ShellServices {
    Q_OBJECT
public:
    explicit Tfrmmain(AppContext &context, QWidget *parent = nullptr);
    ~Tfrmmain() override;

    // ShellServices
    void switchToStandardTrend() override { tlbbiaozhunClick(); }
    void switchToVariantTrend() override { tlbbianwanClick(); }
    void showOpenedLottery() override { ShowOpenedLottery(); }

    void ShowOpenedLottery();
    void UpdateMenuState();
    void mnuopenClick();
    void mnucloseClick();
    void tlbdataClick();
    void tlbbiaozhunClick();
    void tlbbianwanClick();
    void tabmainChange(int index);
    void mnuadddataClick();
    void mnudownloadClick();
    void mnubackupdataClick();
    void mnustoredataClick();
    void mnuaboutClick();
    // create-if-absent-then-show of a tool window by its class name
    QWidget *showToolWindow(const QString &key) override;

    // For tests and screenshots.
    AppContext &context() { return m_context; }
    QAction *action(const QString &objectName) const;
    QTabBar *tabmain() const { return m_tabs; }
    QToolBar *tlbmain() const { return m_toolbar; }
    QWidget *currentView() const { return m_view; }
    WindowRegistry &registry() { return m_registry; }
    Tfrmindex *manager() const;
    QWidget *advertPanel() const;
    // The status bar's note of the trend in force: "当前走势：标准走势" or "当前走势：变幻走势"
    // while a lottery is open, empty otherwise.
    QLabel *trendIndicator() const { return m_trendLabel; }

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    QAction *addAction(QMenu *menu, const char *name, const QString &caption, const std::function<void()> &slot);
    QAction *addToolButton(const char *name, const QString &caption, const QString &tip, const QString &glyph,
        const QColor &colour, const std::function<void()> &slot);
    void showTrendMode();
    void closeViews();
    void showView(int index);
    void refreshActiveView();
    void setBallChooserEnabled(bool enabled);
    void openSite(const QString &key, const QString &path, const QUrl &fallback = QUrl());
    void openHelp(const QString &section = QString());
    void startAdvert();

    AppContext &m_context;
    WindowRegistry m_registry;
    DownloadDone m_downloadDone;
    QHash<QString, QAction *> m_actions;
    QToolBar *m_toolbar = nullptr;
    QTabBar *m_tabs = nullptr;
    QAction *m_tabsAction = nullptr;
    ClientArea *m_client = nullptr;
    QPointer<QWidget> m_view;
    QPointer<Tfrmindex> m_manager;
    QPointer<QWidget> m_about;
    QNetworkAccessManager *m_network = nullptr;
    QWidget *m_pan = nullptr;
    QLabel *m_imggif = nullptr;
    QLabel *m_trendLabel = nullptr;
    QMovie *m_movie = nullptr;
    QUrl m_advertTarget;
    bool m_panClosed = false;
};

} // namespace lumaro
