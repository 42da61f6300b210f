#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QPrinter;
class QWidget;

// File dialogs and message boxes of the program, behind one small wrapper so that widget tests
// answer them: in test mode nothing is shown, file dialogs return the queued answers (none
// queued = cancelled), questions return the queued answer (none queued = Yes), and every
// message is recorded.
namespace lumaro::dialogs {

// "文本文件(*.txt)|*.txt" → "文本文件(*.txt)"; several pairs become ";;"-separated filters.
QString QtFilter(const QString &filter);

// Empty text when cancelled. startFolder may be empty.
QString OpenFile(QWidget *parent, const QString &caption, const QString &startFolder, const QString &filter);
QStringList OpenFiles(QWidget *parent, const QString &caption, const QString &startFolder, const QString &filter);
// proposed: a file name or a full path; defaultSuffix without the dot ("txt") is added when the
// typed name has none.
QString SaveFile(QWidget *parent, const QString &caption, const QString &startFolder, const QString &proposed,
    const QString &filter, const QString &defaultSuffix);

void Information(QWidget *parent, const QString &title, const QString &text);
void Warning(QWidget *parent, const QString &title, const QString &text);
void Critical(QWidget *parent, const QString &title, const QString &text);
// Yes/No; true for Yes.
bool Question(QWidget *parent, const QString &title, const QString &text, bool warningIcon = false);
// A question with its own buttons, the first the default and the last what Escape or the
// window's close button choose; returns the index of the button chosen.
int Choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons);

// The print dialog for printer; false when cancelled. In test mode it is recorded as a
// "print" message and cancelled.
bool ChoosePrinter(QWidget *parent, QPrinter &printer, const QString &title, bool pageRange = false);

// Opens a web address or a file in the desktop's default program; recorded, not opened, in
// test mode.
void OpenUrl(const QUrl &url);

namespace testing {
struct Message {
    QString kind; // "information", "warning", "error", "question"
    QString title;
    QString text;
};
void SetEnabled(bool enabled);
bool Enabled();
void QueueFile(const QString &path); // next openFile / saveFile answer ("" = cancel)
void QueueFiles(const QStringList &paths); // next openFiles answer
void QueueAnswer(bool yes); // next question answer
void QueueChoice(int index); // next choose answer (none queued = 0, the first button)
QList<Message> Messages();
QString LastMessage(); // text of the last message, empty if none
QList<QUrl> OpenedUrls();
void Clear();
} // namespace testing

} // namespace lumaro::dialogs
