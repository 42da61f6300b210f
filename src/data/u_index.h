#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace lumaro {

struct AppContext;

// The lottery manager: lists the lotteries of the database, shows the definition of the
// selected one, opens it, and adds or deletes lotteries of the three kinds (乐透型, 数字型 and
// 双区型, whose back zone has two fields of its own).
class Tfrmindex : public QDialog {
    Q_OBJECT
public:
    Tfrmindex(AppContext &context, QWidget *parent = nullptr);

    // True once a lottery was opened; the main window then discards this instance.
    bool opened() const { return m_opened; }
    // The weekday check box k (1..7).
    QCheckBox *weekdayBox(int k) const { return m_week[static_cast<std::size_t>(k)]; }

    void lstcaipiaoClick();
    void btnopenClick();
    void btnaddClick();
    void btncancelClick();
    void btndelClick();
    bool adding() const;

protected:
    void reject() override;

private:
    // What the fields showed before 添加彩票 emptied them, put back when the adding is cancelled.
    struct Fields {
        QString name;
        int kind = 1;
        QString sum;
        QString sel;
        QString backSum;
        QString backSel;
        QString time;
        std::array<bool, 8> week {};
    };
    Fields fields() const;
    void setFields(const Fields &fields);
    void fillList();
    void showDefinition(const QString &name);
    void setFieldsEnabled(bool adding);
    int selectedKind() const;
    QRadioButton *kindButton(int kind) const;
    // Shows the back-zone fields for 双区型 only and moves the fields under them up or down.
    void placeBackZone();

    AppContext &m_context;
    bool m_opened = false;
    Fields m_beforeAdding;
    QListWidget *m_list;
    QLineEdit *m_name;
    QGroupBox *m_kindGroup;
    QRadioButton *m_lotto;
    QRadioButton *m_digit;
    QRadioButton *m_optcaitype2;
    QLineEdit *m_sum;
    QLineEdit *m_sel;
    QLabel *m_Label7;
    QLineEdit *m_edthouqusum;
    QLabel *m_Label8;
    QLineEdit *m_edthouqusel;
    QLabel *m_Label6;
    QLineEdit *m_time;
    QGroupBox *m_weekGroup;
    std::array<QCheckBox *, 8> m_week {};
    QPushButton *m_add;
    QPushButton *m_cancel;
    QPushButton *m_del;
    QPushButton *m_open;
    QPushButton *m_exit;
};

} // namespace lumaro
