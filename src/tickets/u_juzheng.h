#pragma once

#include "shell/app_context.h"
#include "shell/background_run.h"
#include "tickets/wheel_matrix.h"

#include <QWidget>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QTableView;

namespace lumaro {

class FunctionTableModel;

// 旋转矩阵组号缩水: turns the numbers typed in into tickets through a stored wheeling matrix.
// A matrix that is not stored is computed on request (in the background, with a cancel),
// verified and saved in the program folder's 旋转矩阵/ before the generation goes on.
class Tfrmjuzheng : public QWidget {
    Q_OBJECT
public:
    Tfrmjuzheng(AppContext &context, QWidget *parent);
    ~Tfrmjuzheng() override;

    // The longest search for a matrix computed on request.
    void setComputeSeconds(double seconds) { m_computeSeconds = seconds; }
    bool isComputing() const { return m_compute.isRunning(); }
    // The tickets shown: the wheel's, each followed by a back set on a two-zone lottery.
    const std::vector<std::vector<int>> &tickets() const { return m_rows; }
    WheelSettings settings() const;

Q_SIGNALS:
    // A generation ended: with tickets, refused, or a computation declined or cancelled.
    void generationFinished();

private:
    void buildControls();
    void layoutNumberEdits();
    void recolourEdits();
    // Number edit i (1 … kWheelMaxNumbers) and the texts of edits 1 … count. There is an edit
    // for every number the lists can ask for; any other number is refused with an Error
    // instead of being read past the edits.
    QLineEdit *numberEdit(int i) const;
    QStringList numberTexts(int count) const;
    // The texts of the edits the settings use: the base numbers, then the bankers.
    QStringList typedNumbers() const;
    void optjutypeClick(int kind);
    void btngenClick();
    void btnsaveClick();
    void btnprintClick();
    // Generation from step 2 on, with the matrix file at hand.
    void generateFrom(const QString &matrixPath);
    void computeMatrix(const WheelParams &p, const QString &path);
    void showRows(int ticketSize);
    bool eventFilter(QObject *watched, QEvent *event) override;

    AppContext &m_context;
    QComboBox *m_commainnum = nullptr;
    QComboBox *m_comdannum = nullptr;
    QGroupBox *m_optjutype = nullptr;
    QButtonGroup *m_kinds = nullptr;
    QComboBox *m_comoknum = nullptr;
    QComboBox *m_combaonum = nullptr;
    QComboBox *m_comcainum = nullptr;
    QLineEdit *m_edtjushu = nullptr;
    // 后区号码 of a two-zone lottery (K of them a ticket): every wheel ticket is written with
    // each K of them.
    QLineEdit *m_edthouqu = nullptr;
    int m_backN = 0;
    int m_backM = 0;
    int m_frontSize = 0; // the wheel's numbers of a shown ticket
    QGroupBox *m_numbers = nullptr;
    std::array<QLineEdit *, kWheelMaxNumbers> m_edits {};
    QLabel *m_lblcode = nullptr;
    QTableView *m_tabcode = nullptr;
    FunctionTableModel *m_model = nullptr;
    QPushButton *m_btngen = nullptr;
    QPushButton *m_btnsave = nullptr;
    QPushButton *m_btnprint = nullptr;
    QPushButton *m_btnclose = nullptr;

    std::vector<std::vector<int>> m_rows;
    int m_gridColumns = 0;
    double m_computeSeconds = 20.0;
    QProgressDialog *m_progress = nullptr;
    // Last, so that a computation still going stops before the rest of the window goes.
    BackgroundRun m_compute {this};
};

} // namespace lumaro
