#pragma once
// Asks one CLIP conversion ("old prefix/new prefix") for the incoming groups page's list. The opener sets the
// edit's maximum length before each showing (the list's room) and reads ed1 after OK; the dialog keeps no
// state between uses. OK is possible only with a "/" in the text.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TinCallPrefixForm : public QDialog
{
    Q_OBJECT
public:
    explicit TinCallPrefixForm(QWidget* parent = nullptr);

    QLabel* lb1 = nullptr; // "Prefix :"
    QLineEdit* ed1 = nullptr;
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    void FormShow();
    void ed1Change();

    void setLabels(const Tlabels& labels);

protected:
    void showEvent(QShowEvent* event) override;
};
inline TinCallPrefixForm* inCallPrefixForm = nullptr;

// The key rule of the prefix edit: after a "/" no second one; otherwise digits, Backspace, the copy and paste
// keys, "#", "+", "*" and "/". A "," never (it would split the entry in the list).
bool prefixEntryKey(QChar typed, const QString& text);
