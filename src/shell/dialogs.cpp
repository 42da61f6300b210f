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

TestState &state()
{
    static TestState s;
    return s;
}

bool record(const QString &kind, const QString &title, const QString &text)
{
    if (!state().enabled)
        return false;
    state().messages.append({kind, title, text});
    return true;
}

QString startPath(const QString &folder, const QString &proposed)
{
    if (proposed.isEmpty())
        return folder;
    if (QFileInfo(proposed).isAbsolute() || folder.isEmpty())
        return proposed;
    return QDir(folder).filePath(proposed);
}

} // namespace

QString qtFilter(const QString &filter)
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

QString openFile(QWidget *parent, const QString &caption, const QString &startFolder, const QString &filter)
{
    if (state().enabled)
        return state().files.isEmpty() ? QString() : state().files.dequeue();
    return QFileDialog::getOpenFileName(parent, caption, startFolder, qtFilter(filter));
}

QStringList openFiles(QWidget *parent, const QString &caption, const QString &startFolder, const QString &filter)
{
    if (state().enabled)
        return state().fileLists.isEmpty() ? QStringList() : state().fileLists.dequeue();
    return QFileDialog::getOpenFileNames(parent, caption, startFolder, qtFilter(filter));
}

QString saveFile(QWidget *parent, const QString &caption, const QString &startFolder, const QString &proposed,
    const QString &filter, const QString &defaultSuffix)
{
    QString path;
    if (state().enabled) {
        path = state().files.isEmpty() ? QString() : state().files.dequeue();
    } else {
        QFileDialog dialog(parent, caption, startPath(startFolder, proposed), qtFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().front();
    }
    if (!path.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultSuffix;
    return path;
}

void information(QWidget *parent, const QString &title, const QString &text)
{
    if (!record(QStringLiteral("information"), title, text))
        QMessageBox::information(parent, title, text);
}

void warning(QWidget *parent, const QString &title, const QString &text)
{
    if (!record(QStringLiteral("warning"), title, text))
        QMessageBox::warning(parent, title, text);
}

void error(QWidget *parent, const QString &title, const QString &text)
{
    if (!record(QStringLiteral("error"), title, text))
        QMessageBox::critical(parent, title, text);
}

bool question(QWidget *parent, const QString &title, const QString &text, bool warningIcon)
{
    if (record(QStringLiteral("question"), title, text))
        return state().answers.isEmpty() ? true : state().answers.dequeue();
    QMessageBox box(warningIcon ? QMessageBox::Warning : QMessageBox::Question, title, text,
        QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    return box.exec() == QMessageBox::Yes;
}

int choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons)
{
    if (record(QStringLiteral("question"), title, text))
        return state().choices.isEmpty() ? 0 : state().choices.dequeue();
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

bool choosePrinter(QWidget *parent, QPrinter &printer, const QString &title, bool pageRange)
{
    if (record(QStringLiteral("print"), title, QString()))
        return false;
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pageRange);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

void openUrl(const QUrl &url)
{
    if (state().enabled) {
        state().urls.append(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

namespace testing {

QList<QUrl> openedUrls()
{
    return state().urls;
}

void setEnabled(bool enabled)
{
    state().enabled = enabled;
}

bool enabled()
{
    return state().enabled;
}

void queueFile(const QString &path)
{
    state().files.enqueue(path);
}

void queueFiles(const QStringList &paths)
{
    state().fileLists.enqueue(paths);
}

void queueAnswer(bool yes)
{
    state().answers.enqueue(yes);
}

void queueChoice(int index)
{
    state().choices.enqueue(index);
}

QList<Message> messages()
{
    return state().messages;
}

QString lastMessage()
{
    return state().messages.isEmpty() ? QString() : state().messages.back().text;
}

void clear()
{
    state().files.clear();
    state().fileLists.clear();
    state().answers.clear();
    state().choices.clear();
    state().messages.clear();
    state().urls.clear();
}

} // namespace testing

} // namespace lumaro::dialogs
