#include "pickers/radio_group.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QRadioButton>

namespace lumaro {

RadioGroup::RadioGroup(
    const QString &objectName, const QStringList &items, int itemIndex, QWidget *parent, Qt::Orientation orientation)
    : QGroupBox(parent)
    , m_buttons(new QButtonGroup(this))
{
    setObjectName(objectName);
    auto *layout = new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    layout->setContentsMargins(6, 2, 6, 2);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        button->setObjectName(QStringLiteral("%1_%2").arg(objectName).arg(i));
        m_buttons->addButton(button, i);
        layout->addWidget(button);
    }
    setLayout(layout);
    setItemIndex(itemIndex);
    connect(m_buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Q_EMIT itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const
{
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *button = m_buttons->button(index))
        button->setChecked(true);
}

int RadioGroup::count() const
{
    return static_cast<int>(m_buttons->buttons().size());
}

} // namespace lumaro
