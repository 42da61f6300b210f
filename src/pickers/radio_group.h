#pragma once

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QRadioButton;

namespace lumaro {

// A titled group of radio buttons with one selected entry, addressed by index. The buttons are
// named after the group ("optmode_0", "optmode_1" …).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &name, const QString &title, const QStringList &items, QWidget *parent = nullptr,
        bool horizontal = false);

    // Untitled, side by side, with the given entry selected.
    RadioGroup(const QString &name, const QStringList &items, int itemIndex, QWidget *parent)
        : RadioGroup(name, QString(), items, parent, true)
    {
        setItemIndex(itemIndex);
    }

    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton *button(int index) const { return m_buttons[static_cast<std::size_t>(index)]; }
    int count() const { return static_cast<int>(m_buttons.size()); }

Q_SIGNALS:
    // The user or setItemIndex() selected another entry.
    void itemIndexChanged(int index);

private:
    std::vector<QRadioButton *> m_buttons;
};

} // namespace lumaro
