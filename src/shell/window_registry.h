#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <typeindex>

namespace lumaro {

// One instance per tool-window class: show() creates the window if there is none and otherwise
// shows the existing one again; closeAll() closes every window and forgets it, so the next
// show() builds a fresh one.
class WindowRegistry {
public:
    template<class Window>
    Window *find() const
    {
        const auto it = m_windows.find(std::type_index(typeid(Window)));
        return it == m_windows.end() ? nullptr : qobject_cast<Window *>(it->second.data());
    }

    // Creates with create() if absent; does not show.
    template<class Window>
    Window *ensure(const std::function<Window *()> &create)
    {
        if (Window *existing = find<Window>())
            return existing;
        Window *window = create();
        m_windows[std::type_index(typeid(Window))] = window;
        return window;
    }

    template<class Window>
    Window *show(const std::function<Window *()> &create)
    {
        Window *window = ensure<Window>(create);
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    }

    void closeAll()
    {
        for (auto &[type, window] : m_windows) {
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
    std::map<std::type_index, QPointer<QWidget>> m_windows;
};

} // namespace lumaro
