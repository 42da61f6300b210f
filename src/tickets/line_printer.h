#pragma once

#include <QString>

#include <functional>

class QPrinter;

namespace lumaro {

// Prints numbered text lines (a result list) page by page: a heading with the page number on
// every page, then as many lines as fit, in a fixed-width font. Honours the page range chosen
// in the print dialog. Returns the pages printed.
int PrintTextLines(
    QPrinter &printer, const QString &heading, qint64 lineCount, const std::function<QString(qint64 line)> &lineAt);

} // namespace lumaro
