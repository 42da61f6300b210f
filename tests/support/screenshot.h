#pragma once

#include <QApplication>
#include <QDir>
#include <QWidget>

namespace lumaro::test {

// Saves a picture of a widget when LUMARO_SCREENSHOTS names a folder, so a test run can be
// looked at: LUMARO_SCREENSHOTS=/tmp/shots ctest …
inline void Screenshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("LUMARO_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QApplication::processEvents();
    widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace lumaro::test
