#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>

namespace lumaro {

// One instance per tool window, by key (the window's class name): show() creates the window if
// there is none and otherwise shows the existing one again; closeAll() closes every window and
// forgets it, so the next show() builds a fresh one.
class WindowRegistry {
public:
    using Factory = std::function<QWidget *()>;

    QWidget *find(const QString &key) const
    {
        const auto it = m_windows.find(key);
        return it == m_windows.end() ? nullptr : it->second.data();
    }

    template<class Window>
    Window *find(const QString &key) const
    {
        return qobject_cast<Window *>(find(key));
    }

    // Creates with create() if absent; does not show.
    QWidget *ensure(const QString &key, const Factory &create)
    {
        if (QWidget *existing = find(key))
            return existing;
        QWidget *window = create();
        m_windows[key] = window;
        return window;
    }

    QWidget *show(const QString &key, const Factory &create)
    {
        QWidget *window = ensure(key, create);
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    }

    void closeAll()
    {
        for (auto &[key, window] : m_windows) {
            if (window) {
                window->close();
                window->deleteLater();
            }
        }
        m_windows.clear();
    }

    int count() const
    {
        int alive = 0;
        for (const auto &entry : m_windows)
            alive += entry.second ? 1 : 0;
        return alive;
    }

private:
    std::map<QString, QPointer<QWidget>> m_windows;
};

} // namespace lumaro
