#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace lumaro {

// A titled group of radio buttons with an item index, the "opt" controls of the windows. The
// buttons are named <group name>_<index> once the group has its object name.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &objectName, const QStringList &items, int itemIndex, QWidget *parent = nullptr,
        Qt::Orientation orientation = Qt::Horizontal);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const;

Q_SIGNALS:
    void itemIndexChanged(int index);

private:
    QButtonGroup *m_buttons;
};

} // namespace lumaro
