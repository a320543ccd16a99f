#pragma once
// A two-column help list read from a small file beside the program: section "main", one key per row, the key
// in the first column and its value in the second, in file order. Kind 0 lists "causes_to_isdn.ini" (the
// error causes of the GSM basic page), kind 1 "numbering_plan.ini" (the ISDN page's numbering plans). The list
// is read again every time the window is shown.
#include <QDialog>

class QPushButton;
class QTreeWidget;

class TfQuestionMark : public QDialog
{
    Q_OBJECT
public:
    enum ListKind { CausesToIsdn = 0, NumberingPlan = 1 };

    explicit TfQuestionMark(QWidget* parent = nullptr);

    QPushButton* sbCancel = nullptr; // "OK"
    QTreeWidget* ListView1 = nullptr;

    void setListKind(int kind) { listKind = kind; }
    int kind() const { return listKind; }

    // The file of a kind in the program folder.
    static QString listFile(int kind);

    // What the "?" buttons do: when the kind's file exists, caption the window with text 870 ("Help" when that
    // text is empty), set the kind and show the window modally; otherwise nothing at all.
    static void showHelpList(int kind);

    void FormShow();
    void sbCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int listKind = CausesToIsdn;
};
inline TfQuestionMark* fQuestionMark = nullptr;
