// Garbage typed into every numeric control of every window: each action that reads the control
// must refuse it with a Chinese message, keep the program running and leave the window's
// results and the program folder as they were.

#include "data/draw_edit_model.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "data/u_data.h"
#include "data/u_index.h"
#include "download/draw_download.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "shell/window_catalog.h"
#include "support/test_home.h"
#include "support/window_test.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QThreadPool>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

using namespace lumaro;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");
const QString kFc3d = QStringLiteral("福彩3D");

// What a control expects: one whole number, or whole numbers separated by blanks.
enum class Expect { Number, Numbers };

struct Garbage {
    const char *label;
    QString text;
};

// The garbage typed into a control of each kind.
std::vector<Garbage> GarbageFor(Expect expect)
{
    std::vector<Garbage> values {
        {"empty", QString()},
        {"letters", QStringLiteral("abc")},
        {"negative", QStringLiteral("-5")},
        {"huge", QStringLiteral("99999999999999999999")},
        {"full-width", QStringLiteral("１２")},
        {"comma", QStringLiteral("1,2")},
    };
    if (expect == Expect::Number)
        values.push_back({"two numbers", QStringLiteral("1 2")});
    return values;
}

// A numeric control and the action buttons that read it. By default the control is a line edit
// or an editable combo box found by name; set/get reach other controls (a grid cell).
struct Field {
    QString name;
    Expect expect = Expect::Number;
    QStringList actions;
    std::set<QString> accepted {}; // garbage labels this control legitimately takes
    std::function<void(QWidget *, const QString &)> set {};
    std::function<QString(QWidget *)> get {};
};

// Everything the cases need beside the window: the fixture's program folder, lottery and
// context, and the download windows' flag.
struct Env {
    test::TestHome &home;
    OpenLottery &lottery;
    AppContext &context;
    DownloadDone downloadDone {};
};

struct WindowCase {
    QString label;
    QString lottery; // kQlc or kFc3d
    std::function<QWidget *(Env &)> create;
    std::vector<Field> fields;
    // Typed controls that hold no number (names, times, output boxes the user may select).
    QStringList notNumbers {};
    // Puts the window where its actions read the FieldsOf (files imported, adding mode, …).
    std::function<void(QWidget *, Env &)> prepare {};
    bool show = true; // the quick update starts downloading when shown
    // Save, load and print buttons (or menu actions): pressed with garbage in each field, they
    // must keep running and change nothing once their file or printer dialog is cancelled.
    QStringList sideActions {};
};

// ---------------------------------------------------------------------------------------------
// Waiting, pressing, comparing.

// Waits until no worker of the global pool runs and the queued results have been shown.
bool WaitIdle(int ms = 120000)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QApplication::processEvents();
        if (QThreadPool::globalInstance()->activeThreadCount() == 0) {
            QTest::qWait(5);
            QApplication::processEvents();
            if (QThreadPool::globalInstance()->activeThreadCount() == 0)
                return true;
        }
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
}

QWidget *FindControl(QWidget *window, const QString &name)
{
    for (QWidget *widget : window->findChildren<QWidget *>(name)) {
        if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget))
            return widget;
    }
    return nullptr;
}

void SetText(QWidget *window, const Field &field, const QString &text)
{
    if (field.set) {
        field.set(window, text);
        return;
    }
    QWidget *control = FindControl(window, field.name);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(text);
}

QString Text(QWidget *window, const Field &field)
{
    if (field.get)
        return field.get(window);
    QWidget *control = FindControl(window, field.name);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    return {};
}

void AppendModel(QStringList &out, const QAbstractItemModel *model)
{
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    out << QStringLiteral("model %1x%2").arg(rows).arg(columns);
    for (int c = 0; c < columns && c < 30; ++c)
        out << model->headerData(c, Qt::Horizontal).toString();
    // The first and the last rows: enough to see a grid refilled or cleared.
    for (int r = 0; r < rows; ++r) {
        if (r == 40 && rows > 50)
            r = rows - 10;
        QString line;
        for (int c = 0; c < columns && c < 30; ++c)
            line += model->data(model->index(r, c)).toString() + QLatin1Char('|');
        out << line;
    }
}

// What the window shows as results: labels, read-only boxes, memos, grids and lists, charts,
// button captions and colours. Input controls are left out (the garbage is in one of them).
QStringList WindowState(QWidget *window)
{
    QStringList out {window->windowTitle()};
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const QString name = widget->objectName() + QLatin1Char(':');
        if (auto *label = qobject_cast<QLabel *>(widget))
            out << name + label->text();
        else if (auto *edit = qobject_cast<QLineEdit *>(widget); edit && edit->isReadOnly())
            out << name + edit->text();
        else if (auto *memo = qobject_cast<QPlainTextEdit *>(widget))
            out << name + memo->toPlainText();
        else if (auto *rich = qobject_cast<QTextEdit *>(widget))
            out << name + rich->toPlainText();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            out << name + button->text() + QLatin1Char('|') + button->styleSheet();
        else if (auto *chart = qobject_cast<BarChart *>(widget)) {
            out << name + chart->labels().join(QLatin1Char(' '));
            for (int s = 0; s < chart->seriesCount(); ++s)
                for (int p = 0; p < chart->pointCount(); ++p)
                    out << QString::number(chart->value(s, p));
        } else if (auto *view = qobject_cast<QAbstractItemView *>(widget); view && view->model()) {
            out << name;
            AppendModel(out, view->model());
        }
    }
    return out;
}

// Every file of the program folder with its size and time.
std::map<QString, QString> FolderState(const QString &root)
{
    std::map<QString, QString> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        files[info.filePath()] = QString::number(info.size()) + QLatin1Char('@')
            + QString::number(info.lastModified().toMSecsSinceEpoch());
    }
    return files;
}

bool HasChinese(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x4E00 && ch.unicode() <= 0x9FFF)
            return true;
    }
    return false;
}

QString MessagesText()
{
    QStringList texts;
    for (const dialogs::testing::Message &m : dialogs::testing::Messages())
        texts << m.kind + QLatin1Char(':') + m.text;
    return texts.join(QStringLiteral(" / "));
}

bool InsideGrid(QWidget *widget)
{
    for (QWidget *w = widget->parentWidget(); w; w = w->parentWidget()) {
        if (qobject_cast<QAbstractItemView *>(w))
            return true;
    }
    return false;
}

// Typed controls of the window the case must classify: enabled, shown line edits (not the
// edit inside a combo or spin box, nor a grid's cell editor: cells are fields of their own)
// and editable combo and spin boxes.
QStringList TypedControls(QWidget *window)
{
    QStringList names;
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        if (qobject_cast<QComboBox *>(edit->parentWidget()) || qobject_cast<QAbstractSpinBox *>(edit->parentWidget())
            || InsideGrid(edit))
            continue;
        if (!edit->isReadOnly() && edit->isEnabled() && edit->isVisibleTo(window))
            names << edit->objectName();
    }
    for (QComboBox *combo : window->findChildren<QComboBox *>()) {
        if (combo->isEditable() && combo->isEnabled() && combo->isVisibleTo(window))
            names << combo->objectName();
    }
    for (QAbstractSpinBox *spin : window->findChildren<QAbstractSpinBox *>()) {
        if (!spin->isReadOnly() && spin->isEnabled() && spin->isVisibleTo(window))
            names << spin->objectName();
    }
    return names;
}

// ---------------------------------------------------------------------------------------------
// The cases.

QLineEdit *LineEdit(QWidget *window, const char *name)
{
    return window->findChild<QLineEdit *>(QString::fromLatin1(name));
}

QAbstractButton *Button(QWidget *window, const char *name)
{
    return window->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

std::vector<Field> FieldsOf(const QStringList &names, const QStringList &actions, Expect expect = Expect::Number)
{
    std::vector<Field> out;
    for (const QString &name : names)
        out.push_back(Field {name, expect, actions});
    return out;
}

std::vector<Field> operator+(std::vector<Field> a, const std::vector<Field> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The value sets of the total filter ("2-3", "0-1,3"): a comma is part of their syntax, and the
// sets beside the classic rows may stay empty (their lists count then).
std::vector<Field> TotalFilterValueSets()
{
    std::vector<Field> out;
    const QStringList filt {QStringLiteral("btnfilt")};
    for (const char *name : {"edtdaxiao", "edtjiou", "edthei", "edtkuadu", "edtsandu", "edtpiandu", "edtac"})
        out.push_back(Field {QString::fromLatin1(name), Expect::Number, filt, {"empty", "comma"}});
    for (const char *name : {"edtchonghao", "edtjinqi", "edtlianhao", "edtzuichang", "edtweishu", "edtweihe", "edtlu0",
             "edtlu1", "edtlu2", "edtzhishu", "edtzuzhong1", "edtzuzhong2", "edtzuzhong3"})
        out.push_back(Field {QString::fromLatin1(name), Expect::Number, filt, {"comma"}});
    // Three zones take three parts: one number alone is refused.
    out.push_back(Field {QStringLiteral("edtfenqu"), Expect::Number, filt});
    for (const char *name : {"edtdanmazu1", "edtdanmazu2", "edtdanmazu3"})
        out.push_back(Field {QString::fromLatin1(name), Expect::Numbers, filt});
    return out;
}

// The stop rule every exclusion window reads before a run, and the count of its 历史验证.
std::vector<Field> StopFields(const QString &run)
{
    return FieldsOf({QStringLiteral("edtjushu"), QStringLiteral("edtcishu")}, {run})
        + FieldsOf({QStringLiteral("comyanzheng")}, {QStringLiteral("btnyanzheng")});
}

QWidget *ToolWindow(Env &env, const char *key)
{
    const ToolWindowEntry *entry = FindToolWindow(QString::fromLatin1(key));
    return entry ? entry->create(env.context, nullptr) : nullptr;
}

// The number cells of the row the draw editor is adding (七乐彩: period, seven numbers, date).
Field DrawCell(int column)
{
    Field field;
    field.name = QStringLiteral("grdcaipiao[%1]").arg(column);
    field.actions = {QStringLiteral("btnedit"), QStringLiteral("btnadd")};
    field.set = [column](QWidget *window, const QString &value) {
        DrawEditModel *model = static_cast<Tfrmdata *>(window)->model();
        model->setData(model->index(model->rowCount() - 1, column), value);
    };
    field.get = [column](QWidget *window) {
        DrawEditModel *model = static_cast<Tfrmdata *>(window)->model();
        return model->data(model->index(model->rowCount() - 1, column)).toString();
    };
    return field;
}

std::vector<WindowCase> WindowCases()
{
    std::vector<WindowCase> cases;
    const auto tool = [](const char *key) { return [key](Env &env) { return ToolWindow(env, key); }; };

    // Tool windows of the menus, in catalog order; the pickers have no typed numbers.
    cases.push_back({QStringLiteral("Tfrmtotalfilt"), kQlc, tool("Tfrmtotalfilt"),
        FieldsOf({QStringLiteral("comdaxiao1"), QStringLiteral("comdaxiao2"), QStringLiteral("comjiou1"),
                     QStringLiteral("comjiou2"), QStringLiteral("comhei1"), QStringLiteral("comhei2"),
                     QStringLiteral("comkuadu1"), QStringLiteral("comkuadu2"), QStringLiteral("comsandu1"),
                     QStringLiteral("comsandu2"), QStringLiteral("compiandu1"), QStringLiteral("compiandu2"),
                     QStringLiteral("comac1"), QStringLiteral("comac2"), QStringLiteral("edtnum1"),
                     QStringLiteral("edtnum2"), QStringLiteral("edtzhong1"), QStringLiteral("edtzhong2")},
            {QStringLiteral("btnfilt")})
            + FieldsOf({QStringLiteral("edtdanma")}, {QStringLiteral("btnfilt")}, Expect::Numbers)
            + FieldsOf({QStringLiteral("edtsuiji1")}, {QStringLiteral("btnsuiji1")})
            + FieldsOf({QStringLiteral("edtsuiji")}, {QStringLiteral("btnsuiji")}) + TotalFilterValueSets(),
        // The spin boxes of 近P期 and 容错 take only whole numbers of their range as typed.
        {QStringLiteral("edtqishu"), QStringLiteral("edtrongcuo")}, [](QWidget *window, Env &) {
            // Every condition on with values of its list, so each text is read by 过滤.
            for (QAbstractButton *check : window->findChildren<QAbstractButton *>()) {
                if (check->isCheckable() && check->objectName().startsWith(QLatin1String("chk")))
                    check->setChecked(true);
            }
            for (QComboBox *combo : window->findChildren<QComboBox *>()) {
                if (combo->isEditable())
                    combo->setCurrentIndex(combo->objectName().endsWith(QLatin1Char('1')) ? 0 : combo->count() - 1);
            }
            LineEdit(window, "edtdanma")->setText(QStringLiteral("3 15"));
            for (const char *name : {"edtchonghao", "edtjinqi", "edtlianhao", "edtzuichang", "edtweishu", "edtlu0",
                     "edtlu1", "edtlu2", "edtzhishu", "edtzuzhong1", "edtzuzhong2", "edtzuzhong3"})
                LineEdit(window, name)->setText(QStringLiteral("0-7"));
            LineEdit(window, "edtweihe")->setText(QStringLiteral("0-63"));
            LineEdit(window, "edtfenqu")->setText(QStringLiteral("0-7:0-7:0-7"));
            for (const char *name : {"edtdanmazu1", "edtdanmazu2", "edtdanmazu3"})
                LineEdit(window, name)->setText(QStringLiteral("1 2"));
            Button(window, "btnsuiji1")->click();
        }});
    cases.back().sideActions
        = {QStringLiteral("btnsave"), QStringLiteral("btnload"), QStringLiteral("actprint"), QStringLiteral("actpdf"),
            QStringLiteral("btnsavetiaojian"), QStringLiteral("btnloadtiaojian"), QStringLiteral("btnfenbu")};
    cases.push_back(
        {QStringLiteral("Tfrmjuzheng"), kQlc, tool("Tfrmjuzheng"), {}, {}, [](QWidget *window, Env &) {
             for (int i = 1; i <= 10; ++i)
                 LineEdit(window, qPrintable(QStringLiteral("edtnum%1").arg(i)))->setText(QString::number(2 * i));
         }});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnprint")};
    for (int i = 1; i <= 10; ++i)
        cases.back().fields.push_back(
            Field {QStringLiteral("edtnum%1").arg(i), Expect::Number, {QStringLiteral("btngen")}});
    for (const char *key : {"Tfrmpiantai", "Tfrmyilou", "Tfrmsep", "Tfrmqingmi"})
        cases.push_back({QString::fromLatin1(key), kQlc, tool(key), {}});
    cases.push_back({QStringLiteral("Tfrmallcongma"), kQlc, tool("Tfrmallcongma"),
        StopFields(QStringLiteral("btngen")) + FieldsOf({QStringLiteral("comAC")}, {QStringLiteral("btngen")})
            + FieldsOf({QStringLiteral("comqishu")},
                {QStringLiteral("btngen"), QStringLiteral("btntongji"), QStringLiteral("btntongji2")})});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload")};
    cases.push_back({QStringLiteral("Tfrmallhei"), kQlc, tool("Tfrmallhei"),
        StopFields(QStringLiteral("btngen"))
            + FieldsOf({QStringLiteral("comhei1"), QStringLiteral("comhei2")}, {QStringLiteral("btngen")})});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload")};
    cases.push_back({QStringLiteral("Tfrmallpiantai"), kQlc, tool("Tfrmallpiantai"),
        StopFields(QStringLiteral("btngen"))
            + FieldsOf({QStringLiteral("edtdanum"), QStringLiteral("edtdanum1"), QStringLiteral("edtdanum2"),
                           QStringLiteral("edtxiaonum"), QStringLiteral("edtxiaonum1"), QStringLiteral("edtxiaonum2"),
                           QStringLiteral("edtyanxunum")},
                {QStringLiteral("btngen")})});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload")};
    cases.push_back({QStringLiteral("Tfrmallgensui"), kQlc, tool("Tfrmallgensui"),
        StopFields(QStringLiteral("btnfilt"))
            + FieldsOf({QStringLiteral("edthuishu"), QStringLiteral("comhei1"), QStringLiteral("comhei2")},
                {QStringLiteral("btnfilt"), QStringLiteral("btntongji")})});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload")};
    for (const char *key : {"Tfrmganzhi", "Tfrmsibu"})
        cases.push_back({QString::fromLatin1(key), kQlc, tool(key), {}});
    cases.push_back({QStringLiteral("Tfrmfushi"), kQlc, tool("Tfrmfushi"),
        FieldsOf({QStringLiteral("edtnum"), QStringLiteral("edtyilouqishu")}, {QStringLiteral("btnsou")}),
        {QStringLiteral("edtfushicode")}});
    cases.push_back({QStringLiteral("Tfrmjiaoqi"), kQlc, tool("Tfrmjiaoqi"),
        FieldsOf({QStringLiteral("edtnum1"), QStringLiteral("edtnum2")}, {QStringLiteral("btnjiaoqi")}), {},
        [](QWidget *window, Env &env) {
            const QString a = env.home.path(QStringLiteral("大底一.txt"));
            const QString b = env.home.path(QStringLiteral("大底二.txt"));
            test::WriteFile(a, "01 02 03 04 05 06 07\r\n01 02 03 04 05 06 08\r\n");
            test::WriteFile(b, "01 02 03 04 05 06 07\r\n11 12 13 14 15 16 17\r\n");
            dialogs::testing::QueueFiles({a, b});
            Button(window, "btndaoru")->click();
        }});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btndaoru")};
    const QStringList stake {QStringLiteral("edtprekui"), QStringLiteral("edtlirun"), QStringLiteral("edtinofsin"),
        QStringLiteral("edtoutofsin"), QStringLiteral("edtdays")};
    // The chance box of the plan's risk: empty, it takes the chance the lottery gives.
    const auto chance = [](const QString &action) {
        return std::vector<Field> {Field {QStringLiteral("edtgailv"), Expect::Number, {action}, {"empty"}}};
    };
    cases.push_back({QStringLiteral("Tfrmgudingjihua"), kQlc, tool("Tfrmgudingjihua"),
        FieldsOf(stake, {QStringLiteral("btnala")}) + chance(QStringLiteral("btnala"))});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload"), QStringLiteral("btnprint")};
    cases.push_back({QStringLiteral("Tfrmjieduanjihua"), kQlc, tool("Tfrmjieduanjihua"),
        FieldsOf(stake + QStringList {QStringLiteral("edtjieduan")}, {QStringLiteral("btnala")})
            + chance(QStringLiteral("btnala"))});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload"), QStringLiteral("btnprint")};
    cases.push_back({QStringLiteral("Tfrmkeibianjihua"), kQlc, tool("Tfrmkeibianjihua"),
        FieldsOf({QStringLiteral("edtprekui"), QStringLiteral("edtlirun"), QStringLiteral("edtoutofsin"),
                     QStringLiteral("edtdays"), QStringLiteral("edtjushu")},
            {QStringLiteral("btnjisuan")})
            + chance(QStringLiteral("btnjisuan")),
        // 单倍投入 is only printed: a variable plan stakes 2 a ticket.
        {QStringLiteral("edtinofsin")}, [](QWidget *window, Env &) { Button(window, "btnnew")->click(); }});
    cases.back().sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnload"), QStringLiteral("btnprint")};
    cases.push_back({QStringLiteral("Tfrmtozi"), kFc3d, tool("Tfrmtozi"),
        FieldsOf({QStringLiteral("edtjushu")},
            {QStringLiteral("btnfilt"), QStringLiteral("btnala"), QStringLiteral("btnyouhua")})
            + FieldsOf({QStringLiteral("edtoutofsin"), QStringLiteral("edtlirun"), QStringLiteral("edtsinmax"),
                           QStringLiteral("edtallmax")},
                {QStringLiteral("btnala"), QStringLiteral("btnyouhua")}),
        {}, [](QWidget *window, Env &) { Button(window, "btnfilt")->click(); }});

    // The tab views.
    for (int i = 0; i < kTabCount; ++i)
        cases.push_back({QStringLiteral("tab %1 %2").arg(i).arg(TabCaption(i)), kQlc,
            [i](Env &env) { return CreateTabView(i, env.context, nullptr); }, {}});

    // The modal windows of the data menu and the lottery manager.
    WindowCase editor {QStringLiteral("Tfrmdata"), kQlc,
        [](Env &env) { return CreateDrawEditor(env.context, nullptr); }, {}, {},
        [](QWidget *window, Env &) {
            auto *list = window->findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
            list->setCurrentItem(list->findItems(kQlc, Qt::MatchExactly).front());
            auto *data = static_cast<Tfrmdata *>(window);
            data->lstcaipiaoClick();
            data->btneditClick();
            data->btnaddClick();
            const QStringList cells {QStringLiteral("2099001"), QStringLiteral("01"), QStringLiteral("05"),
                QStringLiteral("09"), QStringLiteral("13"), QStringLiteral("17"), QStringLiteral("21"),
                QStringLiteral("25"), QStringLiteral("2099-01-01")};
            DrawEditModel *model = data->model();
            for (int c = 0; c < cells.size() && c < model->columnCount(); ++c)
                model->setData(model->index(model->rowCount() - 1, c), cells[c]);
        }};
    for (int column = 0; column <= 7; ++column)
        editor.fields.push_back(DrawCell(column));
    editor.sideActions = {QStringLiteral("btnsave"), QStringLiteral("btnimport")};
    cases.push_back(editor);
    cases.push_back({QStringLiteral("Tfrmdownload2"), kQlc,
        [](Env &env) { return CreateDownloadWindow(env.context, env.downloadDone, nullptr); }, {}});
    cases.push_back({QStringLiteral("Tfrmdownload3"), kQlc,
        [](Env &env) { return CreateQuickUpdateWindow(env.context, env.downloadDone, nullptr); }, {}, {}, {}, false});
    cases.push_back({QStringLiteral("Tfrmindex"), kQlc, [](Env &env) { return new Tfrmindex(env.context, nullptr); },
        FieldsOf({QStringLiteral("edtcaisum"), QStringLiteral("edtcaisel")}, {QStringLiteral("btnadd")}),
        {QStringLiteral("edtcainame"), QStringLiteral("edtcaitime")},
        [](QWidget *window, Env &) {
            Button(window, "btnadd")->click();
            LineEdit(window, "edtcainame")->setText(QStringLiteral("测试彩票"));
            LineEdit(window, "edtcaitime")->setText(QStringLiteral("20:30"));
        }});
    // Adding a two-zone lottery: the back zone's fields show and are read as well.
    cases.push_back(
        {QStringLiteral("Tfrmindex_twozone"), kQlc, [](Env &env) { return new Tfrmindex(env.context, nullptr); },
            FieldsOf({QStringLiteral("edtcaisum"), QStringLiteral("edtcaisel"), QStringLiteral("edthouqusum"),
                         QStringLiteral("edthouqusel")},
                {QStringLiteral("btnadd")}),
            {QStringLiteral("edtcainame"), QStringLiteral("edtcaitime")},
            [](QWidget *window, Env &) {
                Button(window, "btnadd")->click();
                window->findChild<QAbstractButton *>(QStringLiteral("optcaitype2"))->click();
                LineEdit(window, "edtcainame")->setText(QStringLiteral("测试双区"));
                LineEdit(window, "edtcaisum")->setText(QStringLiteral("33"));
                LineEdit(window, "edtcaisel")->setText(QStringLiteral("6"));
                LineEdit(window, "edthouqusum")->setText(QStringLiteral("16"));
                LineEdit(window, "edthouqusel")->setText(QStringLiteral("1"));
            }});
    return cases;
}

// ---------------------------------------------------------------------------------------------

class GarbageInput : public test::WindowTest, public ::testing::WithParamInterface<int> { };

// One window: opens it on a lottery with its real history, then types each garbage value into
// each numeric control and presses each action that reads the control.
void RunCase(const WindowCase &c, Env &env)
{
    const QString history
        = test::HistoryFile(c.lottery == kQlc ? QStringLiteral("qlc.csv") : QStringLiteral("fc3d.csv"));
    ImportDrawFile(env.home.store(), c.lottery, history);
    env.lottery.open(env.home.store(), c.lottery);

    std::unique_ptr<QWidget> window;
    std::map<QString, QString> valid; // the prepared texts of the fields
    const auto open = [&] {
        window.reset();
        WaitIdle();
        window.reset(c.create(env));
        ASSERT_NE(window, nullptr);
        if (c.show)
            window->show();
        ASSERT_TRUE(WaitIdle()) << "the window's first run did not end";
        if (c.prepare)
            c.prepare(window.get(), env);
        ASSERT_TRUE(WaitIdle());
        dialogs::testing::Clear();
        valid.clear();
        for (const Field &field : c.fields)
            valid[field.name] = Text(window.get(), field);
    };
    open();
    if (::testing::Test::HasFatalFailure())
        return;

    // Every typed control is either a listed numeric field or a known text box, so a control
    // added later is not silently left out.
    QStringList listed = c.notNumbers;
    for (const Field &field : c.fields) {
        listed << field.name;
        if (!field.set) {
            EXPECT_NE(FindControl(window.get(), field.name), nullptr) << qPrintable(field.name);
        }
        for (const QString &action : field.actions) {
            QAbstractButton *b = window->findChild<QAbstractButton *>(action);
            EXPECT_TRUE(b && b->isEnabled()) << qPrintable(c.label + QLatin1Char(' ') + action);
        }
    }
    for (const QString &name : TypedControls(window.get()))
        EXPECT_TRUE(listed.contains(name))
            << qPrintable(c.label) << ": typed control " << qPrintable(name) << " is not in the table";

    const bool verbose = qEnvironmentVariableIsSet("LUMARO_GARBAGE_VERBOSE");
    // A button with a menu would open it (and wait): its menu actions are listed instead.
    for (const QString &name : c.sideActions) {
        auto *push = window->findChild<QPushButton *>(name);
        EXPECT_TRUE((push && !push->menu()) || window->findChild<QAction *>(name))
            << qPrintable(c.label + QLatin1Char(' ') + name);
    }
    // Types the garbage into the field (the others hold their prepared texts), presses the
    // action with every question answered "no" and every file dialog cancelled, and checks what
    // every press must keep: no escaped exception, the end of any run, the window's results
    // and the program folder. Returns false on a fault.
    const auto press = [&](const Field &field, const Garbage &garbage, const QString &action, bool needsMessage) {
        const QString where = QStringLiteral("%1 / %2 = \"%3\" (%4) / %5")
                                  .arg(c.label, field.name, garbage.text, QString::fromLatin1(garbage.label), action);
        for (const Field &other : c.fields)
            SetText(window.get(), other, valid[other.name]);
        SetText(window.get(), field, garbage.text);
        const QStringList before = WindowState(window.get());
        const auto filesBefore = FolderState(env.home.folder().path());
        dialogs::testing::Clear();
        for (int i = 0; i < 8; ++i)
            dialogs::testing::QueueAnswer(false);

        bool escaped = false;
        try {
            auto *push = window->findChild<QAbstractButton *>(action);
            auto *menuAction = window->findChild<QAction *>(action);
            if (push && push->isEnabled())
                push->click();
            else if (menuAction && menuAction->isEnabled())
                menuAction->trigger();
        } catch (...) {
            escaped = true;
        }
        const bool idle = WaitIdle();
        const QString said = MessagesText();
        if (verbose)
            std::printf("%s -> %s\n", qPrintable(where), qPrintable(said));

        bool ok = true;
        const auto expect = [&](bool holds, const char *what) {
            if (!holds) {
                ADD_FAILURE() << qPrintable(where) << ": " << what << " [" << qPrintable(said) << "]";
                ok = false;
            }
        };
        expect(!escaped, "an exception escaped the action");
        expect(idle, "the run did not end");
        if (needsMessage) {
            expect(!said.isEmpty(), "no message was shown");
            bool chinese = false;
            for (const dialogs::testing::Message &m : dialogs::testing::Messages())
                chinese = chinese || HasChinese(m.text);
            expect(said.isEmpty() || chinese, "the message is not Chinese");
        }
        expect(WindowState(window.get()) == before, "the window's results changed");
        expect(FolderState(env.home.folder().path()) == filesBefore, "a file was written");
        return ok;
    };

    for (const Field &field : c.fields) {
        for (const Garbage &garbage : GarbageFor(field.expect)) {
            if (field.accepted.count(QString::fromLatin1(garbage.label)))
                continue;
            // An action that reads the field refuses it with a message; a save, load or print
            // only has to change nothing once its dialog is cancelled.
            std::vector<std::pair<QString, bool>> presses;
            for (const QString &action : field.actions)
                presses.emplace_back(action, true);
            for (const QString &action : c.sideActions)
                presses.emplace_back(action, false);
            for (const auto &[action, needsMessage] : presses) {
                if (!press(field, garbage, action, needsMessage)) {
                    // Start again from a fresh window so one fault does not hide the next.
                    open();
                    if (::testing::Test::HasFatalFailure())
                        return;
                }
            }
        }
    }
    dialogs::testing::Clear();
    window.reset();
    WaitIdle();
}

const std::vector<WindowCase> &AllCases()
{
    static const std::vector<WindowCase> cases = WindowCases();
    return cases;
}

} // namespace

TEST_P(GarbageInput, IsRefusedWithAMessageAndChangesNothing)
{
    Env env {home, lottery, context};
    RunCase(AllCases()[static_cast<std::size_t>(GetParam())], env);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, GarbageInput, ::testing::Range(0, static_cast<int>(AllCases().size())),
    [](const ::testing::TestParamInfo<int> &info) {
        QString name = AllCases()[static_cast<std::size_t>(info.param)].label;
        if (name.startsWith(QLatin1String("tab ")))
            name = QStringLiteral("tab%1").arg(info.param);
        return name.toStdString();
    });
