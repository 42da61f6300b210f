#pragma once

#include <QAbstractListModel>
#include <QBuffer>
#include <QByteArray>
#include <QFile>

#include <vector>

namespace lumaro {

// The lines of a text (a result list or a ticket file) for a list view, without turning
// millions of lines into items. A text in memory is kept as bytes with the offset of every
// line; a result list file whose lines all have the same length is read on demand, a block of
// lines at a time, so even millions of lines cost no memory. A line becomes a string only when
// the view asks for it. Lines end with LF or CR LF; a final line break adds no line.
class TextLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TextLinesModel(QObject *parent = nullptr);

    void setContent(QByteArray content);
    // Shows a file. A file of equal-length lines stays on disk (the open handle keeps showing
    // it even when the file is replaced later); any other file is read into memory.
    // Throws an IoError when it cannot be read.
    void setFile(const QString &path);
    void clear() { setContent(QByteArray()); }
    qint64 lineCount() const { return m_lines; }
    QString line(qint64 row) const;
    // The whole text from its start, for saving it.
    QIODevice &device();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QByteArrayView fixedLine(qint64 row) const;

    qint64 m_lines = 0;
    // In memory.
    QByteArray m_content;
    std::vector<qint64> m_starts;
    QBuffer m_buffer;
    // On disk, every line m_lineLength bytes long.
    mutable QFile m_file;
    qint64 m_lineLength = 0;
    mutable qint64 m_blockStart = -1;
    mutable QByteArray m_block;
};

} // namespace lumaro
