#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace lumaro {

struct AppContext;
struct DownloadDone;

// The tool windows the menus and toolbar open, by key.
struct ToolWindowEntry {
    QString key; // the window class name, also the registry key
    QString caption; // the menu caption without its accelerator
    std::function<QWidget *(AppContext &, QWidget *parent)> create;
};

const std::vector<ToolWindowEntry> &toolWindows();
const ToolWindowEntry *findToolWindow(const QString &key);

// The views of the tab strip, index 0..9.
QWidget *createTabView(int index, AppContext &context, QWidget *parent);
QString tabCaption(int index);
constexpr int kTabCount = 10;

// Modal windows of the data menu; exec() them.
QWidget *createDrawEditor(AppContext &context, QWidget *parent);
QWidget *createDownloadWindow(AppContext &context, DownloadDone &done, QWidget *parent);
QWidget *createQuickUpdateWindow(AppContext &context, DownloadDone &done, QWidget *parent);

} // namespace lumaro
