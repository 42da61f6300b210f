#include "pickers/radio_group.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QRadioButton>

namespace lumaro {

RadioGroup::RadioGroup(
    const QString &name, const QString &title, const QStringList &items, QWidget *parent, bool horizontal)
    : QGroupBox(title, parent)
{
    setObjectName(name);
    auto *layout = horizontal ? static_cast<QBoxLayout *>(new QHBoxLayout(this)) : new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(2);
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        button->setObjectName(name + QLatin1Char('_') + QString::number(i));
        group->addButton(button, i);
        layout->addWidget(button);
        m_buttons.push_back(button);
    }
    if (!m_buttons.empty())
        m_buttons.front()->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Q_EMIT itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->isChecked())
            return static_cast<int>(i);
    }
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(m_buttons.size()))
        m_buttons[static_cast<std::size_t>(index)]->setChecked(true);
}

} // namespace lumaro
