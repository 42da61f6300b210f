#pragma once

#include <QAbstractListModel>
#include <QByteArray>

#include <vector>

namespace lumaro {

// The lines of a result list ("temp.txt") for a list view: the text is kept as it was read and
// lines are cut out on demand, so two million tickets show at once without two million items.
class ResultLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultLinesModel(QObject *parent = nullptr);

    // A text cut into lines: the start of each line. Cutting a long list takes a while, so a
    // worker can do it and the window only swaps the result in.
    struct Lines {
        QByteArray content;
        std::vector<qsizetype> starts;
    };
    // CR LF and LF both end a line; a final line break adds no line.
    static Lines split(QByteArray content);

    void setContent(QByteArray content) { setLines(split(std::move(content))); }
    void setLines(Lines lines);
    void clear() { setContent({}); }
    const QByteArray &content() const { return m_content; }
    int lineCount() const { return static_cast<int>(m_starts.size()); }
    QString line(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QByteArray m_content;
    std::vector<qsizetype> m_starts;
};

} // namespace lumaro
