#include "shell/form_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QToolButton>

#include <algorithm>

namespace lumaro {

namespace {

// Names the control and, when a geometry is given, places it.
template<typename Control>
Control *Placed(Control *control, QAnyStringView objectName, const QRect &geometry)
{
    control->setObjectName(objectName);
    if (!geometry.isEmpty())
        control->setGeometry(geometry);
    return control;
}

} // namespace

QLabel *NewLabel(QWidget *parent, QAnyStringView objectName, const QString &text, const QRect &geometry)
{
    return Placed(new QLabel(text, parent), objectName, geometry);
}

QLabel *NewLabel(QWidget *parent, QAnyStringView objectName, const QString &text, const QPoint &topLeft)
{
    QLabel *label = NewLabel(parent, objectName, text);
    label->move(topLeft);
    label->adjustSize();
    return label;
}

QLineEdit *NewField(QWidget *parent, QAnyStringView objectName, const QString &text, const QRect &geometry)
{
    return Placed(new QLineEdit(text, parent), objectName, geometry);
}

QPushButton *NewButton(QWidget *parent, QAnyStringView objectName, const QString &text, const QRect &geometry)
{
    auto *button = Placed(new QPushButton(text, parent), objectName, geometry);
    button->setAutoDefault(false);
    return button;
}

QToolButton *NewToolButton(QWidget *parent, QAnyStringView objectName, const QString &text)
{
    auto *button = Placed(new QToolButton(parent), objectName, QRect());
    button->setText(text);
    return button;
}

QCheckBox *NewCheckBox(
    QWidget *parent, QAnyStringView objectName, const QString &text, bool checked, const QRect &geometry)
{
    auto *box = Placed(new QCheckBox(text, parent), objectName, geometry);
    box->setChecked(checked);
    return box;
}

QComboBox *NewNumberCombo(QWidget *parent, QAnyStringView objectName, int first, int last, int initial)
{
    auto *combo = Placed(new QComboBox(parent), objectName, QRect());
    FillNumberCombo(combo, first, last, initial);
    return combo;
}

void FillNumberCombo(QComboBox *combo, int first, int last, int selected)
{
    QStringList items;
    for (int value = first; value <= last; ++value)
        items << QString::number(value);
    combo->clear();
    combo->addItems(items);
    if (!items.isEmpty())
        combo->setCurrentIndex(std::clamp(selected, first, last) - first);
}

} // namespace lumaro
