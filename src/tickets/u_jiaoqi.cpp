#include "tickets/u_jiaoqi.h"

#include "common/errors.h"
#include "data/program_folder.h"
#include "shell/app_context.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "tickets/text_lines_model.h"
#include "tickets/ticket_file.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace lumaro {

namespace {

const QString kCaption = QStringLiteral("多重大底交集");
const QString kFilter = QStringLiteral("文本文件(*.txt)|*.txt");

} // namespace

Tfrmjiaoqi::Tfrmjiaoqi(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmjiaoqi"));
    setWindowTitle(kCaption);

    QLabel *label1 = NewLabel(this, "Label1", QStringLiteral("原始大底："));
    m_lstdadi = new QListWidget(this);
    m_lstdadi->setObjectName(QStringLiteral("lstdadi"));
    m_lstdadi->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstdadi->setToolTip(QStringLiteral("双击查看大底文件"));

    QLabel *label2 = NewLabel(this, "Label2", QStringLiteral("交集容错："));
    m_edtnum1 = NewField(this, "edtnum1", QStringLiteral("0"));
    QLabel *label3 = NewLabel(this, "Label3", QStringLiteral("到"));
    m_edtnum2 = NewField(this, "edtnum2", QStringLiteral("0"));
    for (QLineEdit *edit : {m_edtnum1, m_edtnum2})
        edit->setFixedWidth(60);

    m_btndaoru = NewButton(this, "btndaoru", QStringLiteral("导入大底"));
    m_btnjiaoqi = NewButton(this, "btnjiaoqi", QStringLiteral("大底交集"));
    m_btnsave = NewButton(this, "btnsave", QStringLiteral("保存号码"));
    m_btncls = NewButton(this, "btncls", QStringLiteral("清空所有"));
    m_btnclose = NewButton(this, "btnclose", QStringLiteral("关闭"));

    m_pb = new QProgressBar(this);
    m_pb->setObjectName(QStringLiteral("pb"));
    m_pb->setTextVisible(true);
    m_pb->setFormat(QStringLiteral("%v/%m"));
    m_pb->hide();

    m_lbldadi = new QLabel(QStringLiteral("最终交集："), this);
    m_lbldadi->setObjectName(QStringLiteral("lbldadi"));
    m_memo = new TextLinesModel(this);
    m_memdadi = new QListView(this);
    m_memdadi->setObjectName(QStringLiteral("memdadi"));
    m_memdadi->setModel(m_memo);
    m_memdadi->setUniformItemSizes(true);
    m_memdadi->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_memdadi->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_memdadi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_memdadi->setMinimumWidth(320);

    auto *left = new QVBoxLayout;
    left->addWidget(label1);
    left->addWidget(m_lstdadi, 1);
    auto *tolerance = new QHBoxLayout;
    tolerance->addWidget(label2);
    tolerance->addWidget(m_edtnum1);
    tolerance->addWidget(label3);
    tolerance->addWidget(m_edtnum2);
    tolerance->addStretch(1);
    left->addLayout(tolerance);
    auto *buttons = new QGridLayout;
    buttons->addWidget(m_btndaoru, 0, 0);
    buttons->addWidget(m_btnjiaoqi, 0, 1);
    buttons->addWidget(m_btnsave, 0, 2);
    buttons->addWidget(m_btncls, 1, 0);
    buttons->addWidget(m_btnclose, 1, 2);
    left->addLayout(buttons);
    left->addWidget(m_pb);

    auto *right = new QVBoxLayout;
    right->addWidget(m_lbldadi);
    right->addWidget(m_memdadi, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    resize(760, 520);

    connect(m_btndaoru, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btndaoruClick(); }); });
    connect(m_btnjiaoqi, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnjiaoqiClick(); }); });
    connect(m_btnsave, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnsaveClick(); }); });
    connect(m_btncls, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnclsClick(); }); });
    connect(m_btnclose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_lstdadi, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        const int row = m_lstdadi->row(item);
        Guarded(this, [this, row] { lstdadiDblClick(row); });
    });
    m_run.lockWhileRunning({m_btndaoru, m_btnjiaoqi, m_btnsave, m_btncls, m_edtnum1, m_edtnum2, m_lstdadi});
    m_run.setProgressBar(m_pb);
    m_run.setBusyCursor(true);
    connect(&m_run, &BackgroundRun::finished, this, &Tfrmjiaoqi::intersectionFinished);

    // The combination table of the open lottery is made once, with the window.
    const OpenLottery &lottery = *m_context.lottery;
    try {
        // A two-zone lottery counts pairs of front and back sets.
        m_table = std::make_unique<CombinationTable>(lottery.kind, lottery.n, lottery.m,
            lottery.twoZone() ? lottery.backN : 0, lottery.twoZone() ? lottery.backM : 0);
    } catch (const Error &error) {
        m_tableProblem = error.message();
    }
}

Tfrmjiaoqi::~Tfrmjiaoqi() = default;

void Tfrmjiaoqi::closeEvent(QCloseEvent *event)
{
    // Closing stops a running intersection; its partial counts are dropped.
    m_run.stop();
    m_run.waitUntilDone();
    QWidget::closeEvent(event);
}

void Tfrmjiaoqi::btndaoruClick()
{
    const QStringList chosen = dialogs::OpenFiles(
        this, QStringLiteral("选择大底文件(按CTRL或者SHILT键选择多个大底文件)"), DesktopFolder(), kFilter);
    if (chosen.isEmpty())
        return;
    if (chosen.size() > CombinationTable::kMaxFiles) {
        dialogs::Warning(this, kCaption,
            QStringLiteral("一次最多只能导入%1个大底文件，您选择了%2个！")
                .arg(CombinationTable::kMaxFiles)
                .arg(chosen.size()));
        return;
    }
    m_files = chosen;
    m_lstdadi->clear();
    for (const QString &path : m_files) {
        auto *item = new QListWidgetItem(QFileInfo(path).fileName(), m_lstdadi);
        item->setToolTip(QDir::toNativeSeparators(path));
    }
    m_lstdadi->selectAll();
    m_lbldadi->setText(QStringLiteral("最终交集："));
}

void Tfrmjiaoqi::lstdadiDblClick(int row)
{
    if (row < 0 || row >= m_files.size())
        return;
    const BusyCursor busy;
    m_memo->setFile(m_files[row]);
    setCount(m_memo->lineCount());
}

void Tfrmjiaoqi::btnjiaoqiClick()
{
    if (m_files.isEmpty()) {
        dialogs::Information(this, kCaption, QStringLiteral("请先导入大底文件！"));
        return;
    }
    IntersectionSettings settings;
    settings.files = m_files;
    settings.lowerTolerance = ToInteger(m_edtnum1->text());
    settings.upperTolerance = ToInteger(m_edtnum2->text());
    if (!m_table)
        throw InputError(m_tableProblem);
    try {
        CheckIntersectionSettings(settings);
    } catch (const InputError &error) {
        dialogs::Warning(this, kCaption, error.message());
        return;
    }
    m_pb->setRange(0, static_cast<int>(settings.files.size()));
    CombinationTable *table = m_table.get();
    const QString resultFile = m_context.folder.file(QStringLiteral("temp.txt"));
    m_run.start(
        [table, settings, resultFile](const Progress &progress) {
            IntersectionResult result = RunIntersection(*table, settings, progress);
            if (result.cancelled)
                return result;
            if (table->twoZone())
                WriteTwoZoneResultList(resultFile, result.tickets, TwoZoneRows {table->m(), table->backM(), {}});
            else
                WriteResultList(resultFile, result.tickets);
            return result;
        },
        [this](const IntersectionResult &result) { finishIntersection(result); });
}

void Tfrmjiaoqi::finishIntersection(const IntersectionResult &result)
{
    if (result.cancelled)
        return;
    Guarded(this, [this] {
        m_memo->setFile(m_context.folder.file(QStringLiteral("temp.txt")));
        m_memdadi->scrollToTop();
    });
    setCount(result.tickets.rowCount());
    const QString skipped
        = SkippedLinesMessage(result.skipped, m_table->n(), m_table->m(), m_table->backN(), m_table->backM());
    if (!skipped.isEmpty())
        dialogs::Warning(this, kCaption, skipped);
}

void Tfrmjiaoqi::waitForResult()
{
    m_run.waitUntilDone();
}

void Tfrmjiaoqi::setCount(qint64 count)
{
    m_lbldadi->setText(QStringLiteral("最终交集：%1注").arg(count));
}

qint64 Tfrmjiaoqi::memoLineCount() const
{
    return m_memo->lineCount();
}

QString Tfrmjiaoqi::memoLine(qint64 row) const
{
    return m_memo->line(row);
}

void Tfrmjiaoqi::btnsaveClick()
{
    if (!m_table)
        throw InputError(m_tableProblem);
    const QString path = dialogs::SaveFile(
        this, QStringLiteral("保存号码"), DesktopFolder(), QString(), kFilter, QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    // The list is saved as a ticket file, whether the memo shows the intersection (its serials
    // are dropped) or a viewed base, so the total filter, the pickers and a next intersection all
    // read what is saved here.
    SkippedLines skipped;
    {
        const BusyCursor busy;
        WriteTicketFileFromList(
            path, m_memo->device(), m_table->n(), m_table->m(), skipped, m_table->backN(), m_table->backM());
    }
    QString message = QStringLiteral("成功保存！");
    if (skipped.lines > 0 && m_table->twoZone())
        message += QStringLiteral("\n有%1行不是前区%2个、后区%3个号码的有效投注号码，没有保存（第一处在第%4行）。")
                       .arg(skipped.lines)
                       .arg(m_table->m())
                       .arg(m_table->backM())
                       .arg(skipped.firstLine);
    else if (skipped.lines > 0)
        message += QStringLiteral("\n有%1行不是%2个从小到大排列的有效号码，没有保存（第一处在第%3行）。")
                       .arg(skipped.lines)
                       .arg(m_table->m())
                       .arg(skipped.firstLine);
    dialogs::Information(this, kCaption, message);
}

void Tfrmjiaoqi::btnclsClick()
{
    m_files.clear();
    m_lstdadi->clear();
    m_memo->clear();
    m_lbldadi->setText(QStringLiteral("最终交集："));
    m_edtnum1->setText(QStringLiteral("0"));
    m_edtnum2->setText(QStringLiteral("0"));
}

} // namespace lumaro
