#pragma once
// The list of default configuration profiles to start a new configuration from.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TfDefault : public QDialog
{
    Q_OBJECT
public:
    explicit TfDefault(QWidget* parent = nullptr);
    QListWidget* ListBox1 = nullptr;
    QLabel* Label1 = nullptr;       // warning, in red
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    void setLabels(const Tlabels& labels);

protected:
    // Shown, the window is as wide as its longest profile caption needs (within the screen).
    void showEvent(QShowEvent* event) override;
};
inline TfDefault* fDefault = nullptr;
