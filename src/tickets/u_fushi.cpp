#include "tickets/u_fushi.h"

#include "common/errors.h"
#include "shell/app_context.h"
#include "shell/error_display.h"
#include "trend/variant_trend.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lumaro {

namespace {

const QString kStart = QStringLiteral("开始搜索");
const QString kStop = QStringLiteral("停止");

} // namespace

Tfrmfushi::Tfrmfushi(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmfushi"));
    setWindowTitle(QStringLiteral("自动复式搜索"));

    auto *label1 = new QLabel(QStringLiteral("号码个数："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_edtnum = new QLineEdit(QString::number(m_context.lottery->n - 5), this);
    m_edtnum->setObjectName(QStringLiteral("edtnum"));
    m_chkyilou = new QCheckBox(QStringLiteral("遗漏期数>="), this);
    m_chkyilou->setObjectName(QStringLiteral("chkyilou"));
    m_chkyilou->setChecked(true);
    m_edtyilouqishu = new QLineEdit(QStringLiteral("50"), this);
    m_edtyilouqishu->setObjectName(QStringLiteral("edtyilouqishu"));
    for (QLineEdit *edit : {m_edtnum, m_edtyilouqishu})
        edit->setFixedWidth(60);
    m_btnsou = new QPushButton(kStart, this);
    m_btnsou->setObjectName(QStringLiteral("btnsou"));
    m_btnsou->setMinimumWidth(90);
    auto *label2 = new QLabel(QStringLiteral("复式号码："), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_edtfushicode = new QLineEdit(this);
    m_edtfushicode->setObjectName(QStringLiteral("edtfushicode"));
    m_btncopy = new QPushButton(QStringLiteral("复制"), this);
    m_btncopy->setObjectName(QStringLiteral("btncopy"));
    m_btncopy->setMinimumWidth(90);
    m_lblstate = new QLabel(this);
    m_lblstate->setObjectName(QStringLiteral("lblstate"));

    // The proposal box shows a ticket of N - 5 numbers without scrolling.
    const int shown = std::max(m_context.lottery->n - 4, 10);
    m_edtfushicode->setMinimumWidth(
        m_edtfushicode->fontMetrics().horizontalAdvance(QStringLiteral("00 ")) * shown + 12);

    auto *settingsRow = new QHBoxLayout;
    settingsRow->addWidget(label1);
    settingsRow->addWidget(m_edtnum);
    settingsRow->addSpacing(16);
    settingsRow->addWidget(m_chkyilou);
    settingsRow->addWidget(m_edtyilouqishu);
    settingsRow->addStretch(1);
    settingsRow->addWidget(m_btnsou);
    auto *proposalRow = new QHBoxLayout;
    proposalRow->addWidget(label2);
    proposalRow->addWidget(m_edtfushicode, 1);
    proposalRow->addWidget(m_btncopy);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(settingsRow);
    layout->addLayout(proposalRow);
    layout->addWidget(m_lblstate);

    m_next.setSingleShot(true);
    m_next.setInterval(0);
    connect(&m_next, &QTimer::timeout, this, [this] { repetition(); });
    connect(m_btnsou, &QPushButton::clicked, this, [this] { guarded(this, [this] { btnsouClick(); }); });
    connect(m_btncopy, &QPushButton::clicked, this, [this] { guarded(this, [this] { btncopyClick(); }); });
}

Tfrmfushi::~Tfrmfushi()
{
    m_next.stop();
}

void Tfrmfushi::closeEvent(QCloseEvent *event)
{
    if (searching())
        stop();
    QWidget::closeEvent(event);
}

void Tfrmfushi::btnsouClick()
{
    if (searching())
        stop();
    else
        start();
}

void Tfrmfushi::btncopyClick()
{
    QApplication::clipboard()->setText(m_edtfushicode->text());
}

void Tfrmfushi::start()
{
    CompoundSettings settings;
    settings.count = toInteger(m_edtnum->text());
    settings.threshold = toInteger(m_edtyilouqishu->text());
    settings.useThreshold = m_chkyilou->isChecked();
    checkCompoundSettings(settings, *m_context.lottery);
    m_search = std::make_unique<CompoundSearch>(m_context.lottery->n, settings);
    if (!m_context.shell)
        m_random.emplace(m_context.newRandom());
    m_btnsou->setText(kStop);
    for (QWidget *control : std::initializer_list<QWidget *> {m_edtnum, m_chkyilou, m_edtyilouqishu})
        control->setEnabled(false);
    m_lblstate->setText(QStringLiteral("正在搜索……"));
    m_next.start();
}

void Tfrmfushi::stop()
{
    endSearch();
    m_lblstate->setText(QStringLiteral("搜索已停止。"));
    Q_EMIT searchEnded();
}

void Tfrmfushi::endSearch()
{
    m_next.stop();
    m_search.reset();
    m_btnsou->setText(kStart);
    for (QWidget *control : std::initializer_list<QWidget *> {m_edtnum, m_chkyilou, m_edtyilouqishu})
        control->setEnabled(true);
    // The standard trend is back however the search ends.
    guarded(this, [this] { restoreStandardTrend(); });
}

void Tfrmfushi::repetition()
{
    if (!m_search)
        return;
    bool finished = false;
    const bool ok = guarded(this, [&] {
        showVariantTrend();
        finished = m_search->step(*m_context.lottery) == CompoundSearch::Step::Finished;
    });
    if (!ok) {
        stop();
        return;
    }
    const CompoundSearch &search = *m_search;
    if (finished) {
        const std::vector<int> numbers = search.proposal();
        const qint64 repetitions = search.repetitions();
        endSearch();
        m_edtfushicode->setText(compoundText(numbers));
        m_edtfushicode->setCursorPosition(0);
        m_lblstate->setText(QStringLiteral("搜索%1次，得到%2个号码。").arg(repetitions).arg(numbers.size()));
        Q_EMIT searchEnded();
        return;
    }
    m_lblstate->setText(QStringLiteral("已搜索%1次：最冷的第%2列遗漏%3期，还剩%4个号码。")
                            .arg(search.repetitions())
                            .arg(search.lastColumn())
                            .arg(search.lastAbsence())
                            .arg(search.remaining()));
    m_next.start();
}

void Tfrmfushi::showVariantTrend()
{
    if (m_context.shell) {
        m_context.shell->switchToVariantTrend();
        return;
    }
    OpenLottery &lottery = *m_context.lottery;
    lottery.variantMode = true;
    BuildVariantTrend(lottery, *m_random);
}

void Tfrmfushi::restoreStandardTrend()
{
    if (m_context.shell) {
        m_context.shell->switchToStandardTrend();
        return;
    }
    OpenLottery &lottery = *m_context.lottery;
    if (!lottery.lotteryOpen)
        return;
    lottery.variantMode = false;
    lottery.BuildStandardTrend();
}

} // namespace lumaro
