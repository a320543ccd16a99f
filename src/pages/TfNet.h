#pragma once
// The prefix editor of the network lists page: one prefix, or a prefix and its replacement, typed in two
// edits and joined with "/". It writes the entry into the page's list box and the list behind it: target 1
// the replaced prefixes of the shown network list, 2 its prefixes, 3 the prefix changes from BRI 1 to BRI 2.
//
// The opener tells the target and whether an entry is edited or added (openEntry); the dialog does not guess
// them from its captions, which the language file may leave empty.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class EntryKeyFilter;

class TfNet : public QDialog
{
    Q_OBJECT
public:
    explicit TfNet(QWidget* parent = nullptr);

    QLabel* lb1 = nullptr;
    QLineEdit* ed1 = nullptr;
    QLabel* lb2 = nullptr;
    QLineEdit* ed2 = nullptr;
    QLabel* lbHelp = nullptr;
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    qint32 targetList = 0; // 1 replaced prefixes, 2 prefixes, 3 prefix changes from BRI 1 to BRI 2
    bool editing = false;  // the selected entry is edited (else a new one is added)

    // Sets the edits, the second label, the caption and the mode for one Add or Edit and shows the dialog
    // modally. Returns what ShowModal returned.
    int openEntry(int target, bool edit, const QString& first, const QString& second, const QString& secondLabel,
                  const QString& caption);

    void setLabels(const Tlabels& labels);

    void FormActivate();
    void ed1Change();
    void ed2Change();
    void sbOkClick();
    void sbCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    EntryKeyFilter* ed2Filter_ = nullptr;
};
inline TfNet* fNet = nullptr;
