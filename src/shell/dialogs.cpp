#include "shell/dialogs.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QList>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QQueue>

namespace lumaro::dialogs {

namespace {

struct TestState {
    bool enabled = false;
    QQueue<QString> files;
    QQueue<QStringList> fileLists;
    QQueue<bool> answers;
    QQueue<int> choices;
    QList<testing::Message> messages;
    QList<QUrl> urls;
};

TestState &TestingState()
{
    static TestState s;
    return s;
}

bool Record(const QString &kind, const QString &title, const QString &text)
{
    if (!TestingState().enabled)
        return false;
    TestingState().messages.append({kind, title, text});
    return true;
}

QString StartPath(const QString &folder, const QString &proposed)
{
    if (proposed.isEmpty())
        return folder;
    if (QFileInfo(proposed).isAbsolute() || folder.isEmpty())
        return proposed;
    return QDir(folder).filePath(proposed);
}

} // namespace

QString QtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        if (!label.contains(QLatin1Char('(')))
            label += QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        filters << label;
    }
    if (filters.isEmpty())
        filters << filter;
    return filters.join(QStringLiteral(";;"));
}

QString OpenFile(QWidget *parent, const QString &caption, const QString &startFolder, const QString &filter)
{
    if (TestingState().enabled)
        return TestingState().files.isEmpty() ? QString() : TestingState().files.dequeue();
    return QFileDialog::getOpenFileName(parent, caption, startFolder, QtFilter(filter));
}

QStringList OpenFiles(QWidget *parent, const QString &caption, const QString &startFolder, const QString &filter)
{
    if (TestingState().enabled)
        return TestingState().fileLists.isEmpty() ? QStringList() : TestingState().fileLists.dequeue();
    return QFileDialog::getOpenFileNames(parent, caption, startFolder, QtFilter(filter));
}

QString SaveFile(QWidget *parent, const QString &caption, const QString &startFolder, const QString &proposed,
    const QString &filter, const QString &defaultSuffix)
{
    QString path;
    if (TestingState().enabled) {
        path = TestingState().files.isEmpty() ? QString() : TestingState().files.dequeue();
    } else {
        QFileDialog dialog(parent, caption, StartPath(startFolder, proposed), QtFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().front();
    }
    if (!path.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultSuffix;
    return path;
}

void Information(QWidget *parent, const QString &title, const QString &text)
{
    if (!Record(QStringLiteral("information"), title, text))
        QMessageBox::information(parent, title, text);
}

void Warning(QWidget *parent, const QString &title, const QString &text)
{
    if (!Record(QStringLiteral("warning"), title, text))
        QMessageBox::warning(parent, title, text);
}

void Critical(QWidget *parent, const QString &title, const QString &text)
{
    if (!Record(QStringLiteral("error"), title, text))
        QMessageBox::critical(parent, title, text);
}

bool Question(QWidget *parent, const QString &title, const QString &text, bool warningIcon)
{
    if (Record(QStringLiteral("question"), title, text))
        return TestingState().answers.isEmpty() ? true : TestingState().answers.dequeue();
    QMessageBox box(warningIcon ? QMessageBox::Warning : QMessageBox::Question, title, text,
        QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    return box.exec() == QMessageBox::Yes;
}

int Choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons)
{
    if (Record(QStringLiteral("question"), title, text))
        return TestingState().choices.isEmpty() ? 0 : TestingState().choices.dequeue();
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        QPushButton *button = box.addButton(buttons[i], last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (i == 0)
            box.setDefaultButton(button);
        if (last)
            box.setEscapeButton(button);
        added << button;
    }
    box.exec();
    const qsizetype index = added.indexOf(box.clickedButton());
    return index < 0 ? static_cast<int>(buttons.size()) - 1 : static_cast<int>(index);
}

bool ChoosePrinter(QWidget *parent, QPrinter &printer, const QString &title, bool pageRange)
{
    if (Record(QStringLiteral("print"), title, QString()))
        return false;
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pageRange);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

void OpenUrl(const QUrl &url)
{
    if (TestingState().enabled) {
        TestingState().urls.append(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

namespace testing {

QList<QUrl> OpenedUrls()
{
    return TestingState().urls;
}

void SetEnabled(bool enabled)
{
    TestingState().enabled = enabled;
}

bool Enabled()
{
    return TestingState().enabled;
}

void QueueFile(const QString &path)
{
    TestingState().files.enqueue(path);
}

void QueueFiles(const QStringList &paths)
{
    TestingState().fileLists.enqueue(paths);
}

void QueueAnswer(bool yes)
{
    TestingState().answers.enqueue(yes);
}

void QueueChoice(int index)
{
    TestingState().choices.enqueue(index);
}

QList<Message> Messages()
{
    return TestingState().messages;
}

QString LastMessage()
{
    return TestingState().messages.isEmpty() ? QString() : TestingState().messages.back().text;
}

void Clear()
{
    TestingState().files.clear();
    TestingState().fileLists.clear();
    TestingState().answers.clear();
    TestingState().choices.clear();
    TestingState().messages.clear();
    TestingState().urls.clear();
}

} // namespace testing

} // namespace lumaro::dialogs
