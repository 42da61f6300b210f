#include "shell/form_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

QStringList ItemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

// Tests and screenshots find every control by its program name; a hand-placed window relies on
// the geometry it gives, a laid-out one on the layout alone.
TEST(FormControls, ControlsCarryTheirNamesTextsAndPlaces)
{
    QWidget window;
    window.resize(400, 300);
    QLineEdit *edit = NewField(&window, "edtnum1", QStringLiteral("7"), QRect(10, 20, 34, 24));
    QPushButton *button = NewButton(&window, "btnfilt", QStringLiteral("过滤"), QRect(50, 20, 113, 32));
    QCheckBox *check = NewCheckBox(&window, QStringLiteral("chk%1").arg(2), QStringLiteral("胆码"), true);
    QToolButton *tool = NewToolButton(&window, "tlbtnsave", QStringLiteral("保存"));
    QLabel *caption = NewLabel(&window, "Label1", QStringLiteral("选择彩票："), QRect(8, 60, 80, 16));

    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("edtnum1")), edit);
    EXPECT_EQ(window.findChild<QPushButton *>(QStringLiteral("btnfilt")), button);
    EXPECT_EQ(window.findChild<QCheckBox *>(QStringLiteral("chk2")), check);
    EXPECT_EQ(window.findChild<QToolButton *>(QStringLiteral("tlbtnsave")), tool);
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("Label1")), caption);
    EXPECT_EQ(edit->text(), QStringLiteral("7"));
    EXPECT_EQ(button->text(), QStringLiteral("过滤"));
    EXPECT_EQ(tool->text(), QStringLiteral("保存"));
    EXPECT_TRUE(check->isChecked());
    EXPECT_FALSE(NewCheckBox(&window, "chkda", QStringLiteral("大数个数>="))->isChecked());
    EXPECT_EQ(edit->geometry(), QRect(10, 20, 34, 24));
    EXPECT_EQ(button->geometry(), QRect(50, 20, 113, 32));
    EXPECT_EQ(caption->geometry(), QRect(8, 60, 80, 16));

    // Placed at a point, a label takes the room its text needs, even a text longer than the
    // default size of a widget.
    const QString longText = QStringLiteral("白色代表基本号码，红色代表胆码，红色代表胆码");
    QLabel *placed = NewLabel(&window, "Label2", longText, QPoint(145, 98));
    EXPECT_EQ(placed->pos(), QPoint(145, 98));
    EXPECT_GE(placed->width(), placed->fontMetrics().horizontalAdvance(longText));

    // Without a geometry the layout alone sizes the control: nothing is squeezed to nothing.
    QWidget laidOut;
    auto *layout = new QVBoxLayout(&laidOut);
    QLineEdit *free = NewField(&laidOut, "edtjushu");
    QLabel *freeLabel = NewLabel(&laidOut, "Label3", QStringLiteral("投注号码："));
    layout->addWidget(freeLabel);
    layout->addWidget(free);
    laidOut.resize(300, 200);
    laidOut.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&laidOut));
    EXPECT_GT(free->width(), 200);
    EXPECT_GT(freeLabel->height(), 0);
    EXPECT_TRUE(free->text().isEmpty());
}

// In a dialog, Enter typed into a box must not press a button of the form (the first button
// would otherwise become the dialog's default: 添加彩票 in the lottery manager). A button made
// the default on purpose still answers Enter.
TEST(FormControls, EnterInADialogPressesOnlyAButtonMadeTheDefault)
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    QLineEdit *name = NewField(&dialog, "edtcainame");
    QPushButton *add = NewButton(&dialog, "btnadd", QStringLiteral("添加彩票"));
    QPushButton *open = NewButton(&dialog, "btnopen", QStringLiteral("打开彩票"));
    layout->addWidget(name);
    layout->addWidget(add);
    layout->addWidget(open);
    QSignalSpy addClicks(add, &QPushButton::clicked);
    QSignalSpy openClicks(open, &QPushButton::clicked);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(addClicks.count(), 0);
    EXPECT_EQ(openClicks.count(), 0);
    EXPECT_TRUE(dialog.isVisible());

    open->setDefault(true);
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(addClicks.count(), 0);
    EXPECT_EQ(openClicks.count(), 1);
}

TEST(FormControls, NumberCombosListTheRangeAndSelectWithinIt)
{
    QWidget window;
    QComboBox *combo = NewNumberCombo(&window, "comoknum", 1, 8, 6);
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("comoknum")), combo);
    EXPECT_EQ(ItemsOf(combo), QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(combo->currentText(), QStringLiteral("6"));

    // A range from zero, and initial values outside the range land on its nearest end.
    EXPECT_EQ(NewNumberCombo(&window, "comdannum", 0, 3, 0)->currentText(), QStringLiteral("0"));
    EXPECT_EQ(NewNumberCombo(&window, "com1", 1, 20, 50)->currentText(), QStringLiteral("20"));
    EXPECT_EQ(NewNumberCombo(&window, "com2", 5, 9, -3)->currentText(), QStringLiteral("5"));

    // No draws: an empty list with nothing selected.
    QComboBox *none = NewNumberCombo(&window, "com3", 1, 0, 3);
    EXPECT_EQ(none->count(), 0);
    EXPECT_EQ(none->currentIndex(), -1);

    // Filled anew, the list holds only the new range.
    FillNumberCombo(combo, 1, 3, 2);
    EXPECT_EQ(ItemsOf(combo), QStringList({"1", "2", "3"}));
    EXPECT_EQ(combo->currentText(), QStringLiteral("2"));
    FillNumberCombo(combo, 1, 0, 1);
    EXPECT_EQ(combo->count(), 0);
    FillNumberCombo(combo, 10, 12, 11);
    EXPECT_EQ(ItemsOf(combo), QStringList({"10", "11", "12"}));
    EXPECT_EQ(combo->currentIndex(), 1);
}
