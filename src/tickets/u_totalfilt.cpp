#include "tickets/u_totalfilt.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/text_format.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"
#include "shell/app_context.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "tickets/filter_history_check.h"
#include "tickets/filter_set.h"
#include "tickets/line_printer.h"
#include "tickets/survivor_look.h"
#include "tickets/text_lines_model.h"
#include "tickets/ticket_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>

namespace lumaro {

namespace {

const char *const kTicketFilter = "文本文件(*.txt)|*.txt";
const char *const kSetFilter = "过滤条件文件(*.txt)|*.txt";

struct RowNames {
    const char *check;
    const char *caption;
    const char *lower;
    const char *upper;
    const char *values;
};

// 大数, 奇数, 和值, 跨度, 散度, 偏度, AC值 in the order of the window and its checks.
const RowNames kRows[7] = {
    {"chkdashu", "大数", "comdaxiao1", "comdaxiao2", "edtdaxiao"},
    {"chkjishu", "奇数", "comjiou1", "comjiou2", "edtjiou"},
    {"chkhei", "和值", "comhei1", "comhei2", "edthei"},
    {"chkkuadu", "跨度", "comkuadu1", "comkuadu2", "edtkuadu"},
    {"chksandu", "散度：", "comsandu1", "comsandu2", "edtsandu"},
    {"chkpiandu", "偏度", "compiandu1", "compiandu2", "edtpiandu"},
    {"chkac", "AC值", "comac1", "comac2", "edtac"},
};

constexpr std::optional<FilterBounds> TotalFilterConditions::*kRowMembers[7] = {
    &TotalFilterConditions::big,
    &TotalFilterConditions::odd,
    &TotalFilterConditions::sum,
    &TotalFilterConditions::span,
    &TotalFilterConditions::dispersion,
    &TotalFilterConditions::deviation,
    &TotalFilterConditions::ac,
};

struct SetRowNames {
    const char *check;
    const char *caption;
    const char *values;
    std::optional<FilterBounds> TotalFilterConditions::*member;
};

// The conditions of the 更多条件 page.
const SetRowNames kMoreRows[10] = {
    {"chkchonghao", "重码", "edtchonghao", &TotalFilterConditions::repeat},
    {"chkjinqi", "近", "edtjinqi", &TotalFilterConditions::repeatRecent},
    {"chklianhao", "连号个数", "edtlianhao", &TotalFilterConditions::consecutive},
    {"chkzuichang", "最长连号", "edtzuichang", &TotalFilterConditions::longestRun},
    {"chkweishu", "尾数个数", "edtweishu", &TotalFilterConditions::tailCount},
    {"chkweihe", "尾数和", "edtweihe", &TotalFilterConditions::tailSum},
    {"chklu0", "0路个数", "edtlu0", &TotalFilterConditions::road0},
    {"chklu1", "1路个数", "edtlu1", &TotalFilterConditions::road1},
    {"chklu2", "2路个数", "edtlu2", &TotalFilterConditions::road2},
    {"chkzhishu", "质数个数", "edtzhishu", &TotalFilterConditions::primes},
};

// A value set typed for the condition `name`: "2-3" or "0-1,3". Every value is a count or a
// sum, so a negative one is refused like an empty or garbled text.
FilterBounds ReadValueSet(const QString &text, const QString &name)
{
    if (text.trimmed().isEmpty())
        throw InputError(QStringLiteral("请输入%1的数值，例如 2-3 或 0-1,3！").arg(name));
    const FilterBounds bounds = ParseBoundsText(text);
    bool negative = bounds.lower < 0 || bounds.upper < 0;
    for (const auto &[a, b] : bounds.more)
        negative = negative || a < 0 || b < 0;
    if (negative)
        throw InputError(QStringLiteral("%1的数值不能小于0！").arg(name));
    return bounds;
}

const QColor kChosen(255, 50, 50);

// The history check as its message box shows it: the figures of all conditions together, then
// a table of each condition alone.
QString HistoryCheckMessage(const HistoryCheckResult &result, const TotalFilterConditions &conditions)
{
    QString html
        = QStringLiteral("<p style='white-space:nowrap'>历史验证：%1；<br>%2</p>")
              .arg(HistoryDrawsText(result.all).toHtmlEscaped(), HistoryTicketsText(result.all).toHtmlEscaped());
    html += QStringLiteral("<table cellspacing='0' cellpadding='3'><tr><th align='left'>单个条件</th>"
                           "<th align='right'>开奖号码通过</th><th align='right'>投注号码通过</th>"
                           "<th align='right'>之比</th></tr>");
    for (const auto &[condition, f] : result.conditions) {
        html += QStringLiteral("<tr><td nowrap>%1</td><td align='right' nowrap>%2期（%3）</td><td align='right'>%4</td>"
                               "<td align='right'>%5</td></tr>")
                    .arg(ConditionLabel(condition, conditions).toHtmlEscaped())
                    .arg(f.drawsPassing)
                    .arg(ShareText(f.drawShare()), ShareText(f.ticketShare()),
                        f.ratio() ? QString::number(*f.ratio(), 'f', 2) : QStringLiteral("无从比较"));
    }
    html += QStringLiteral("</table><p>之比大于1：条件保留的历史开奖号码比投注号码多，值得采用。</p>");
    return html;
}

} // namespace

Tfrmtotalfilt::Tfrmtotalfilt(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_filter(*context.lottery)
    , m_n(context.lottery->n)
    , m_m(context.lottery->m)
    , m_backN(context.lottery->twoZone() ? context.lottery->backN : 0)
    , m_backM(context.lottery->twoZone() ? context.lottery->backM : 0)
{
    setObjectName(QStringLiteral("frmtotalfilt"));
    setWindowTitle(QStringLiteral("总体过滤"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(776, 533);
    buildControls();
    buildBallGrid();
    buildBackBoxes();
    fillLists();
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_run.lockWhileRunning({m_btnfilt, m_btnclear, m_btnload, m_btnsave, m_btnlishi, m_btnsavetiaojian,
        m_btnloadtiaojian, m_btnfenbu, m_btnsuiji});
    m_run.setProgressBar(m_pb);
    connect(&m_run, &BackgroundRun::finished, this, &Tfrmtotalfilt::runFinished);
    m_check.lockWhileRunning(
        {m_btnfilt, m_btnclear, m_btnload, m_btnsave, m_btnsavetiaojian, m_btnloadtiaojian, m_btnfenbu, m_btnsuiji});
    m_check.setProgressBar(m_pb);
    m_check.setStopButton(m_btnlishi, m_btnlishi->text());
    connect(&m_check, &BackgroundRun::finished, this, &Tfrmtotalfilt::historyCheckFinished);
    m_look.lockWhileRunning({m_btnfilt, m_btnclear, m_btnload, m_btnsave, m_btnlishi, m_btnsavetiaojian,
        m_btnloadtiaojian, m_btnfenbu, m_btnsuiji});
    m_look.setProgressBar(m_pb);
    m_save.lockWhileRunning(
        {m_btnfilt, m_btnclear, m_btnload, m_btnlishi, m_btnsavetiaojian, m_btnloadtiaojian, m_btnfenbu, m_btnsuiji});
    m_save.setProgressBar(m_pb);
    m_save.setStopButton(m_btnsave, m_btnsave->text());
    applyTrendMode(m_context.lottery->variantMode);
    if (!TotalFilterUnsupportedReason(*m_context.lottery).isEmpty())
        m_lblcode->setText(QStringLiteral("总体过滤只适用于3到7个号码的乐透型彩票"));
}

Tfrmtotalfilt::~Tfrmtotalfilt() = default;

void Tfrmtotalfilt::buildClassicPage(QWidget *page)
{
    for (int i = 0; i < 7; ++i) {
        const int y = 6 + i * 29;
        BoundRow &row = m_rows[static_cast<std::size_t>(i)];
        row.check = NewCheckBox(page, kRows[i].check, QString::fromUtf8(kRows[i].caption), false, QRect(8, y, 78, 24));
        row.lower = new QComboBox(page);
        row.upper = new QComboBox(page);
        row.lower->setObjectName(QString::fromUtf8(kRows[i].lower));
        row.upper->setObjectName(QString::fromUtf8(kRows[i].upper));
        for (QComboBox *combo : {row.lower, row.upper}) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setMaxVisibleItems(20);
        }
        row.lower->setGeometry(88, y, 66, 24);
        NewLabel(page, {}, QStringLiteral("到"), QRect(158, y, 18, 24));
        row.upper->setGeometry(178, y, 66, 24);
        row.values = NewField(page, kRows[i].values, {}, QRect(252, y, 118, 24));
        row.values->setPlaceholderText(QStringLiteral("或：2-3,5"));
        row.values->setToolTip(QStringLiteral("不空时代替左边的范围：一个或几个范围，用逗号分开，例如 98-110,120-126"));
    }
}

void Tfrmtotalfilt::buildMorePage(QWidget *page)
{
    const QString tip = QStringLiteral("一个或几个范围，用逗号分开，例如 2-3 或 0-1,3");
    for (int i = 0; i < 10; ++i) {
        SetRow &row = m_more[static_cast<std::size_t>(i)];
        QRect checkPlace;
        QRect editPlace;
        if (i == 1) {
            // 近[P]期重码 takes a whole line at the foot of the page.
            checkPlace = QRect(8, 6 + 5 * 29, 40, 24);
            editPlace = QRect(160, 6 + 5 * 29, 82, 24);
        } else {
            const int slot = i == 0 ? 0 : i - 1;
            const int column = slot / 5;
            const int y = 6 + (slot % 5) * 29;
            checkPlace = QRect(8 + column * 186, y, 92, 24);
            editPlace = QRect(100 + column * 186, y, 82, 24);
        }
        row.check = NewCheckBox(page, kMoreRows[i].check, QString::fromUtf8(kMoreRows[i].caption), false, checkPlace);
        row.values = NewField(page, kMoreRows[i].values, {}, editPlace);
        row.values->setToolTip(tip);
    }
    m_edtqishu = new QSpinBox(page);
    m_edtqishu->setObjectName(QStringLiteral("edtqishu"));
    m_edtqishu->setRange(1, kMaxRepeatPeriods);
    m_edtqishu->setValue(2);
    m_edtqishu->setGeometry(50, 6 + 5 * 29, 52, 24);
    m_edtqishu->setToolTip(QStringLiteral("最近几期（1到%1）").arg(kMaxRepeatPeriods));
    NewLabel(page, {}, QStringLiteral("期重码"), QRect(106, 6 + 5 * 29, 52, 24));
    NewLabel(page, {}, QStringLiteral("重码：与最近一期相同；近P期重码：在最近P期任一期出现过"),
        QRect(8, 6 + 6 * 29, 364, 24))
        ->setStyleSheet(QStringLiteral("color: gray"));
}

void Tfrmtotalfilt::buildZonePage(QWidget *page)
{
    m_chkfenqu = NewCheckBox(page, "chkfenqu", QStringLiteral("分区"), false, QRect(8, 6, 56, 24));
    m_comfenqu = new QComboBox(page);
    m_comfenqu->setObjectName(QStringLiteral("comfenqu"));
    for (int z = kMinFilterZones; z <= std::min(kMaxFilterZones, m_n); ++z)
        m_comfenqu->addItem(QString::number(z), z);
    m_comfenqu->setCurrentIndex(std::min(1, m_comfenqu->count() - 1));
    m_comfenqu->setGeometry(66, 6, 52, 24);
    NewLabel(page, {}, QStringLiteral("区，各区个数"), QRect(122, 6, 90, 24));
    m_edtfenqu = NewField(page, "edtfenqu", {}, QRect(214, 6, 156, 24));
    m_edtfenqu->setPlaceholderText(QStringLiteral("如 2:2:3 或 1-3::2"));
    m_edtfenqu->setToolTip(QStringLiteral("每区一个数值或范围，用冒号分开，空着的区不限；例如 2:2:3、1-2,4:2:"));
    // Which numbers each zone holds, as the zone count changes.
    QLabel *zoneHint = NewLabel(page, "lblfenqu", {}, QRect(8, 32, 364, 22));
    zoneHint->setStyleSheet(QStringLiteral("color: gray"));
    const auto showZones = [this, zoneHint] {
        const int zones = m_comfenqu->currentData().toInt();
        if (zones < kMinFilterZones)
            return;
        const int width = ZoneWidth(m_n, zones);
        QStringList parts;
        for (int z = 0; z < zones && z * width < m_n; ++z)
            parts << Pad2(z * width + 1) + QLatin1Char('-') + Pad2(std::min(m_n, (z + 1) * width));
        // Many zones do not fit on the line: it ends with "…", the tip holds them all.
        const QString text = QStringLiteral("每区%1个号码：").arg(width) + parts.join(QLatin1Char(' '));
        zoneHint->setText(zoneHint->fontMetrics().elidedText(text, Qt::ElideRight, zoneHint->width()));
        zoneHint->setToolTip(text);
    };
    connect(m_comfenqu, &QComboBox::currentIndexChanged, this, showZones);
    showZones();
    for (int g = 0; g < kGroupRows; ++g) {
        const int y = 60 + g * 30;
        GroupRow &row = m_groups[static_cast<std::size_t>(g)];
        row.check = NewCheckBox(page, QStringLiteral("chkdanmazu%1").arg(g + 1), QStringLiteral("胆码组%1").arg(g + 1),
            false, QRect(8, y, 82, 24));
        row.numbers = NewField(page, QStringLiteral("edtdanmazu%1").arg(g + 1), {}, QRect(92, y, 178, 24));
        row.numbers->setToolTip(QStringLiteral("胆码号码，用空格分开，例如：3 15 27"));
        NewLabel(page, {}, QStringLiteral("中"), QRect(276, y, 18, 24));
        row.hits
            = NewField(page, QStringLiteral("edtzuzhong%1").arg(g + 1), QStringLiteral("1"), QRect(296, y, 74, 24));
        row.hits->setToolTip(QStringLiteral("这组胆码中几个，例如 1-2 或 0,2"));
    }
    NewLabel(
        page, {}, QStringLiteral("每组胆码是一个条件；“中”可写成 1-2 或 0,2"), QRect(8, 60 + kGroupRows * 30, 364, 22))
        ->setStyleSheet(QStringLiteral("color: gray"));
}

void Tfrmtotalfilt::buildControls()
{
    m_tabtiaojian = new QTabWidget(this);
    m_tabtiaojian->setObjectName(QStringLiteral("tabtiaojian"));
    m_tabtiaojian->setGeometry(8, 4, 385, 246);
    const auto addPage = [this](const char *name, const QString &caption) {
        auto *page = new QWidget;
        page->setObjectName(QString::fromUtf8(name));
        m_tabtiaojian->addTab(page, caption);
        return page;
    };
    buildClassicPage(addPage("GroupBox1", QStringLiteral("常规过滤")));
    buildMorePage(addPage("pagegengduo", QStringLiteral("更多条件")));
    buildZonePage(addPage("pagefenqu", QStringLiteral("分区与胆码组")));

    const int bankerY = 256;
    m_chkdanma = NewCheckBox(this, "chkdanma", QStringLiteral("胆码"), false, QRect(10, bankerY, 60, 24));
    m_edtdanma = NewField(this, "edtdanma", {}, QRect(72, bankerY, 150, 24));
    m_edtdanma->setToolTip(QStringLiteral("胆码号码，用空格分开，例如：3 15 27"));
    NewLabel(this, {}, QStringLiteral("预计中"), QRect(228, bankerY, 54, 24));
    m_edtnum1 = NewField(this, "edtnum1", QStringLiteral("1"), QRect(284, bankerY, 34, 24));
    NewLabel(this, {}, QStringLiteral("到"), QRect(322, bankerY, 20, 24));
    m_edtnum2 = NewField(this, "edtnum2", QStringLiteral("1"), QRect(342, bankerY, 34, 24));
    NewLabel(this, {}, QStringLiteral("个"), QRect(380, bankerY, 16, 24));

    const int chooserY = 288;
    m_chkhongqiu = NewCheckBox(this, "chkhongqiu", QStringLiteral("选择球号："), false, QRect(10, chooserY, 96, 24));
    NewLabel(this, {}, QStringLiteral("中"), QRect(108, chooserY, 18, 24));
    const QString m = QString::number(m_m);
    m_edtzhong1 = NewField(this, "edtzhong1", m, QRect(126, chooserY, 32, 24));
    NewLabel(this, {}, QStringLiteral("到"), QRect(162, chooserY, 20, 24));
    m_edtzhong2 = NewField(this, "edtzhong2", m, QRect(182, chooserY, 32, 24));
    m_btnsuiji1 = NewButton(this, "btnsuiji1", QStringLiteral("随机选择球号"), QRect(222, chooserY - 1, 112, 26));
    m_btnsuiji1->setEnabled(false);
    m_edtsuiji1 = NewField(this, "edtsuiji1", m, QRect(338, chooserY, 34, 24));
    NewLabel(this, {}, QStringLiteral("个"), QRect(376, chooserY, 16, 24));
    connect(m_chkhongqiu, &QCheckBox::toggled, m_btnsuiji1, &QPushButton::setEnabled);
    connect(m_btnsuiji1, &QPushButton::clicked, this, &Tfrmtotalfilt::btnsuiji1Click);

    m_GroupBox2 = new QGroupBox(this);
    m_GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    m_GroupBox2->setGeometry(8, 320, 345, 182);

    m_lblcode = new QLabel(filter_text::ResultCount(0).left(5), this);
    m_lblcode->setObjectName(QStringLiteral("lblcode"));
    m_lblcode->setWordWrap(true);
    m_lblcode->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblcode->setGeometry(406, 6, 361, 26);
    m_memo = new TextLinesModel(this);
    m_memcode = new QListView(this);
    m_memcode->setObjectName(QStringLiteral("memcode"));
    m_memcode->setGeometry(406, 36, 361, 249);
    m_memcode->setModel(m_memo);
    m_memcode->setUniformItemSizes(true);
    m_memcode->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memcode->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_memcode->setFont(fixed);
    m_pb = new QProgressBar(this);
    m_pb->setObjectName(QStringLiteral("pb"));
    m_pb->setGeometry(406, 294, 361, 18);
    m_pb->setRange(0, 1000);
    m_pb->setTextVisible(false);
    m_pb->hide();

    const int x0 = 406;
    const int w = 113;
    m_btnsave = NewButton(this, "btnsave", QStringLiteral("保存"), QRect(x0, 330, w, 32));
    m_btnclear = NewButton(this, "btnclear", QStringLiteral("清空"), QRect(x0 + w + 11, 330, w, 32));
    m_btnfilt = NewButton(this, "btnfilt", QStringLiteral("过滤"), QRect(x0 + 2 * (w + 11), 330, w, 32));
    m_btnprint = NewButton(this, "btnprint", QStringLiteral("打印"), QRect(x0, 374, w, 32));
    m_btnload = NewButton(this, "btnload", QStringLiteral("载入"), QRect(x0 + w + 11, 374, w, 32));
    m_btnclose = NewButton(this, "btnclose", QStringLiteral("关闭"), QRect(x0 + 2 * (w + 11), 374, w, 32));
    m_btnlishi = NewButton(this, "btnlishi", QStringLiteral("历史验证"), QRect(x0, 418, w, 32));
    m_btnlishi->setToolTip(QStringLiteral("按当前条件判断历史开奖号码与全部投注号码各有多少通过"));
    NewLabel(this, {}, QStringLiteral("容错"), QRect(x0 + w + 11, 418, 36, 32));
    m_edtrongcuo = new QSpinBox(this);
    m_edtrongcuo->setObjectName(QStringLiteral("edtrongcuo"));
    m_edtrongcuo->setRange(0, 30);
    m_edtrongcuo->setGeometry(x0 + w + 49, 422, 56, 24);
    m_edtrongcuo->setToolTip(QStringLiteral("一注号码最多可以有几个所选条件不满足"));
    NewLabel(this, {}, QStringLiteral("个条件"), QRect(x0 + w + 109, 418, 60, 32));
    m_btnsavetiaojian = NewButton(this, "btnsavetiaojian", QStringLiteral("保存条件"), QRect(x0, 458, w, 30));
    m_btnsavetiaojian->setToolTip(QStringLiteral("把当前的过滤条件保存为文件，以后可以再载入"));
    m_btnloadtiaojian = NewButton(this, "btnloadtiaojian", QStringLiteral("载入条件"), QRect(x0 + w + 11, 458, w, 30));
    m_btnloadtiaojian->setToolTip(QStringLiteral("从文件载入保存过的过滤条件"));
    m_btnfenbu = NewButton(this, "btnfenbu", QStringLiteral("结果分布"), QRect(x0 + 2 * (w + 11), 458, w, 30));
    m_btnfenbu->setToolTip(QStringLiteral("过滤结果中和值、奇数、大数等指标的各个数值各有多少注"));
    m_btnsuiji = NewButton(this, "btnsuiji", QStringLiteral("随机选注"), QRect(x0, 494, w, 30));
    m_btnsuiji->setToolTip(QStringLiteral("从过滤结果中随机选出几注，显示在结果列表中（保存时保存这几注）"));
    m_edtsuiji = NewField(this, "edtsuiji", QStringLiteral("10"), QRect(x0 + w + 11, 497, 70, 24));
    NewLabel(this, {}, QStringLiteral("注"), QRect(x0 + w + 85, 494, 24, 30));
    connect(m_btnsavetiaojian, &QPushButton::clicked, this, &Tfrmtotalfilt::btnsavetiaojianClick);
    connect(m_btnloadtiaojian, &QPushButton::clicked, this, &Tfrmtotalfilt::btnloadtiaojianClick);
    connect(m_btnfenbu, &QPushButton::clicked, this, &Tfrmtotalfilt::btnfenbuClick);
    connect(m_btnsuiji, &QPushButton::clicked, this, &Tfrmtotalfilt::btnsuijiClick);
    // 过滤 is the default button: Enter starts a run (see keyPressEvent).
    QFont bold = m_btnfilt->font();
    bold.setBold(true);
    m_btnfilt->setFont(bold);
    connect(m_btnsave, &QPushButton::clicked, this, &Tfrmtotalfilt::btnsaveClick);
    connect(m_btnclear, &QPushButton::clicked, this, &Tfrmtotalfilt::btnclearClick);
    connect(m_btnfilt, &QPushButton::clicked, this, &Tfrmtotalfilt::btnfiltClick);
    connect(m_btnload, &QPushButton::clicked, this, &Tfrmtotalfilt::btnloadClick);
    connect(m_btnclose, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_btnlishi, &QPushButton::clicked, this, &Tfrmtotalfilt::btnlishiClick);

    auto *printMenu = new QMenu(m_btnprint);
    printMenu->setObjectName(QStringLiteral("mnuprint"));
    QAction *toPrinter = printMenu->addAction(QStringLiteral("打印结果列表…"));
    toPrinter->setObjectName(QStringLiteral("actprint"));
    QAction *toPdf = printMenu->addAction(QStringLiteral("输出为PDF文件…"));
    toPdf->setObjectName(QStringLiteral("actpdf"));
    connect(toPrinter, &QAction::triggered, this, &Tfrmtotalfilt::btnprintClick);
    connect(toPdf, &QAction::triggered, this, &Tfrmtotalfilt::printToPdf);
    m_btnprint->setMenu(printMenu);
}

void Tfrmtotalfilt::buildBackBoxes()
{
    if (m_backM <= 0)
        return;
    // Up to eight boxes a row below the number grid; the window grows by the rows.
    constexpr int kPerRow = 8;
    const int rows = (m_backN + kPerRow - 1) / kPerRow;
    m_grphouqu = new QGroupBox(QStringLiteral("后区号码（每注%1个）").arg(m_backM), this);
    m_grphouqu->setObjectName(QStringLiteral("grphouqu"));
    m_grphouqu->setToolTip(QStringLiteral("过滤结果的每注前区号码与所选后区号码中每%1个的组合各成一注").arg(m_backM));
    m_grphouqu->setGeometry(8, 506, 385, 26 + rows * 28);
    for (int v = 1; v <= m_backN; ++v) {
        const int slot = v - 1;
        QCheckBox *box = NewCheckBox(m_grphouqu, QStringLiteral("chkhouqu%1").arg(Pad2(v)), Pad2(v), true,
            QRect(10 + (slot % kPerRow) * 46, 22 + (slot / kPerRow) * 28, 44, 24));
        m_backBoxes.push_back(box);
    }
    resize(width(), m_grphouqu->geometry().bottom() + 8);
}

BackChoice Tfrmtotalfilt::backChoice() const
{
    BackChoice choice;
    choice.l = m_backN;
    choice.k = m_backM;
    for (int v = 1; v <= static_cast<int>(m_backBoxes.size()); ++v) {
        if (m_backBoxes[static_cast<std::size_t>(v - 1)]->isChecked())
            choice.numbers.push_back(v);
    }
    return choice;
}

void Tfrmtotalfilt::setBackChoice(const std::vector<int> &numbers)
{
    for (int v = 1; v <= static_cast<int>(m_backBoxes.size()); ++v)
        m_backBoxes[static_cast<std::size_t>(v - 1)]->setChecked(
            std::find(numbers.begin(), numbers.end(), v) != numbers.end());
}

void Tfrmtotalfilt::buildBallGrid()
{
    const int w = m_GroupBox2->width();
    const int h = m_GroupBox2->height();
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 10; ++c) {
            const int number = 10 * r + c + 1;
            auto *ball = new QPushButton(m_GroupBox2);
            ball->setObjectName(QStringLiteral("ball%1").arg(number, 2, 10, QLatin1Char('0')));
            ball->setGeometry((w - 15) * c / 10 + 5, r * (h - 15) / 5 + 15, (w - 15) / 10 - 5, (h - 15) / 5 - 5);
            ball->setAutoDefault(false);
            ball->setFocusPolicy(Qt::NoFocus);
            if (number <= m_n) {
                ball->setText(QString::asprintf("%.2d", number));
                connect(ball, &QPushButton::clicked, this, [this, number] { ballClick(number); });
            } else {
                ball->setEnabled(false);
            }
            m_balls[static_cast<std::size_t>(number)] = ball;
            setBallChosen(number, false);
        }
    }
}

void Tfrmtotalfilt::fillLists()
{
    auto fill = [](const BoundRow &row, int from, int to) {
        QStringList entries;
        for (int v = from; v <= to; ++v)
            entries << QString::number(v);
        for (QComboBox *combo : {row.lower, row.upper}) {
            combo->addItems(entries);
            combo->setCurrentIndex(-1);
        }
    };
    auto range = [&](Indicator indicator) {
        const TheoreticalValues t = TheoreticalValuesOf(indicator, m_n, m_m, 0, 0);
        return std::pair<int, int>(static_cast<int>(t.minimum), static_cast<int>(t.maximum));
    };
    fill(m_rows[0], 0, m_m);
    fill(m_rows[1], 0, m_m);
    const Indicator ranged[]
        = {Indicator::Sum, Indicator::Span, Indicator::Dispersion, Indicator::Deviation, Indicator::Ac};
    for (int i = 0; i < 5; ++i) {
        const auto [from, to] = range(ranged[i]);
        fill(m_rows[static_cast<std::size_t>(i) + 2], from, to);
    }
}

void Tfrmtotalfilt::applyTrendMode(bool variant)
{
    if (variant)
        m_chkhongqiu->setChecked(false);
    m_chkhongqiu->setEnabled(!variant);
    m_GroupBox2->setEnabled(!variant);
}

int Tfrmtotalfilt::listPosition(const QComboBox *combo)
{
    const QString text = combo->currentText().trimmed();
    return text.isEmpty() ? -1 : combo->findText(text, Qt::MatchExactly);
}

QString Tfrmtotalfilt::checkControls() const
{
    bool any = m_chkhongqiu->isChecked() || m_chkdanma->isChecked() || m_chkfenqu->isChecked();
    for (const BoundRow &row : m_rows)
        any = any || row.check->isChecked();
    for (const SetRow &row : m_more)
        any = any || row.check->isChecked();
    for (const GroupRow &row : m_groups)
        any = any || row.check->isChecked();
    if (!any)
        return filter_text::NoCondition();
    // A row with a value set reads the set, not its lists.
    const auto usesLists = [](const BoundRow &row) { return row.values->text().trimmed().isEmpty(); };
    for (const BoundRow &row : m_rows) {
        if (row.check->isChecked() && usesLists(row)
            && (row.lower->currentText().trimmed().isEmpty() || row.upper->currentText().trimmed().isEmpty()))
            return filter_text::EmptyList();
    }
    if (m_chkdanma->isChecked()
        && (m_edtdanma->text().trimmed().isEmpty() || m_edtnum1->text().trimmed().isEmpty()
            || m_edtnum2->text().trimmed().isEmpty()))
        return filter_text::BankerMissing();
    // The list order is checked on every row, whether or not its box is checked. A typed text
    // that is no entry of its list is read (and refused, or compared as a number) with the
    // conditions instead: its missing position says nothing about the order.
    const auto typedOutsideList
        = [](const QComboBox *combo) { return !combo->currentText().trimmed().isEmpty() && listPosition(combo) < 0; };
    for (const BoundRow &row : m_rows) {
        if (!usesLists(row) || typedOutsideList(row.lower) || typedOutsideList(row.upper))
            continue;
        if (listPosition(row.upper) < listPosition(row.lower))
            return filter_text::ListOrder();
    }
    if (ToInteger(m_edtnum2->text()) < ToInteger(m_edtnum1->text()))
        return filter_text::BankerOrder();
    if (m_chkhongqiu->isChecked()) {
        int chosen = 0;
        for (int v = 1; v <= std::min(m_n, 50); ++v)
            chosen += m_chosen[static_cast<std::size_t>(v)] ? 1 : 0;
        if (chosen == 0)
            return filter_text::NoBall();
        if (chosen < m_m)
            return filter_text::TooFewBalls(m_m);
    }
    return {};
}

TotalFilterConditions Tfrmtotalfilt::readConditions() const
{
    // Every text is converted before the run starts, so a bad text changes nothing.
    // Every indicator value and hit count is a count or a sum of numbers: a negative one is
    // refused (a bound beyond the lists simply never holds).
    TotalFilterConditions c;
    const auto count = [](const QString &text) { return ToIntegerAtLeast(text, 0); };
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const BoundRow &row = m_rows[i];
        if (!row.check->isChecked())
            continue;
        const QString values = row.values->text();
        c.*kRowMembers[i] = values.trimmed().isEmpty()
            ? FilterBounds {count(row.lower->currentText()), count(row.upper->currentText())}
            : ReadValueSet(values, row.check->text().remove(QChar(u'：')));
    }
    if (m_chkhongqiu->isChecked()) {
        c.chooser = FilterBounds {count(m_edtzhong1->text()), count(m_edtzhong2->text())};
        c.balls = m_chosen;
    }
    if (m_chkdanma->isChecked()) {
        c.bankers = ParseBankerTokens(m_edtdanma->text());
        for (int b : c.bankers) {
            if (b < 1)
                throw InputError(QStringLiteral("胆码号码必须是正整数！"));
        }
        c.banker = FilterBounds {count(m_edtnum1->text()), count(m_edtnum2->text())};
    }
    readMoreConditions(c);
    return c;
}

void Tfrmtotalfilt::readMoreConditions(TotalFilterConditions &c) const
{
    for (std::size_t i = 0; i < m_more.size(); ++i) {
        const SetRow &row = m_more[i];
        if (row.check->isChecked()) {
            const QString name = i == 1 ? QStringLiteral("近%1期重码").arg(m_edtqishu->value()) : row.check->text();
            c.*kMoreRows[i].member = ReadValueSet(row.values->text(), name);
        }
    }
    c.repeatPeriods = m_edtqishu->value();
    if (m_chkfenqu->isChecked()) {
        const int zones = m_comfenqu->currentData().toInt();
        const QStringList parts = m_edtfenqu->text().split(QLatin1Char(':'));
        if (m_edtfenqu->text().trimmed().isEmpty() || parts.size() != zones)
            throw InputError(
                QStringLiteral("分成%1区时，请输入%1个区的个数，用冒号分开，例如 %2（空着的区不限）！")
                    .arg(zones)
                    .arg(QStringList(static_cast<qsizetype>(zones), QStringLiteral("1")).join(QLatin1Char(':'))));
        c.zoneCount = zones;
        c.zones.assign(static_cast<std::size_t>(zones), std::nullopt);
        int exactTotal = 0;
        bool allExact = true;
        bool anyZone = false;
        for (int z = 0; z < zones; ++z) {
            const QString part = parts[z].trimmed();
            if (part.isEmpty()) {
                allExact = false;
                continue;
            }
            const FilterBounds bounds = ReadValueSet(part, QStringLiteral("第%1区个数").arg(z + 1));
            allExact = allExact && bounds.lower == bounds.upper && bounds.more.empty();
            exactTotal += bounds.lower;
            anyZone = true;
            c.zones[static_cast<std::size_t>(z)] = bounds;
        }
        if (!anyZone)
            throw InputError(QStringLiteral("请至少输入一个区的个数！"));
        // Exact counts of every zone that do not add up to M would reject every ticket.
        if (allExact && exactTotal != m_m)
            throw InputError(QStringLiteral("各区个数之和是%1，应等于%2！").arg(exactTotal).arg(m_m));
    }
    for (int g = 0; g < kGroupRows; ++g) {
        const GroupRow &row = m_groups[static_cast<std::size_t>(g)];
        if (!row.check->isChecked())
            continue;
        if (row.numbers->text().trimmed().isEmpty())
            throw InputError(QStringLiteral("请输入胆码组%1的胆码！").arg(g + 1));
        BankerGroup group;
        group.numbers = ParseBankerTokens(row.numbers->text());
        for (int b : group.numbers) {
            if (b < 1)
                throw InputError(QStringLiteral("胆码号码必须是正整数！"));
        }
        group.hits = ReadValueSet(row.hits->text(), QStringLiteral("胆码组%1的中奖个数").arg(g + 1));
        c.bankerGroups.push_back(std::move(group));
    }
    c.tolerance = m_edtrongcuo->value();
}

void Tfrmtotalfilt::uncheckConditions()
{
    for (const BoundRow &row : m_rows)
        row.check->setChecked(false);
    for (const SetRow &row : m_more)
        row.check->setChecked(false);
    for (const GroupRow &row : m_groups)
        row.check->setChecked(false);
    m_chkfenqu->setChecked(false);
    m_edtrongcuo->setValue(0);
}

void Tfrmtotalfilt::setResultText(const QString &text)
{
    m_lblcode->setText(text);
    m_lblcode->setToolTip(text);
    // The counts by failures can take several lines: the list gives way to them.
    const int height = std::max(26, m_lblcode->heightForWidth(m_lblcode->width()));
    m_lblcode->resize(m_lblcode->width(), height);
    const int top = m_lblcode->y() + height + 4;
    m_memcode->setGeometry(406, top, 361, 285 - top);
}

bool Tfrmtotalfilt::refuseUnsupported()
{
    const QString unsupported = TotalFilterUnsupportedReason(*m_context.lottery);
    if (unsupported.isEmpty())
        return false;
    ShowError(this, unsupported);
    return true;
}

bool Tfrmtotalfilt::refuseEmptyPrint()
{
    if (m_memo->lineCount() > 0)
        return false;
    dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("没有可打印的投注号码！"));
    return true;
}

std::optional<TotalFilterConditions> Tfrmtotalfilt::acceptedConditions()
{
    if (refuseUnsupported())
        return std::nullopt;
    const QString problem = checkControls();
    if (!problem.isEmpty()) {
        ShowError(this, problem);
        return std::nullopt;
    }
    const TotalFilterConditions conditions = readConditions();
    QString invalid = CheckConditions(conditions, m_n, m_m);
    if (invalid.isEmpty())
        invalid = CheckBackChoice(backChoice());
    if (!invalid.isEmpty()) {
        ShowError(this, invalid);
        return std::nullopt;
    }
    return conditions;
}

void Tfrmtotalfilt::btnfiltClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        if (const std::optional<TotalFilterConditions> conditions = acceptedConditions())
            startRun(*conditions);
    });
}

void Tfrmtotalfilt::startRun(const TotalFilterConditions &conditions)
{
    // A run stopped with the window is thrown away with its copy of the table.
    std::optional<BackChoice> back;
    if (m_backM > 0)
        back = backChoice();
    auto job = std::make_shared<TotalFilter::Job>(
        m_filter.prepare(conditions, m_context.folder.file(QStringLiteral("temp.txt")), back));
    m_run.start(
        [job](const Progress &progress) { TotalFilter::execute(*job, progress); }, [this, job] { runEnded(*job); });
}

void Tfrmtotalfilt::runEnded(TotalFilter::Job &job)
{
    m_filter.finish(job);
    if (!job.cancelled) {
        if (job.survivors == 0) {
            // The list is empty now, and so is the count beside it.
            m_memo->clear();
            setResultText(filter_text::ResultCount(0));
            ShowError(this, filter_text::NoSurvivor());
        } else {
            m_memo->setFile(job.resultListPath);
            m_memoHasSerials = true;
            QString text = filter_text::ResultCount(job.survivors);
            m_listCut = false;
            if (job.back.twoZone()) {
                // Front sets with every back set, or loaded rows with their own back numbers.
                const TwoZoneRows rows = m_filter.twoZoneRows();
                text = rows.backSets.empty() ? filter_text::ResultCount(job.ticketCount)
                                             : filter_text::TwoZoneResultCount(job.survivors, rows.setCount());
                m_listCut = job.listed < job.ticketCount;
                if (m_listCut)
                    text += QStringLiteral("，") + filter_text::ListCut(job.listed);
            }
            if (job.conditions.tolerance > 0)
                text += QStringLiteral("（%1）").arg(filter_text::ToleranceCounts(job.byFailures));
            setResultText(text);
            uncheckConditions();
            m_chkdanma->setChecked(false);
        }
    }
}

void Tfrmtotalfilt::btnlishiClick()
{
    if (m_check.isRunning()) {
        m_check.stop();
        return;
    }
    if (isRunning())
        return;
    Guarded(this, [&] {
        const std::optional<TotalFilterConditions> accepted = acceptedConditions();
        if (!accepted)
            return;
        const TotalFilterConditions conditions = *accepted;
        // The worker reads copies: the draws, the latest draw and the variant values.
        auto inputs = std::make_shared<const HistoryCheckInputs>(HistoryCheckInputs::fromLottery(*m_context.lottery));
        m_check.start(
            [inputs, conditions](const Progress &progress) { return RunHistoryCheck(*inputs, conditions, progress); },
            [this, conditions](const std::optional<HistoryCheckResult> &result) {
                if (result)
                    dialogs::Information(this, QStringLiteral("历史验证"), HistoryCheckMessage(*result, conditions));
            });
    });
}

void Tfrmtotalfilt::btnsaveClick()
{
    // A second click stops a save that is going (nothing is left behind).
    if (m_save.isRunning()) {
        m_save.stop();
        return;
    }
    if (isRunning())
        return;
    Guarded(this, [&] {
        const QString path = dialogs::SaveFile(this, QStringLiteral("保存投注号码"), DesktopFolder(),
            ProposedSaveName(*m_context.lottery), QString::fromUtf8(kTicketFilter), QStringLiteral("txt"));
        if (path.isEmpty())
            return;
        if (m_listCut) {
            // Every ticket of the result, written from the table on a worker (the list holds
            // only a part of them).
            auto tickets = std::make_shared<const TicketSet>(m_context.lottery->ticketSet());
            const TwoZoneRows rows = m_filter.twoZoneRows();
            m_save.start(
                [tickets, rows, path](
                    const Progress &progress) { return WriteTwoZoneTicketFile(path, *tickets, rows, progress); },
                [this](qint64 written) {
                    if (written > 0)
                        dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("成功保存！"));
                });
            return;
        }
        {
            const BusyCursor busy;
            WriteTicketFileFromMemo(path, m_memo->device(), m_memoHasSerials);
        }
        dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("成功保存！"));
    });
}

void Tfrmtotalfilt::btnloadClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        if (refuseUnsupported())
            return;
        const QString path = dialogs::OpenFile(
            this, QStringLiteral("载入投注号码"), DesktopFolder(), QString::fromUtf8(kTicketFilter));
        if (path.isEmpty())
            return;
        const BusyCursor busy;
        TotalFilter::LoadResult loaded = m_filter.load(path);
        // The chooser stays off while the variant trend is in force.
        if (m_chkhongqiu->isEnabled())
            m_chkhongqiu->setChecked(true);
        resetBalls();
        for (int v = 1; v <= 50; ++v) {
            if (loaded.balls[static_cast<std::size_t>(v)])
                setBallChosen(v, true);
        }
        m_memo->setContent(std::move(loaded.content));
        m_memoHasSerials = false;
        m_listCut = false;
        // The count is that of the tickets the next run starts from: a repeated line or the
        // lines after a blank one are shown but not kept.
        setResultText(filter_text::ResultCount(loaded.tickets));
        uncheckConditions();
        clearIndicatorLists();
        m_edtsuiji1->setText(QString::number(m_m));
    });
}

void Tfrmtotalfilt::btnclearClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        resetConditionControls();
        m_memo->clear();
        m_listCut = false;
        setResultText(filter_text::ResultCount(0).left(5));
        m_filter.reset();
        // Back to the standard trend.
        if (m_context.shell) {
            m_context.shell->switchToStandardTrend();
        } else {
            m_context.lottery->variantMode = false;
            m_context.lottery->BuildStandardTrend();
        }
        applyTrendMode(false);
    });
}

void Tfrmtotalfilt::resetConditionControls()
{
    uncheckConditions();
    m_chkdanma->setChecked(false);
    clearIndicatorLists();
    for (const SetRow &row : m_more)
        row.values->clear();
    m_edtqishu->setValue(2);
    m_edtfenqu->clear();
    for (const GroupRow &row : m_groups) {
        row.numbers->clear();
        row.hits->setText(QStringLiteral("1"));
    }
    m_edtdanma->clear();
    m_edtnum1->setText(QStringLiteral("1"));
    m_edtnum2->setText(QStringLiteral("1"));
    resetBalls();
    m_chkhongqiu->setChecked(false);
    const QString m = QString::number(m_m);
    m_edtsuiji1->setText(m);
    m_edtzhong1->setText(m);
    m_edtzhong2->setText(m);
}

void Tfrmtotalfilt::setConditions(const TotalFilterConditions &c)
{
    // What the controls cannot hold is refused before anything changes.
    if (c.bankerGroups.size() > static_cast<std::size_t>(kGroupRows))
        throw InputError(
            QStringLiteral("这组条件有%1个胆码组，本窗口最多%2个！").arg(c.bankerGroups.size()).arg(kGroupRows));
    if (c.chooser && !m_chkhongqiu->isEnabled())
        throw InputError(QStringLiteral("变幻走势下不能使用选择球号条件，请先切换到标准走势！"));
    if (c.chooser && !c.chooser->more.empty())
        throw InputError(QStringLiteral("选择球号的中奖个数只能是一个范围！"));
    if (c.banker && !c.banker->more.empty())
        throw InputError(QStringLiteral("胆码的中奖个数只能是一个范围！"));
    if (c.tolerance < 0 || c.tolerance > m_edtrongcuo->maximum())
        throw InputError(QStringLiteral("容错应在0到%1之间！").arg(m_edtrongcuo->maximum()));
    if (c.repeatRecent && (c.repeatPeriods < 1 || c.repeatPeriods > kMaxRepeatPeriods))
        throw InputError(QStringLiteral("近P期重码的期数应在1到%1之间！").arg(kMaxRepeatPeriods));
    const bool anyZone = std::any_of(c.zones.begin(), c.zones.end(), [](const auto &z) { return z.has_value(); });
    const int zoneIndex = anyZone ? m_comfenqu->findData(c.zoneCount) : -1;
    if (anyZone && (zoneIndex < 0 || static_cast<int>(c.zones.size()) > c.zoneCount))
        throw InputError(QStringLiteral("本彩票不能分成%1区！").arg(c.zoneCount));

    resetConditionControls();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const std::optional<FilterBounds> &bounds = c.*kRowMembers[i];
        if (!bounds)
            continue;
        const BoundRow &row = m_rows[i];
        row.check->setChecked(true);
        // A single range the lists offer goes into the lists, anything else into the value set.
        const int from = row.lower->findText(QString::number(bounds->lower), Qt::MatchExactly);
        const int to = row.upper->findText(QString::number(bounds->upper), Qt::MatchExactly);
        if (bounds->more.empty() && from >= 0 && to >= 0) {
            row.lower->setCurrentIndex(from);
            row.upper->setCurrentIndex(to);
        } else {
            row.values->setText(bounds->text());
        }
    }
    if (c.chooser) {
        m_chkhongqiu->setChecked(true);
        m_edtzhong1->setText(QString::number(c.chooser->lower));
        m_edtzhong2->setText(QString::number(c.chooser->upper));
        int chosen = 0;
        for (int v = 1; v <= std::min(m_n, 50); ++v) {
            const bool on = c.balls[static_cast<std::size_t>(v)];
            setBallChosen(v, on);
            chosen += on ? 1 : 0;
        }
        m_edtsuiji1->setText(QString::number(chosen));
    }
    if (c.banker) {
        m_chkdanma->setChecked(true);
        QStringList numbers;
        for (int b : c.bankers)
            numbers << QString::number(b);
        m_edtdanma->setText(numbers.join(QLatin1Char(' ')));
        m_edtnum1->setText(QString::number(c.banker->lower));
        m_edtnum2->setText(QString::number(c.banker->upper));
    }
    for (std::size_t i = 0; i < m_more.size(); ++i) {
        if (const std::optional<FilterBounds> &bounds = c.*kMoreRows[i].member) {
            m_more[i].check->setChecked(true);
            m_more[i].values->setText(bounds->text());
        }
    }
    if (c.repeatPeriods >= 1 && c.repeatPeriods <= kMaxRepeatPeriods)
        m_edtqishu->setValue(c.repeatPeriods);
    if (anyZone) {
        m_chkfenqu->setChecked(true);
        m_comfenqu->setCurrentIndex(zoneIndex);
        QStringList parts;
        for (int z = 0; z < c.zoneCount; ++z) {
            const std::size_t k = static_cast<std::size_t>(z);
            parts << (k < c.zones.size() && c.zones[k] ? c.zones[k]->text() : QString());
        }
        m_edtfenqu->setText(parts.join(QLatin1Char(':')));
    }
    for (std::size_t g = 0; g < c.bankerGroups.size(); ++g) {
        const GroupRow &row = m_groups[g];
        QStringList numbers;
        for (int b : c.bankerGroups[g].numbers)
            numbers << QString::number(b);
        row.check->setChecked(true);
        row.numbers->setText(numbers.join(QLatin1Char(' ')));
        row.hits->setText(c.bankerGroups[g].hits.text());
    }
    m_edtrongcuo->setValue(c.tolerance);
}

void Tfrmtotalfilt::btnsavetiaojianClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        const std::optional<TotalFilterConditions> conditions = acceptedConditions();
        if (!conditions)
            return;
        const QString folder = m_context.folder.auxiliaryFolder();
        QDir().mkpath(folder);
        const QString path = dialogs::SaveFile(this, QStringLiteral("保存过滤条件"), folder,
            ProposedFilterSetName(m_context.lottery->name), QString::fromUtf8(kSetFilter), QStringLiteral("txt"));
        if (path.isEmpty())
            return;
        // A two-zone lottery keeps its back choice when it is not every number.
        std::vector<int> back;
        if (m_backM > 0 && static_cast<int>(backChoice().numbers.size()) < m_backN)
            back = backChoice().numbers;
        WriteFilterSet(path, FilterSet {*conditions, m_context.lottery->variantMode, back});
        dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("过滤条件已保存！"));
    });
}

void Tfrmtotalfilt::btnloadtiaojianClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        if (refuseUnsupported())
            return;
        const QString path = dialogs::OpenFile(
            this, QStringLiteral("载入过滤条件"), m_context.folder.auxiliaryFolder(), QString::fromUtf8(kSetFilter));
        if (path.isEmpty())
            return;
        // A malformed file raises its reader's "第k行：…" before any control changes.
        const FilterSet set = ReadFilterSet(path, m_n, m_m, m_backN, m_backM);
        setConditions(set.conditions);
        if (m_backM > 0) {
            if (set.backNumbers.empty())
                setBackChoice(BackChoice::all(m_backN, m_backM).numbers);
            else
                setBackChoice(set.backNumbers);
        }
        // The conditions hold in either trend: they are loaded, and the player told which
        // numbers they will now read.
        const bool variant = m_context.lottery->variantMode;
        if (set.variant && !variant)
            dialogs::Information(this, QStringLiteral("提示"),
                QStringLiteral("这组条件是在变幻走势下保存的，现在是标准走势：条件已载入，过滤时按号码本身判断。"));
        else if (!set.variant && variant)
            dialogs::Information(this, QStringLiteral("提示"),
                QStringLiteral("这组条件是在标准走势下保存的，现在是变幻走势：条件已载入，过滤时按号码的变幻值判断。"));
    });
}

void Tfrmtotalfilt::btnfenbuClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        if (refuseNoSurvivors())
            return;
        // The worker reads copies: the table of the survivors and the values of the numbers.
        auto tickets = std::make_shared<const TicketSet>(m_context.lottery->ticketSet());
        auto inputs = std::make_shared<const FilterInputs>(FilterInputs::fromLottery(*m_context.lottery));
        m_look.start(
            [tickets, inputs](const Progress &progress) { return LookAtSurvivors(*tickets, *inputs, progress); },
            [this](const std::optional<SurvivorLook> &look) {
                if (!look)
                    return;
                const QString text
                    = (m_backM > 0 ? QStringLiteral("前区过滤结果：%1注\n\n") : QStringLiteral("过滤结果：%1注\n\n"))
                          .arg(look->survivors)
                    + SurvivorLookLines(*look).join(QLatin1Char('\n'));
                dialogs::Information(this, QStringLiteral("结果分布"), text);
            });
    });
}

bool Tfrmtotalfilt::refuseNoSurvivors()
{
    const TotalFilter::State state = m_filter.state();
    if (state == TotalFilter::State::Narrowed || state == TotalFilter::State::Loaded)
        return false;
    ShowError(this,
        state == TotalFilter::State::Exhausted ? filter_text::NoSurvivor()
                                               : QStringLiteral("还没有过滤结果，请先过滤或载入投注号码！"));
    return true;
}

void Tfrmtotalfilt::btnsuijiClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        const qint64 count = ToInteger(m_edtsuiji->text());
        if (refuseNoSurvivors())
            return;
        const BusyCursor busy;
        const TicketSet &tickets = m_context.lottery->ticketSet();
        RandomSource random = m_context.newRandom();
        if (m_filter.back().twoZone()) {
            // Two-zone tickets drawn from every front set with every back set.
            const TwoZoneRows twoZone = m_filter.twoZoneRows();
            const TicketSet picked = PickTwoZoneTickets(tickets, twoZone, count, random);
            QByteArray content;
            std::vector<int> numbers(static_cast<std::size_t>(picked.width()));
            for (qint64 row = 0; row < picked.rowCount(); ++row) {
                picked.numbers(row, numbers.data());
                content += TwoZoneResultListLine(row + 1, numbers.data(), m_m, numbers.data() + m_m, twoZone.k);
            }
            m_memo->setContent(std::move(content));
            m_memoHasSerials = true;
            m_listCut = false;
            setResultText(QStringLiteral("随机选出%1注（过滤结果%2注）")
                              .arg(picked.rowCount())
                              .arg(tickets.aliveCount() * twoZone.setCount()));
            return;
        }
        // Refuses a count below 1 or beyond the survivors with the engine's message.
        const std::vector<qint64> rows = PickSurvivors(tickets, count, random);
        QByteArray content;
        std::vector<int> numbers(static_cast<std::size_t>(m_m));
        qint64 serial = 0;
        for (qint64 row : rows) {
            tickets.numbers(row, numbers.data());
            content += ResultListLine(++serial, numbers.data(), m_m);
        }
        m_memo->setContent(std::move(content));
        m_memoHasSerials = true;
        m_listCut = false;
        setResultText(QStringLiteral("随机选出%1注（过滤结果%2注）").arg(rows.size()).arg(tickets.aliveCount()));
    });
}

void Tfrmtotalfilt::btnsuiji1Click()
{
    Guarded(this, [&] {
        const int k = ToInteger(m_edtsuiji1->text());
        const int available = std::min(m_n, 50);
        if (k < 0 || k > available) {
            ShowError(this, QStringLiteral("随机选择的球号个数应在0到%1之间！").arg(available));
            return;
        }
        resetBalls();
        RandomSource random = m_context.newRandom();
        for (int drawn = 0; drawn < k;) {
            const int v = random.between(1, available);
            if (m_chosen[static_cast<std::size_t>(v)])
                continue;
            setBallChosen(v, true);
            ++drawn;
        }
    });
}

void Tfrmtotalfilt::ballClick(int n)
{
    if (n < 1 || n > std::min(m_n, 50))
        return;
    if (!m_chkhongqiu->isChecked()) {
        ShowError(this, QStringLiteral("请先在《选择球号》框上打勾！"));
        return;
    }
    setBallChosen(n, !m_chosen[static_cast<std::size_t>(n)]);
    int chosen = 0;
    for (int v = 1; v <= std::min(m_n, 50); ++v)
        chosen += m_chosen[static_cast<std::size_t>(v)] ? 1 : 0;
    m_edtsuiji1->setText(QString::number(chosen));
}

void Tfrmtotalfilt::setBallChosen(int n, bool chosen)
{
    m_chosen[static_cast<std::size_t>(n)] = chosen;
    QPushButton *ball = m_balls[static_cast<std::size_t>(n)];
    if (!ball)
        return;
    ball->setStyleSheet(chosen ? QStringLiteral("QPushButton { background-color: %1; color: white; border: 1px solid "
                                                "#a02020; border-radius: 3px; font-weight: bold; }")
                                     .arg(kChosen.name())
                               : QString());
}

void Tfrmtotalfilt::resetBalls()
{
    for (int v = 1; v <= 50; ++v)
        setBallChosen(v, false);
}

void Tfrmtotalfilt::clearIndicatorLists()
{
    for (const BoundRow &row : m_rows) {
        row.lower->setCurrentIndex(-1);
        row.upper->setCurrentIndex(-1);
        row.lower->clearEditText();
        row.upper->clearEditText();
        row.values->clear();
    }
}

void Tfrmtotalfilt::printLines(QPrinter &printer)
{
    const BusyCursor busy;
    const QString heading = m_context.lottery->name + QStringLiteral("  总体过滤  ") + m_lblcode->text();
    PrintTextLines(printer, heading, m_memo->lineCount(), [this](qint64 i) { return m_memo->line(i); });
}

void Tfrmtotalfilt::btnprintClick()
{
    Guarded(this, [&] {
        if (refuseEmptyPrint())
            return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("总体过滤"));
        if (!dialogs::ChoosePrinter(this, printer, QStringLiteral("打印结果列表"), true))
            return;
        printLines(printer);
    });
}

void Tfrmtotalfilt::printToPdf()
{
    Guarded(this, [&] {
        if (refuseEmptyPrint())
            return;
        const QString path = dialogs::SaveFile(this, QStringLiteral("输出为PDF文件"), DesktopFolder(),
            QStringLiteral("总体过滤结果.pdf"), QStringLiteral("PDF文件(*.pdf)|*.pdf"), QStringLiteral("pdf"));
        if (path.isEmpty())
            return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setDocName(QStringLiteral("总体过滤"));
        printLines(printer);
    });
}

void Tfrmtotalfilt::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_btnfilt->isEnabled()) {
        btnfiltClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tfrmtotalfilt::presetRange(Indicator indicator, int lower, int upper)
{
    if (upper < lower)
        std::swap(lower, upper);
    const Indicator rowIndicators[7] = {Indicator::Big, Indicator::Odd, Indicator::Sum, Indicator::Span,
        Indicator::Dispersion, Indicator::Deviation, Indicator::Ac};
    std::size_t index = 0;
    while (index < 7 && rowIndicators[index] != indicator)
        ++index;
    if (index == 7) {
        // 重码 of the latest draw: a count of 0 … M.
        if (lower < 0 || upper > m_m)
            throw InputError(QStringLiteral("重码的范围%1到%2超出了可选的数值0到%3！").arg(lower).arg(upper).arg(m_m));
        m_more[0].values->setText(FilterBounds {lower, upper}.text());
        m_more[0].check->setChecked(true);
        m_tabtiaojian->setCurrentIndex(1);
        return;
    }
    const BoundRow &row = m_rows[index];
    const int from = row.lower->findText(QString::number(lower), Qt::MatchExactly);
    const int to = row.upper->findText(QString::number(upper), Qt::MatchExactly);
    if (from < 0 || to < 0 || row.lower->count() == 0)
        throw InputError(QStringLiteral("%1的范围%2到%3超出了可选的数值%4到%5！")
                             .arg(row.check->text().remove(QChar(u'：')))
                             .arg(lower)
                             .arg(upper)
                             .arg(row.lower->itemText(0), row.lower->itemText(row.lower->count() - 1)));
    row.lower->setCurrentIndex(from);
    row.upper->setCurrentIndex(to);
    row.values->clear();
    row.check->setChecked(true);
    m_tabtiaojian->setCurrentIndex(0);
}

} // namespace lumaro
