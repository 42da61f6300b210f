#pragma once

#include <QDialog>

#include <array>

class QListWidget;
class QPushButton;
class QTableView;
class QToolButton;

namespace lumaro {

struct AppContext;
class DrawEditModel;

// The draw editor: browse, type in, correct, delete, import and export the draws of any lottery.
class Tfrmdata : public QDialog {
    Q_OBJECT
public:
    Tfrmdata(AppContext &context, QWidget *parent = nullptr);

    // The ten navigator buttons in order: first, prior, next, last, insert, delete, edit, post,
    // cancel, refresh.
    QToolButton *navigatorButton(int index) const { return m_nav[static_cast<std::size_t>(index)]; }
    DrawEditModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    bool entering() const;

    void lstcaipiaoClick();
    void btneditClick();
    void btnaddClick();
    void btnsaveClick();
    void btnimportClick();
    // Moves to a row, posting the row being left; false when that row could not be posted.
    bool moveTo(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void navigate(int button);
    bool postCurrent();
    void commitOpenEditor();
    bool settlePendingEdits();
    void placeAddButton();
    void setColumnWidths();
    int currentRow() const;

    AppContext &m_context;
    DrawEditModel *m_model;
    QListWidget *m_list;
    QTableView *m_grid;
    QWidget *m_navigator;
    std::array<QToolButton *, 10> m_nav {};
    QPushButton *m_add;
    QPushButton *m_save;
    QPushButton *m_import;
    QPushButton *m_edit;
    QPushButton *m_exit;
    bool m_moving = false;
};

} // namespace lumaro
