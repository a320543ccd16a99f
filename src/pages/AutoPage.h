#pragma once
// The autorouting table page: what the gateway does with a call from a given GSM number (CLIP): dial a number
// towards the BRI side, call back, reject, ignore, offer tone dial-in or a DISA message dial-in.
//
// Gateway: the rows A0..A95 from the paged listing "AT&A" (exchange/TablesExchange.h). Image:
// GateConfig.autorouting; gate-file bit gsAutorouting. The page has no Default button; the "Default settings"
// command empties the list.
//
// Each row keeps its service letter as data of the type column: the column shows the service's name in the
// current language, and the letter is what the gateway and the image get.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QChar>

class QPushButton;
class QScrollArea;
class QTreeWidget;
class QWidget;
struct AutoRow;
struct PageFrame;

class AutoPage
{
public:
    // Columns of lvAuto.
    enum AutoColumn { acClip, acNumber, acLimit, acType, acCount };

    QScrollArea* pAuto = nullptr;
    QTreeWidget* lvAuto = nullptr;
    QPushButton* sbAutoNew = nullptr;
    QPushButton* sbAutoEdit = nullptr;
    QPushButton* sbAutoRemove = nullptr;
    QPushButton* sbAutoRemoveAll = nullptr;
    QPushButton* sbAutoSave = nullptr;
    QPushButton* sbAutoLoad = nullptr;
    QPushButton* sbAutoSaveFile = nullptr;

    void buildAutoPage(QWidget* host);

    void setLabelsAuto1(const Tlabels& labels); // the buttons
    void setLabelsAuto2(const Tlabels& labels); // the columns
    void setLabelsAuto3(const Tlabels& labels); // the type column of every row, by its letter

    bool autoLoad();
    // The rows, then the command that empties the register after the last; the result is the last command's.
    bool autoSave();
    void autoSaveFile();
    void autoLoadFile();

    static const PageFrame& autoFrame();
    void sbAutoLoadClick();
    void sbAutoSaveClick();
    void sbAutoSaveFileClick();

    void sbAutoNewClick();
    void sbAutoEditClick();
    void lvAutoDblClick();
    void sbAutoRemoveClick();
    void sbAutoRemoveAllClick();
    // Adds a row (at the end) or replaces the selected one; used by TfAuto's OK.
    void autoPutRow(bool add, const AutoRow& row);

    // The row of the list at index, and the letter kept with a row.
    AutoRow autoRowAt(int index) const;
};

// The name a row's type column shows for a service letter: the language's entry itself (no English text);
// a letter that is no service leaves fallback.
QString autoServiceName(QChar letter, const QString& fallback = QString());
