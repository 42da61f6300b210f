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

Tfrmindex::Tfrmindex(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmindex"));
    setWindowTitle(QStringLiteral("彩票操作"));
    setFixedSize(295, 332);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    NewLabel(this, "Label1", QStringLiteral("选择彩票："), QPoint(8, 8));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstcaipiao"));
    m_list->setGeometry(8, 24, 129, 297);

    const int x = 145;
    const int w = 142;
    NewLabel(this, "Label2", QStringLiteral("彩票名称："), QPoint(x, 8));
    m_name = NewField(this, "edtcainame", {}, QRect(x, 24, w, 22));
    m_name->setMaxLength(kMaxLotteryNameLength);

    m_kindGroup = new QGroupBox(QStringLiteral("彩票类型："), this);
    m_kindGroup->setObjectName(QStringLiteral("optcaitype"));
    m_kindGroup->setGeometry(x, 50, w, 44);
    m_lotto = new QRadioButton(QStringLiteral("乐透型"), m_kindGroup);
    m_lotto->setObjectName(QStringLiteral("optcaitype0"));
    m_lotto->setGeometry(6, 20, 66, 20);
    m_digit = new QRadioButton(QStringLiteral("数字型"), m_kindGroup);
    m_digit->setObjectName(QStringLiteral("optcaitype1"));
    m_digit->setGeometry(74, 20, 66, 20);
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(m_lotto, 0);
    kinds->addButton(m_digit, 1);
    m_digit->setChecked(true);

    NewLabel(this, "Label4", QStringLiteral("号码总数："), QPoint(x, 98));
    m_sum = NewField(this, "edtcaisum", QStringLiteral("10"), QRect(x, 114, 66, 22));
    NewLabel(this, "Label5", QStringLiteral("选择号码数："), QPoint(x + 74, 98));
    m_sel = NewField(this, "edtcaisel", QStringLiteral("3"), QRect(x + 74, 114, 68, 22));
    NewLabel(this, "Label6", QStringLiteral("开奖时间："), QPoint(x, 140));
    m_time = NewField(this, "edtcaitime", {}, QRect(x, 156, w, 22));
    m_time->setMaxLength(kMaxDrawTimeLength);

    m_weekGroup = new QGroupBox(QStringLiteral("开奖星期："), this);
    m_weekGroup->setObjectName(QStringLiteral("grpweek"));
    m_weekGroup->setGeometry(x, 182, 121, 57);
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

    m_add = NewButton(this, "btnadd", QStringLiteral("添加彩票"), QRect(x, 250, 68, 28));
    m_del = NewButton(this, "btndel", QStringLiteral("删除彩票"), QRect(x + 74, 250, 68, 28));
    // While a lottery is being added, 取消添加 takes the place of 删除彩票 beside 确定添加.
    m_cancel = NewButton(this, "btncancel", QStringLiteral("取消添加"), m_del->geometry());
    m_open = NewButton(this, "btnopen", QStringLiteral("打开彩票"), QRect(x, 292, 68, 30));
    m_exit = NewButton(this, "btnext", QStringLiteral("退出"), QRect(x + 74, 292, 68, 30));

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
    for (QWidget *w : std::initializer_list<QWidget *> {m_name, m_kindGroup, m_sum, m_sel, m_time, m_weekGroup})
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
    return m_digit->isChecked() ? 1 : 0;
}

void Tfrmindex::showDefinition(const QString &name)
{
    const LotteryDefinition d = m_context.store->readDefinition(name);
    m_name->setText(d.name);
    (d.kind == LotteryKind::Digit ? m_digit : m_lotto)->setChecked(true);
    m_sum->setText(QString::number(d.n));
    m_sel->setText(QString::number(d.m));
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
    f.digit = m_digit->isChecked();
    f.sum = m_sum->text();
    f.sel = m_sel->text();
    f.time = m_time->text();
    for (int k = 1; k <= 7; ++k)
        f.week[static_cast<std::size_t>(k)] = m_week[static_cast<std::size_t>(k)]->isChecked();
    return f;
}

void Tfrmindex::setFields(const Fields &f)
{
    m_name->setText(f.name);
    (f.digit ? m_digit : m_lotto)->setChecked(true);
    m_sum->setText(f.sum);
    m_sel->setText(f.sel);
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
