#pragma once

#include <QAnyStringView>
#include <QPoint>
#include <QRect>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace lumaro {

// The controls of hand-built windows. Each factory makes the control a child of parent, names it
// with its program name (objectName, which tests and screenshots look for) and gives it its text.
// A non-empty geometry places and sizes it; an empty one leaves both to the layout it joins.

QLabel *NewLabel(QWidget *parent, QAnyStringView objectName, const QString &text, const QRect &geometry = {});
// A label placed at topLeft and sized to its text.
QLabel *NewLabel(QWidget *parent, QAnyStringView objectName, const QString &text, const QPoint &topLeft);

// A one-line edit box holding text.
QLineEdit *NewField(QWidget *parent, QAnyStringView objectName, const QString &text = {}, const QRect &geometry = {});

// A push button that Enter never presses on its own, even in a dialog (no auto-default).
QPushButton *NewButton(QWidget *parent, QAnyStringView objectName, const QString &text, const QRect &geometry = {});
QToolButton *NewToolButton(QWidget *parent, QAnyStringView objectName, const QString &text);

QCheckBox *NewCheckBox(
    QWidget *parent, QAnyStringView objectName, const QString &text, bool checked = false, const QRect &geometry = {});

// A list of the numbers first … last with initial selected (clamped to the list); no item when
// last < first.
QComboBox *NewNumberCombo(QWidget *parent, QAnyStringView objectName, int first, int last, int initial);
// Fills combo anew with the numbers first … last and selects selected, as NewNumberCombo does.
void FillNumberCombo(QComboBox *combo, int first, int last, int selected);

} // namespace lumaro
