#pragma once

#include <QDialog>

namespace lumaro {

class ProgramFolder;

// The about box.
class Tfrmabout : public QDialog {
    Q_OBJECT
public:
    Tfrmabout(const ProgramFolder &folder, QWidget *parent = nullptr);
};

} // namespace lumaro
