#include "data/u_index.h"

#include "common/errors.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace lumaro {

namespace {

// The window's height: room for the back-zone rows of a two-zone lottery.
constexpr int kHeight = 404;

} // namespace

Tfrmindex::Tfrmindex(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmindex"));
    setWindowTitle(QStringLiteral("彩票操作"));
    setFixedSize(295, kHeight);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    NewLabel(this, "Label1", QStringLiteral("选择彩票："), QPoint(8, 8));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstcaipiao"));
    m_list->setGeometry(8, 24, 129, kHeight - 35);

    const int x = 145;
    const int w = 142;
    NewLabel(this, "Label2", QStringLiteral("彩票名称："), QPoint(x, 8));
    m_name = NewField(this, "edtcainame", {}, QRect(x, 24, w, 22));
    m_name->setMaxLength(kMaxLotteryNameLength);

    m_kindGroup = new QGroupBox(QStringLiteral("彩票类型："), this);
    m_kindGroup->setObjectName(QStringLiteral("optcaitype"));
    m_kindGroup->setGeometry(x, 50, w, 62);
    m_lotto = new QRadioButton(QStringLiteral("乐透型"), m_kindGroup);
    m_lotto->setObjectName(QStringLiteral("optcaitype0"));
    m_lotto->setGeometry(6, 20, 66, 20);
    m_digit = new QRadioButton(QStringLiteral("数字型"), m_kindGroup);
    m_digit->setObjectName(QStringLiteral("optcaitype1"));
    m_digit->setGeometry(74, 20, 66, 20);
    m_optcaitype2 = new QRadioButton(LotteryKindName(LotteryKind::TwoZone), m_kindGroup);
    m_optcaitype2->setObjectName(QStringLiteral("optcaitype2"));
    m_optcaitype2->setGeometry(6, 40, 66, 20);
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(m_lotto, 0);
    kinds->addButton(m_digit, 1);
    kinds->addButton(m_optcaitype2, 2);
    m_digit->setChecked(true);

    NewLabel(this, "Label4", QStringLiteral("号码总数："), QPoint(x, 116));
    m_sum = NewField(this, "edtcaisum", QStringLiteral("10"), QRect(x, 132, 66, 22));
    NewLabel(this, "Label5", QStringLiteral("选择号码数："), QPoint(x + 74, 116));
    m_sel = NewField(this, "edtcaisel", QStringLiteral("3"), QRect(x + 74, 132, 68, 22));
    // The back zone of a two-zone lottery, a row a field, under the front zone's fields; shown
    // only while 双区型 is the kind.
    m_Label7 = NewLabel(this, "Label7", QStringLiteral("后区号码总数："), QPoint(x, 163));
    m_edthouqusum = NewField(this, "edthouqusum", QStringLiteral("16"), QRect(x + 98, 160, 44, 22));
    m_Label8 = NewLabel(this, "Label8", QStringLiteral("后区选择号码数："), QPoint(x, 189));
    m_edthouqusel = NewField(this, "edthouqusel", QStringLiteral("1"), QRect(x + 98, 186, 44, 22));
    m_Label6 = NewLabel(this, "Label6", QStringLiteral("开奖时间："), QPoint(x, 158));
    m_time = NewField(this, "edtcaitime", {}, QRect(x, 174, w, 22));
    m_time->setMaxLength(kMaxDrawTimeLength);

    m_weekGroup = new QGroupBox(QStringLiteral("开奖星期："), this);
    m_weekGroup->setObjectName(QStringLiteral("grpweek"));
    m_weekGroup->setGeometry(x, 200, 121, 57);
    // Boxes 1..4 on the first row and 5..7 on the second.
    const int boxWidth = m_weekGroup->width() / 4 - 6;
    const int rowHeight = m_weekGroup->height() / 2;
    for (int k = 1; k <= 7; ++k) {
        auto *box = new QCheckBox(QString::number(k), m_weekGroup);
        box->setObjectName(QStringLiteral("chkweek%1").arg(k));
        const int left = ((k - 1) % 4) * (boxWidth + 6) + 5;
        const int top = k <= 4 ? 14 : rowHeight + 6;
        box->setGeometry(left, top, boxWidth + 6, 18);
        m_week[static_cast<std::size_t>(k)] = box;
    }

    // The buttons keep the bottom of the window, whichever fields show above them.
    m_add = NewButton(this, "btnadd", QStringLiteral("添加彩票"), QRect(x, kHeight - 82, 68, 28));
    m_del = NewButton(this, "btndel", QStringLiteral("删除彩票"), QRect(x + 74, kHeight - 82, 68, 28));
    // While a lottery is being added, 取消添加 takes the place of 删除彩票 beside 确定添加.
    m_cancel = NewButton(this, "btncancel", QStringLiteral("取消添加"), m_del->geometry());
    m_open = NewButton(this, "btnopen", QStringLiteral("打开彩票"), QRect(x, kHeight - 40, 68, 30));
    m_exit = NewButton(this, "btnext", QStringLiteral("退出"), QRect(x + 74, kHeight - 40, 68, 30));
    m_Label7->setToolTip(QStringLiteral("双区型彩票后区的号码总数"));
    m_Label8->setToolTip(QStringLiteral("双区型彩票每期开出的后区号码数"));
    m_edthouqusum->setToolTip(m_Label7->toolTip());
    m_edthouqusel->setToolTip(m_Label8->toolTip());
    connect(m_optcaitype2, &QRadioButton::toggled, this, [this] { placeBackZone(); });
    placeBackZone();

    connect(m_list, &QListWidget::itemClicked, this, [this] { lstcaipiaoClick(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { lstcaipiaoClick(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { btnopenClick(); });
    connect(m_open, &QPushButton::clicked, this, [this] { btnopenClick(); });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, [this] { btnaddClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { btncancelClick(); });
    connect(m_del, &QPushButton::clicked, this, [this] { btndelClick(); });

    setFieldsEnabled(false);
    Guarded(this, [this] { fillList(); });
}

void Tfrmindex::fillList()
{
    m_list->clear();
    m_list->addItems(m_context.store->listLotteries());
}

void Tfrmindex::setFieldsEnabled(bool adding)
{
    for (QWidget *w : std::initializer_list<QWidget *> {
             m_name, m_kindGroup, m_sum, m_sel, m_edthouqusum, m_edthouqusel, m_time, m_weekGroup})
        w->setEnabled(adding);
    m_del->setEnabled(!adding);
    m_del->setVisible(!adding);
    m_cancel->setVisible(adding);
    m_open->setEnabled(!adding);
    m_exit->setEnabled(!adding);
    m_list->setEnabled(!adding);
}

int Tfrmindex::selectedKind() const
{
    if (m_optcaitype2->isChecked())
        return static_cast<int>(LotteryKind::TwoZone);
    return m_digit->isChecked() ? 1 : 0;
}

QRadioButton *Tfrmindex::kindButton(int kind) const
{
    switch (kind) {
    case static_cast<int>(LotteryKind::Digit):
        return m_digit;
    case static_cast<int>(LotteryKind::TwoZone):
        return m_optcaitype2;
    default:
        return m_lotto;
    }
}

void Tfrmindex::placeBackZone()
{
    // The back-zone rows take their room only for a two-zone lottery; the time and the weekdays
    // follow right under the last row shown.
    const bool shown = m_optcaitype2->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *> {m_Label7, m_edthouqusum, m_Label8, m_edthouqusel})
        w->setVisible(shown);
    const int top = shown ? 212 : 158;
    m_Label6->move(m_Label6->x(), top);
    m_time->move(m_time->x(), top + 16);
    m_weekGroup->move(m_weekGroup->x(), top + 42);
}

void Tfrmindex::showDefinition(const QString &name)
{
    const LotteryDefinition d = m_context.store->readDefinition(name);
    m_name->setText(d.name);
    kindButton(static_cast<int>(d.kind))->setChecked(true);
    m_sum->setText(QString::number(d.n));
    m_sel->setText(QString::number(d.m));
    // A one-zone lottery leaves the hidden back fields as they were, ready for an adding.
    if (d.hasBackZone()) {
        m_edthouqusum->setText(QString::number(d.backN));
        m_edthouqusel->setText(QString::number(d.backM));
    }
    m_time->setText(d.drawTime);
    for (int k = 1; k <= 7; ++k)
        m_week[static_cast<std::size_t>(k)]->setChecked(d.weekdays.contains(QString::number(k)));
}

void Tfrmindex::lstcaipiaoClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected() || adding())
        return;
    const QString name = item->text();
    Guarded(this, [&] { showDefinition(name); });
}

void Tfrmindex::btnopenClick()
{
    if (m_name->text().isEmpty()) {
        dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("请选择彩票！"));
        return;
    }
    const QString name = m_name->text();
    const bool ok = Guarded(this, [&] {
        m_context.lottery->open(*m_context.store, name);
        if (m_context.shell)
            m_context.shell->showOpenedLottery();
    });
    if (ok) {
        m_opened = true;
        accept();
    }
}

bool Tfrmindex::adding() const
{
    return m_add->text() != QStringLiteral("添加彩票");
}

Tfrmindex::Fields Tfrmindex::fields() const
{
    Fields f;
    f.name = m_name->text();
    f.kind = selectedKind();
    f.sum = m_sum->text();
    f.sel = m_sel->text();
    f.backSum = m_edthouqusum->text();
    f.backSel = m_edthouqusel->text();
    f.time = m_time->text();
    for (int k = 1; k <= 7; ++k)
        f.week[static_cast<std::size_t>(k)] = m_week[static_cast<std::size_t>(k)]->isChecked();
    return f;
}

void Tfrmindex::setFields(const Fields &f)
{
    m_name->setText(f.name);
    kindButton(f.kind)->setChecked(true);
    m_sum->setText(f.sum);
    m_sel->setText(f.sel);
    m_edthouqusum->setText(f.backSum);
    m_edthouqusel->setText(f.backSel);
    m_time->setText(f.time);
    for (int k = 1; k <= 7; ++k)
        m_week[static_cast<std::size_t>(k)]->setChecked(f.week[static_cast<std::size_t>(k)]);
}

void Tfrmindex::btncancelClick()
{
    if (!adding())
        return;
    setFields(m_beforeAdding);
    m_add->setText(QStringLiteral("添加彩票"));
    setFieldsEnabled(false);
    m_list->setFocus();
}

void Tfrmindex::reject()
{
    // Closing the window in the middle of an adding cancels it, so the next 打开彩票 finds
    // the list and its buttons as they were.
    btncancelClick();
    QDialog::reject();
}

void Tfrmindex::btnaddClick()
{
    if (!adding()) {
        m_beforeAdding = fields();
        m_name->clear();
        m_time->clear();
        for (int k = 1; k <= 7; ++k)
            m_week[static_cast<std::size_t>(k)]->setChecked(false);
        setFieldsEnabled(true);
        m_add->setText(QStringLiteral("确定添加"));
        m_name->setFocus();
        return;
    }
    LotteryDefinition d;
    d.name = m_name->text();
    d.kind = static_cast<LotteryKind>(selectedKind());
    bool nOk = false;
    bool mOk = false;
    d.n = m_sum->text().trimmed().toInt(&nOk);
    d.m = m_sel->text().trimmed().toInt(&mOk);
    d.drawTime = m_time->text();
    for (int k = 1; k <= 7; ++k) {
        if (m_week[static_cast<std::size_t>(k)]->isChecked())
            d.weekdays += QString::number(k);
    }
    if (!nOk || !mOk) {
        dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("号码总数和选择号码数必须是整数！"));
        return;
    }
    if (d.hasBackZone()) {
        d.backN = m_edthouqusum->text().trimmed().toInt(&nOk);
        d.backM = m_edthouqusel->text().trimmed().toInt(&mOk);
        if (!nOk || !mOk) {
            dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("后区号码总数和后区选择号码数必须是整数！"));
            return;
        }
    }
    const bool ok = Guarded(this, [&] {
        ValidateDefinition(d);
        m_context.store->createLottery(d);
    });
    if (!ok)
        return; // stay in adding mode so the user can correct the fields
    Guarded(this, [this] { fillList(); });
    m_add->setText(QStringLiteral("添加彩票"));
    setFieldsEnabled(false);
    const auto found = m_list->findItems(d.name, Qt::MatchExactly);
    if (!found.isEmpty())
        m_list->setCurrentItem(found.front());
}

void Tfrmindex::btndelClick()
{
    const QString name = m_name->text();
    if (name.isEmpty()) {
        dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("请选择你要删除的彩票名称!"));
        return;
    }
    if (!dialogs::Question(this, QStringLiteral("警告"),
            QStringLiteral("警告：删除该彩票将删除删除所有与该彩票相关的文件，是否确定删除?"), true))
        return;
    Guarded(this, [&] {
        m_context.store->dropLottery(name);
        const QSignalBlocker blocker(m_list);
        fillList();
    });
}

} // namespace lumaro
