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
// selected one, opens it, and adds or deletes lotteries.
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
    void btndelClick();

private:
    void fillList();
    void showDefinition(const QString &name);
    void setFieldsEnabled(bool adding);
    int selectedKind() const;

    AppContext &m_context;
    bool m_opened = false;
    QListWidget *m_list;
    QLineEdit *m_name;
    QGroupBox *m_kindGroup;
    QRadioButton *m_lotto;
    QRadioButton *m_digit;
    QLineEdit *m_sum;
    QLineEdit *m_sel;
    QLineEdit *m_time;
    QGroupBox *m_weekGroup;
    std::array<QCheckBox *, 8> m_week {};
    QPushButton *m_add;
    QPushButton *m_del;
    QPushButton *m_open;
    QPushButton *m_exit;
};

} // namespace lumaro
