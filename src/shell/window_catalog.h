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
    // Works on the draw history: with no draws stored the window has nothing to show.
    bool needsDraws = false;
};

const std::vector<ToolWindowEntry> &ToolWindows();
const ToolWindowEntry *FindToolWindow(const QString &key);

// The views of the tab strip, index 0..9. A lottery without draws gets, on every tab, the hint
// that says how to get them.
QWidget *CreateTabView(int index, AppContext &context, QWidget *parent);
QString TabCaption(int index);
constexpr int kTabCount = 10;

// Modal windows of the data menu; exec() them.
QWidget *CreateDrawEditor(AppContext &context, QWidget *parent);
QWidget *CreateDownloadWindow(AppContext &context, DownloadDone &done, QWidget *parent);
QWidget *CreateQuickUpdateWindow(AppContext &context, DownloadDone &done, QWidget *parent);

} // namespace lumaro
