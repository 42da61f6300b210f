#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

// The default error display: every user action runs inside Guarded(), which turns any error
// into a message box with the error's Chinese text, so no exception reaches the event loop.
namespace lumaro {

// The text shown for an exception: the message of a lumaro::Error, a plain text for
// out-of-memory and anything else.
QString ErrorText(const std::exception_ptr &error);

// Shows an error message the way the program's error display does.
void ShowError(QWidget *parent, const QString &message);

// Runs action; on an exception shows it and returns false. The busy cursor set inside the
// action is restored.
bool Guarded(QWidget *parent, const std::function<void()> &action);

} // namespace lumaro
