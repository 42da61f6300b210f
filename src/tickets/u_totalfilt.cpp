#include "tickets/u_totalfilt.h"

#include "analysis/indicators.h"
#include "common/errors.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"
#include "shell/app_context.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "tickets/filter_history_check.h"
#include "tickets/line_printer.h"
#include "tickets/text_lines_model.h"
#include "tickets/ticket_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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

namespace lumaro {

namespace {

const char *const kTicketFilter = "文本文件(*.txt)|*.txt";

struct RowNames {
    const char *check;
    const char *caption;
    const char *lower;
    const char *upper;
};

// 大数, 奇数, 和值, 跨度, 散度, 偏度, AC值 in the order of the window and its checks.
const RowNames kRows[7] = {
    {"chkdashu", "大数", "comdaxiao1", "comdaxiao2"},
    {"chkjishu", "奇数", "comjiou1", "comjiou2"},
    {"chkhei", "和值", "comhei1", "comhei2"},
    {"chkkuadu", "跨度", "comkuadu1", "comkuadu2"},
    {"chksandu", "散度：", "comsandu1", "comsandu2"},
    {"chkpiandu", "偏度", "compiandu1", "compiandu2"},
    {"chkac", "AC值", "comac1", "comac2"},
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
{
    setObjectName(QStringLiteral("frmtotalfilt"));
    setWindowTitle(QStringLiteral("总体过滤"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(776, 533);
    buildControls();
    buildBallGrid();
    fillLists();
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_run.lockWhileRunning({m_btnfilt, m_btnclear, m_btnload, m_btnsave, m_btnlishi});
    m_run.setProgressBar(m_pb);
    connect(&m_run, &BackgroundRun::finished, this, &Tfrmtotalfilt::runFinished);
    m_check.lockWhileRunning({m_btnfilt, m_btnclear, m_btnload, m_btnsave});
    m_check.setProgressBar(m_pb);
    m_check.setStopButton(m_btnlishi, m_btnlishi->text());
    connect(&m_check, &BackgroundRun::finished, this, &Tfrmtotalfilt::historyCheckFinished);
    applyTrendMode(m_context.lottery->variantMode);
    if (!TotalFilterUnsupportedReason(*m_context.lottery).isEmpty())
        m_lblcode->setText(QStringLiteral("总体过滤只适用于3到7个号码的乐透型彩票"));
}

Tfrmtotalfilt::~Tfrmtotalfilt() = default;

void Tfrmtotalfilt::buildControls()
{
    auto *general = new QGroupBox(QStringLiteral("常规过滤："), this);
    general->setObjectName(QStringLiteral("GroupBox1"));
    general->setGeometry(8, 6, 385, 236);
    for (int i = 0; i < 7; ++i) {
        const int y = 22 + i * 30;
        BoundRow &row = m_rows[static_cast<std::size_t>(i)];
        row.check
            = NewCheckBox(general, kRows[i].check, QString::fromUtf8(kRows[i].caption), false, QRect(14, y, 86, 24));
        row.lower = new QComboBox(general);
        row.upper = new QComboBox(general);
        row.lower->setObjectName(QString::fromUtf8(kRows[i].lower));
        row.upper->setObjectName(QString::fromUtf8(kRows[i].upper));
        for (QComboBox *combo : {row.lower, row.upper}) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setMaxVisibleItems(20);
        }
        row.lower->setGeometry(104, y, 110, 24);
        NewLabel(general, {}, QStringLiteral("到"), QRect(224, y, 24, 24));
        row.upper->setGeometry(252, y, 110, 24);
    }

    const int bankerY = 250;
    m_chkdanma = NewCheckBox(this, "chkdanma", QStringLiteral("胆码"), false, QRect(10, bankerY, 60, 24));
    m_edtdanma = NewField(this, "edtdanma", {}, QRect(72, bankerY, 150, 24));
    m_edtdanma->setToolTip(QStringLiteral("胆码号码，用空格分开，例如：3 15 27"));
    NewLabel(this, {}, QStringLiteral("预计中"), QRect(228, bankerY, 54, 24));
    m_edtnum1 = NewField(this, "edtnum1", QStringLiteral("1"), QRect(284, bankerY, 34, 24));
    NewLabel(this, {}, QStringLiteral("到"), QRect(322, bankerY, 20, 24));
    m_edtnum2 = NewField(this, "edtnum2", QStringLiteral("1"), QRect(342, bankerY, 34, 24));
    NewLabel(this, {}, QStringLiteral("个"), QRect(380, bankerY, 16, 24));

    const int chooserY = 282;
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
    m_GroupBox2->setGeometry(8, 314, 345, 182);

    m_lblcode = new QLabel(filter_text::ResultCount(0).left(5), this);
    m_lblcode->setObjectName(QStringLiteral("lblcode"));
    m_lblcode->setGeometry(406, 10, 361, 22);
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
    bool any = m_chkhongqiu->isChecked() || m_chkdanma->isChecked();
    for (const BoundRow &row : m_rows)
        any = any || row.check->isChecked();
    if (!any)
        return filter_text::NoCondition();
    for (const BoundRow &row : m_rows) {
        if (row.check->isChecked()
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
        if (typedOutsideList(row.lower) || typedOutsideList(row.upper))
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
        if (row.check->isChecked())
            c.*kRowMembers[i] = FilterBounds {count(row.lower->currentText()), count(row.upper->currentText())};
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
    return c;
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
    const QString invalid = CheckConditions(conditions, m_n, m_m);
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
    auto job = std::make_shared<TotalFilter::Job>(
        m_filter.prepare(conditions, m_context.folder.file(QStringLiteral("temp.txt"))));
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
            m_lblcode->setText(filter_text::ResultCount(0));
            ShowError(this, filter_text::NoSurvivor());
        } else {
            m_memo->setFile(job.resultListPath);
            m_memoHasSerials = true;
            m_lblcode->setText(filter_text::ResultCount(job.survivors));
            for (const BoundRow &row : m_rows)
                row.check->setChecked(false);
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
    if (isRunning())
        return;
    Guarded(this, [&] {
        const QString path = dialogs::SaveFile(this, QStringLiteral("保存投注号码"), DesktopFolder(),
            ProposedSaveName(*m_context.lottery), QString::fromUtf8(kTicketFilter), QStringLiteral("txt"));
        if (path.isEmpty())
            return;
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
        // The count is that of the tickets the next run starts from: a repeated line or the
        // lines after a blank one are shown but not kept.
        m_lblcode->setText(filter_text::ResultCount(loaded.tickets));
        for (const BoundRow &row : m_rows)
            row.check->setChecked(false);
        clearIndicatorLists();
        m_edtsuiji1->setText(QString::number(m_m));
    });
}

void Tfrmtotalfilt::btnclearClick()
{
    if (isRunning())
        return;
    Guarded(this, [&] {
        for (const BoundRow &row : m_rows)
            row.check->setChecked(false);
        m_chkdanma->setChecked(false);
        clearIndicatorLists();
        m_edtdanma->clear();
        m_edtnum1->setText(QStringLiteral("1"));
        m_edtnum2->setText(QStringLiteral("1"));
        resetBalls();
        m_memo->clear();
        m_lblcode->setText(filter_text::ResultCount(0).left(5));
        m_chkhongqiu->setChecked(false);
        const QString m = QString::number(m_m);
        m_edtsuiji1->setText(m);
        m_edtzhong1->setText(m);
        m_edtzhong2->setText(m);
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
    if (index == 7)
        throw InputError(QStringLiteral("总体过滤没有重码条件！"));
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
    row.check->setChecked(true);
}

} // namespace lumaro
