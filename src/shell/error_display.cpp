#include "shell/error_display.h"

#include "common/errors.h"
#include "shell/dialogs.h"

#include <QApplication>

#include <new>

namespace lumaro {

QString ErrorText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Error &e) {
        return e.message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("内存不足，操作已取消。");
    } catch (const std::exception &e) {
        return QStringLiteral("程序错误：%1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return QStringLiteral("未知错误。");
    }
}

void ShowError(QWidget *parent, const QString &message)
{
    dialogs::Critical(parent, QStringLiteral("Lumaro"), message);
}

bool Guarded(QWidget *parent, const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (...) {
        const QString message = ErrorText(std::current_exception());
        ShowError(parent, message);
        return false;
    }
}

} // namespace lumaro
