#include "tickets/u_juzheng.h"

#include "tickets/total_filter.h"

#include "tickets/line_printer.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace lumaro {

namespace {

// The number edits sit in rows of seven, three rows in a group of 217 × 105 pixels; the two
// numbers beyond 21 that a banker wheel of 20 or 21 base numbers needs get a fourth row.
constexpr int kEditsPerRow = 7;
constexpr int kGroupWidth = 217;
constexpr int kGroupHeight = 105;
constexpr int kRowPitch = (kGroupHeight - 15) / 3;
static_assert(kWheelMaxNumbers <= 4 * kEditsPerRow, "every number edit has a place in the group");

} // namespace

Tfrmjuzheng::Tfrmjuzheng(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmjuzheng"));
    setWindowTitle(QStringLiteral("旋转矩阵组号缩水"));
    buildControls();
    recolourEdits();
    m_compute.lockWhileRunning({m_btngen, m_btnsave, m_btnprint, m_commainnum, m_comdannum, m_optjutype, m_comoknum,
        m_combaonum, m_comcainum});
    connect(&m_compute, &BackgroundRun::finished, this, &Tfrmjuzheng::generationFinished);
}

Tfrmjuzheng::~Tfrmjuzheng() = default;

void Tfrmjuzheng::buildControls()
{
    auto *numbersCaption = new QLabel(QStringLiteral("请在下面框中输入你要包的号码："), this);
    auto *coloursCaption = new QLabel(QStringLiteral("白色代表基本号码，红色代表胆码"), this);
    m_numbers = new QGroupBox(this);
    m_numbers->setObjectName(QStringLiteral("grpnumbers"));
    m_numbers->setFixedSize(kGroupWidth, kGroupHeight);
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        auto *edit = new QLineEdit(m_numbers);
        edit->setObjectName(QStringLiteral("edtnum%1").arg(i + 1));
        edit->setAlignment(Qt::AlignCenter);
        edit->setMaxLength(4);
        edit->installEventFilter(this);
        m_edits[i] = edit;
    }
    layoutNumberEdits();

    m_lblcode = NewLabel(this, "lblcode", QStringLiteral("投注号码："));
    m_tabcode = new QTableView(this);
    m_tabcode->setObjectName(QStringLiteral("tabcode"));
    m_model = new FunctionTableModel(this);
    m_tabcode->setModel(m_model);
    m_tabcode->verticalHeader()->hide();
    m_tabcode->verticalHeader()->setDefaultSectionSize(20);
    m_tabcode->setSelectionMode(QAbstractItemView::NoSelection);
    m_tabcode->setMinimumSize(360, 300);
    showRows(WheelSettings().type);

    // The parameters on the right.
    // The lists offer no more base numbers and bankers than there are number edits.
    m_commainnum = NewNumberCombo(this, "commainnum", 1, kWheelMaxBase, 10);
    m_comdannum = NewNumberCombo(this, "comdannum", 0, kWheelMaxBankers, 0);
    m_comdannum->setEnabled(false);
    m_optjutype = new QGroupBox(QStringLiteral("矩阵类型："), this);
    m_optjutype->setObjectName(QStringLiteral("optjutype"));
    m_kinds = new QButtonGroup(this);
    auto *kindsLayout = new QHBoxLayout(m_optjutype);
    const char *kindNames[] = {"平衡式", "胆拖式"};
    for (int i = 0; i < 2; ++i) {
        auto *radio = new QRadioButton(QString::fromUtf8(kindNames[i]), m_optjutype);
        radio->setObjectName(QStringLiteral("optjutype%1").arg(i));
        m_kinds->addButton(radio, i);
        kindsLayout->addWidget(radio);
    }
    m_kinds->button(0)->setChecked(true);
    m_comoknum = NewNumberCombo(this, "comoknum", 1, 8, 6);
    m_combaonum = NewNumberCombo(this, "combaonum", 1, 8, 5);
    m_comcainum = new QComboBox(this);
    m_comcainum->setObjectName(QStringLiteral("comcainum"));
    for (int t = 1; t <= 7; ++t)
        m_comcainum->addItem(QStringLiteral("选%1型").arg(t));
    m_comcainum->setCurrentIndex(5);
    m_edtjushu = NewField(this, "edtjushu");
    m_edtjushu->setReadOnly(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("基本号码个数："), m_commainnum);
    form->addRow(QStringLiteral("胆号码个数："), m_comdannum);
    form->addRow(m_optjutype);
    form->addRow(QStringLiteral("选对号码数："), m_comoknum);
    form->addRow(QStringLiteral("保中号码数："), m_combaonum);
    form->addRow(QStringLiteral("彩票类型："), m_comcainum);
    form->addRow(QStringLiteral("矩阵注数："), m_edtjushu);
    if (m_context.lottery && m_context.lottery->twoZone()) {
        m_backN = m_context.lottery->backN;
        m_backM = m_context.lottery->backM;
        QStringList all;
        for (int v = 1; v <= m_backN; ++v)
            all << Pad2(v);
        m_edthouqu = NewField(this, "edthouqu", all.join(QLatin1Char(' ')));
        m_edthouqu->setToolTip(
            QStringLiteral("后区号码，空格分开；每注前区号码与其中每%1个的组合各成一注").arg(m_backM));
        // Wide enough to show every back number of the lottery at once.
        m_edthouqu->setMinimumWidth(
            std::min(360, m_edthouqu->fontMetrics().horizontalAdvance(m_edthouqu->text()) + 24));
        form->addRow(QStringLiteral("后区号码（每注%1个）：").arg(m_backM), m_edthouqu);
    }

    m_btngen = NewButton(this, "btngen", QStringLiteral("开始缩水"));
    m_btngen->setDefault(true);
    m_btngen->setAutoDefault(true);
    m_btnsave = NewButton(this, "btnsave", QStringLiteral("保存"));
    m_btnprint = NewButton(this, "btnprint", QStringLiteral("打印"));
    m_btnclose = NewButton(this, "btnclose", QStringLiteral("关闭"));
    auto *buttons = new QGridLayout;
    buttons->addWidget(m_btngen, 0, 0);
    buttons->addWidget(m_btnsave, 0, 1);
    buttons->addWidget(m_btnprint, 1, 0);
    buttons->addWidget(m_btnclose, 1, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(numbersCaption);
    left->addWidget(coloursCaption);
    left->addWidget(m_numbers);
    left->addWidget(m_lblcode);
    left->addWidget(m_tabcode, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch(1);
    right->addLayout(buttons);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(right);

    connect(m_commainnum, &QComboBox::currentIndexChanged, this, [this] { recolourEdits(); });
    connect(m_comdannum, &QComboBox::currentIndexChanged, this, [this] { recolourEdits(); });
    connect(m_kinds, &QButtonGroup::idClicked, this, [this](int id) { optjutypeClick(id); });
    connect(m_btngen, &QPushButton::clicked, this, [this] { btngenClick(); });
    connect(m_btnsave, &QPushButton::clicked, this, [this] { btnsaveClick(); });
    connect(m_btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    connect(m_btnclose, &QPushButton::clicked, this, &QWidget::close);
}

void Tfrmjuzheng::layoutNumberEdits()
{
    const int w = kGroupWidth;
    for (int i = 1; i <= kWheelMaxNumbers; ++i) {
        const int r = (i - 1) / kEditsPerRow;
        const int c = (i - 1) % kEditsPerRow;
        numberEdit(i)->setGeometry(
            (w - 12) * c / kEditsPerRow + 7, r * kRowPitch + 15, (w - 12) / kEditsPerRow - 5, kRowPitch - 5);
    }
}

QLineEdit *Tfrmjuzheng::numberEdit(int i) const
{
    if (i < 1 || i > kWheelMaxNumbers)
        throw Error(QStringLiteral("没有第 %1 个号码框（共 %2 个）。").arg(i).arg(kWheelMaxNumbers));
    return m_edits[std::size_t(i - 1)];
}

QStringList Tfrmjuzheng::numberTexts(int count) const
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << numberEdit(i)->text();
    return texts;
}

QStringList Tfrmjuzheng::typedNumbers() const
{
    const WheelSettings s = settings();
    return numberTexts(s.base + WheelBankerCount(s));
}

WheelSettings Tfrmjuzheng::settings() const
{
    WheelSettings s;
    s.base = m_commainnum->currentIndex() + 1;
    s.bankers = m_comdannum->currentIndex();
    s.bankerKind = m_kinds->checkedId() == 1;
    s.match = m_comoknum->currentIndex() + 1;
    s.guarantee = m_combaonum->currentIndex() + 1;
    s.type = m_comcainum->currentIndex() + 1;
    return s;
}

void Tfrmjuzheng::recolourEdits()
{
    const int b = m_commainnum->currentIndex() + 1;
    const int d = m_comdannum->currentIndex();
    for (int i = 1; i <= kWheelMaxNumbers; ++i) {
        QLineEdit *edit = numberEdit(i);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, i <= b ? QApplication::palette().color(QPalette::Base) : QColor(255, 0, 0));
        edit->setPalette(palette);
        edit->setVisible(i <= b + d);
    }
    // The fourth row only while it holds numbers.
    const int rows = std::max(3, (b + d + kEditsPerRow - 1) / kEditsPerRow);
    m_numbers->setFixedHeight(kGroupHeight + (rows - 3) * kRowPitch);
}

void Tfrmjuzheng::optjutypeClick(int kind)
{
    const QSignalBlocker blockBase(m_commainnum);
    const QSignalBlocker blockBankers(m_comdannum);
    if (kind == 1) {
        m_commainnum->setCurrentIndex(9 - 1);
        m_comdannum->setCurrentIndex(1);
        m_comdannum->setEnabled(true);
    } else {
        m_commainnum->setCurrentIndex(10 - 1);
        m_comdannum->setCurrentIndex(0);
        m_comdannum->setEnabled(false);
    }
    recolourEdits();
}

bool Tfrmjuzheng::eventFilter(QObject *watched, QEvent *event)
{
    // Entering or clicking a number edit selects its whole text.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonRelease) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QWidget::eventFilter(watched, event);
}

void Tfrmjuzheng::btngenClick()
{
    if (isComputing())
        return;
    bool waiting = false;
    Guarded(this, [&] {
        const WheelSettings s = settings();
        const WheelParams p = WheelMatrixParams(s);
        const QString name = WheelMatrixFileName(s);
        const QString path = m_context.folder.wheelMatrixFile(name);
        if (path.isEmpty()) {
            const QString noMatrix = QStringLiteral("没有该类型的矩阵！");
            if (name.isEmpty() || !WheelParamsProblem(p).isEmpty()) {
                dialogs::Critical(this, QStringLiteral("错误"), noMatrix);
                return;
            }
            // Numbers the generation would refuse are refused before a computation that may
            // take its whole time.
            WheelNumberValues(typedNumbers());
            const QString offer = QStringLiteral("没有该类型的矩阵（%1）。\n是否现在计算这个矩阵？计算最多需要 %2 "
                                                 "秒，结果经过检验后保存在旋转矩阵文件夹中。")
                                      .arg(name)
                                      .arg(m_computeSeconds, 0, 'f', 0);
            if (!dialogs::Question(this, QStringLiteral("旋转矩阵"), offer)) {
                dialogs::Critical(this, QStringLiteral("错误"), noMatrix);
                return;
            }
            computeMatrix(p, m_context.folder.wheelsFolder() + name);
            waiting = true;
            return;
        }
        generateFrom(path);
    });
    if (!waiting)
        Q_EMIT generationFinished();
}

void Tfrmjuzheng::generateFrom(const QString &matrixPath)
{
    const WheelSettings s = settings();
    const QStringList texts = typedNumbers();
    const BusyCursor busy;
    // The command line's wheel: a refusal leaves the grid as it was.
    if (m_backM > 0) {
        const BackChoice back = ParseBackChoice(m_edthouqu->text(), m_backN, m_backM);
        const std::vector<std::vector<int>> wheel = WheelTickets(s, texts, matrixPath);
        m_rows = CombineWithBackSets(wheel, back.sets(), m_backM);
        m_frontSize = s.type;
        showRows(s.type);
        m_edtjushu->setText(QString::number(wheel.size()));
        m_lblcode->setText(QStringLiteral("投注号码：共%1 注（矩阵%2注 × 后区%3注）")
                               .arg(m_rows.size())
                               .arg(wheel.size())
                               .arg(back.setCount()));
        return;
    }
    m_rows = WheelTickets(s, texts, matrixPath);
    m_frontSize = s.type;
    showRows(s.type);
    m_edtjushu->setText(QString::number(m_rows.size()));
    m_lblcode->setText(QStringLiteral("投注号码：共") + QString::number(m_rows.size()) + QStringLiteral(" 注"));
}

void Tfrmjuzheng::showRows(int ticketSize)
{
    QStringList headers {QStringLiteral("序号")};
    for (int i = 1; i <= ticketSize; ++i)
        headers << QStringLiteral("号码") + QString::number(i);
    for (int i = 1; i <= m_backM; ++i)
        headers << QStringLiteral("后区") + QString::number(i);
    m_model->setHeaders(headers);
    m_model->setContent(int(m_rows.size()), [this](int row, int column) -> QVariant {
        if (column == 0)
            return row + 1;
        const std::vector<int> &r = m_rows[std::size_t(row)];
        return column <= int(r.size()) ? QVariant(Pad2(r[std::size_t(column - 1)])) : QVariant();
    });
    m_gridColumns = ticketSize + m_backM + 1;
    const int width = std::max(30, (m_tabcode->width() - 40) / m_gridColumns);
    for (int c = 0; c < m_gridColumns; ++c)
        m_tabcode->setColumnWidth(c, width);
}

void Tfrmjuzheng::computeMatrix(const WheelParams &p, const QString &path)
{
    m_progress = new QProgressDialog(
        QStringLiteral("正在计算矩阵 %1 …").arg(QFileInfo(path).fileName()), QStringLiteral("取消"), 0, 100, this);
    m_progress->setObjectName(QStringLiteral("prgcompute"));
    m_progress->setWindowTitle(QStringLiteral("计算旋转矩阵"));
    // Not modal: a modal progress dialog runs the event loop inside setValue(), and the
    // controls that would interfere are disabled instead.
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, &m_compute, &BackgroundRun::stop);

    // The search reports its ticket count; the bar shows the time used of the time allowed.
    auto *timer = new QTimer(m_progress);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const double seconds = m_computeSeconds;
    QProgressDialog *dialog = m_progress;
    connect(timer, &QTimer::timeout, dialog,
        [dialog, clock, seconds] { dialog->setValue(int(std::min(99.0, clock->elapsed() / 10.0 / seconds))); });
    connect(&m_compute, &BackgroundRun::progressed, dialog, [dialog, path](qint64 tickets) {
        if (tickets > 0)
            dialog->setLabelText(
                QStringLiteral("正在计算矩阵 %1 …\n当前注数：%2").arg(QFileInfo(path).fileName()).arg(tickets));
    });
    timer->start(200);

    const std::uint64_t seed = m_context.newRandom().next();
    const auto closeProgress = [this] {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    };
    m_compute.start([p, path, seconds, seed](
                        const Progress &progress) { return ComputeWheelMatrix(p, path, seconds, seed, progress); },
        [this, path, closeProgress](const ComputedWheel &computed) {
            closeProgress();
            if (computed.cancelled)
                dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("没有该类型的矩阵！"));
            else
                generateFrom(path);
        },
        closeProgress);
}

void Tfrmjuzheng::btnsaveClick()
{
    Guarded(this, [&] {
        if (m_rows.empty()) {
            dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("号码表格为空，无法保存！"));
            return;
        }
        const QString path = dialogs::SaveFile(this, QStringLiteral("保存"), m_context.folder.auxiliaryFolder(),
            WheelTicketFileName(settings()), QStringLiteral("文本文件(*.txt)|*.txt"), QStringLiteral("txt"));
        if (path.isEmpty())
            return;
        WriteWholeFile(path, m_backM > 0 ? WheelTwoZoneTicketText(m_rows, m_frontSize) : WheelTicketText(m_rows));
        dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("成功保存！"));
    });
}

void Tfrmjuzheng::btnprintClick()
{
    // Prints the ticket list as the grid shows it.
    Guarded(this, [&] {
        if (m_rows.empty()) {
            dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("号码表格为空，无法打印！"));
            return;
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("旋转矩阵"));
        if (!dialogs::ChoosePrinter(this, printer, QStringLiteral("打印投注号码"), true))
            return;
        PrintTextLines(printer, m_lblcode->text(), static_cast<qint64>(m_rows.size()), [this](qint64 r) {
            QString line = Pad7(r + 1) + QStringLiteral("    ");
            const std::vector<int> &row = m_rows[static_cast<std::size_t>(r)];
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (m_backM > 0 && static_cast<int>(i) == m_frontSize)
                    line += QStringLiteral("+ ");
                line += Pad2(row[i]) + QLatin1Char(' ');
            }
            return line;
        });
    });
}

} // namespace lumaro
