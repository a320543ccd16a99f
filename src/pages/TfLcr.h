#pragma once
// The row editor of the LCR table: network list, time window with its weekend rule, call-length limit and up
// to seven GSM groups in order of preference. The page's New and Modify prepare it (and say which it is) and
// show it; OK writes the row into the page's list.
#include "texts/Labels.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TfLcr : public QDialog
{
    Q_OBJECT
public:
    explicit TfLcr(QWidget* parent = nullptr);

    QLabel* lbId = nullptr;
    QComboBox* cbNetwork = nullptr; // item i: network list i + 1
    QGroupBox* gb1 = nullptr;       // time limitation
    QLabel* lbFrom = nullptr;
    QLineEdit* edFrom = nullptr; // "hh:mm"
    QLabel* lbTo = nullptr;
    QLineEdit* edTo = nullptr;
    QCheckBox* cbWeekend = nullptr;
    QRadioButton* rbAll = nullptr;
    QRadioButton* rbWeek = nullptr;
    QLabel* lbMax = nullptr;
    QSpinBox* seLimit = nullptr;
    QLabel* Label3 = nullptr;             // "(0=off)"
    QGroupBox* gb2 = nullptr;             // groups
    std::array<QComboBox*, 7> cbGroups{}; // cbGroups1 .. cbGroups7
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    // The openers: an empty row, or the row of the list (its four cells). Edit replaces the selected row.
    void prepareAdd();
    void prepareEdit(const QString& caption, const QString& window, const QString& groups, const QString& limit);
    bool addMode() const { return addMode_; }

    // Handlers.
    void FormActivate();
    void cbGroupsChange(int box); // box 0..6; the seventh does nothing
    void cbWeekendClick();
    void sbOkClick();

    void setLabels(const Tlabels& labels);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillNetworkItems();
    void selectGroup(int box, int item);

    bool addMode_ = true;
};
inline TfLcr* fLcr = nullptr;

// The groups' digits of the choices in cbGroups1..7 (item 4, opposite ISDN, is "9"), and back to an item.
QChar lcrGroupDigit(int item);
int lcrGroupItem(QChar digit); // -1 for a character that is no group
