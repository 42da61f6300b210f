#pragma once

#include <QDialog>
#include <QPixmap>
#include <QStringList>

class QTimer;

namespace lumaro {

class ProgramFolder;

// The splash: the picture, the product name and a few lines; closes itself at the fifth
// one-second tick, or at once on a click.
class Tfrmflash : public QDialog {
    Q_OBJECT
public:
    Tfrmflash(const ProgramFolder &folder, QWidget *parent = nullptr);
    int ticks() const { return m_ticks; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
    QStringList m_lines;
    QTimer *m_timer;
    int m_ticks = 0;
};

} // namespace lumaro
