#pragma once
// Adds one pair of GSM release cause and the ISDN cause it is transferred to (each 1..127). The "?" button
// shows or hides a reference list of the ISDN causes and their meanings; the list exists only in the language
// file, so the label pass rebuilds it for every language.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;

class TfCause : public QDialog
{
    Q_OBJECT
public:
    explicit TfCause(QWidget* parent = nullptr);

    QLabel* lb1 = nullptr; // "GSM cause :"
    QLabel* lb2 = nullptr; // "Tranfer to cause :"
    QSpinBox* se1 = nullptr;
    QSpinBox* se2 = nullptr;
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;
    QPushButton* BitBtn1 = nullptr; // "?"
    QTreeWidget* ListView1 = nullptr;

    // Shows or hides the cause list; the window grows or shrinks with it.
    void BitBtn1Click();

    void setLabelsLabels(const Tlabels& labels); // its two labels
    // Sizes the two labels to their texts and places the spin edits right of them.
    void fitLabels();
    void setLabelsCauses(const Tlabels& labels); // its list columns and the cause rows

    // Heights of the window with the list shown and hidden.
    static constexpr int kHeightWithList = 559;
    static constexpr int kHeightWithoutList = 150;
};
inline TfCause* fCause = nullptr;

// The cells of a cause-list entry: the text after the first "#=" (blanks after the marker skipped), split at
// ";"; each cell at most 99 characters. An entry without the marker has no cells.
QStringList causeEntryCells(const QString& entry);
