#pragma once
// The about box: the program's title and version, the firmware versions it is made for, the maker's address
// and web page. Shown without waiting; closing it enables the main window again.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QPushButton;

class TfHelp : public QDialog
{
    Q_OBJECT
public:
    explicit TfHelp(QWidget* parent = nullptr);
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;            // bold heading
    QLabel* lb2 = nullptr;               // title line
    QLabel* lb3 = nullptr;               // program version
    QLabel* lb4 = nullptr;               // heading of the firmware versions
    QLabel* lbFirm = nullptr;            // the firmware versions, two lines
    QLabel* lb5 = nullptr;               // postal address, street
    QLabel* lb6 = nullptr;               // postal address, town
    QLabel* lb7 = nullptr;               // telephone
    QLabel* lb8 = nullptr;               // fax
    QLabel* lbWww = nullptr;             // web address; a click opens it
    QPushButton* SpeedButton1 = nullptr; // OK

    void SpeedButton1Click();
    void lbWwwClick();

    // Label steps: the labels; the window caption.
    void setLabelsTexts(const Tlabels& labels);
    void setLabelsCaption(const Tlabels& labels);

protected:
    void done(int result) override; // every way of closing comes here
    bool eventFilter(QObject* watched, QEvent* event) override;
};
inline TfHelp* fHelp = nullptr;
