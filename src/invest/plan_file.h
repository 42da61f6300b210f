#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// The plan text file shared by the three plan windows: one value per line, CR LF. First the
// texts of the input boxes in the window's order, exactly as typed, then every cell of every
// table row, row by row. There is no header, count or terminator.
namespace lumaro {

// The lines of a text file, CR LF or LF, trailing empty lines dropped.
QStringList SplitTextLines(const QByteArray &content);
// Replaces a file with the content in one step; an IoError when it cannot be written.
void WriteWholeFile(const QString &path, const QByteArray &content);

QByteArray PlanFileText(const QStringList &fields, const std::vector<QStringList> &rows);
// Writes the file, replacing it; an IoError when it cannot be written.
void WritePlanFile(const QString &path, const QStringList &fields, const std::vector<QStringList> &rows);

struct PlanFileContent {
    QStringList fields; // fieldCount texts; a missing line reads as an empty text
    std::vector<std::vector<qint64>> rows; // complete rows read, at most maxRows
    std::vector<QStringList> rowTexts; // the same rows as the file spells them
    // Reading stopped at a row that was cut short or held a text that is not a whole number.
    bool failed = false;
    QString failedText; // the text that did not convert ("" for a missing line)
    // Rows after the first maxRows that were left unread (only counted, not checked).
    int extraRows = 0;
};

// Reads the fields, then rows of `columns` values until the end of the file (trailing empty
// lines are ignored). maxRowsField is the index of the field that limits the row count
// (投注期数), or -1 for no limit; when that field is not a whole number the ConversionError is
// thrown after nothing was read. A file that cannot be opened is an IoError.
PlanFileContent ReadPlanFile(const QString &path, int fieldCount, int columns, int maxRowsField);
PlanFileContent ParsePlanFile(const QByteArray &content, int fieldCount, int columns, int maxRowsField);

} // namespace lumaro
