#pragma once

#include <QApplication>

namespace lumaro {

// The application object. Its notify() is the last guard: an exception that escapes an event
// handler is shown as an error message instead of ending the program.
class LumaroApplication : public QApplication {
    Q_OBJECT
public:
    LumaroApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace lumaro
