#include "shell/application.h"

#include "shell/error_display.h"

namespace lumaro {

LumaroApplication::LumaroApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Lumaro"));
    setApplicationDisplayName(QStringLiteral("Lumaro"));
}

bool LumaroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowError(nullptr, ErrorText(std::current_exception()));
        return false;
    }
}

} // namespace lumaro
