#pragma once
// The LCR table page: the least-cost-routing rows (network list, time window, groups in order of preference,
// call-length limit), the holiday list and the dates on which the gateway moves to winter and to summer time.
//
// Gateway: the rows R0..R63 from the paged listing "AT&R", the dates "X20" from "AT&V", the holidays "G06"
// and "G07" from "AT&V0", the network ids from "AT&Nall" (exchange/TablesExchange.h). Image: GateConfig.lcr and
// the dates of GateConfig.system; gate-file bits gsLcr (rows) and gsHolidays (holidays and dates).
//
// A row's caption shows its network list's number and id ("2/" and the id); only the number goes to the gateway
// and to the image. Rows are entered in TfLcr.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QStringList>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
struct PageFrame;
struct LcrRow;

class LcrPage
{
public:
    // Columns of lvLcr.
    enum LcrColumn { lcNetwork, lcWindow, lcGroups, lcLimit, lcCount };

    QScrollArea* pLcr = nullptr;
    QStringList networkNames; // the network ids of lists 1..8 as the last load read them; TfLcr reads them

    QTreeWidget* lvLcr = nullptr;
    QPushButton* sbLcrNew = nullptr;
    QPushButton* sbLcrEdit = nullptr;
    QPushButton* sbLcrRemove = nullptr;
    QPushButton* sbLcrRemoveAll = nullptr;
    QPushButton* sbLcrSave = nullptr;
    QPushButton* sbLcrLoad = nullptr;
    QPushButton* sbLcrDefaultLcr = nullptr; // the table's defaults
    QPushButton* sbLcrSaveFile = nullptr;

    QGroupBox* gbBasic1 = nullptr; // holidays and the two dates
    QListWidget* lbBasicHolidays = nullptr;
    QPushButton* sbBasicAdd = nullptr;
    QPushButton* sbBasicRemove = nullptr;
    QPushButton* sbBasicRemoveAll = nullptr;
    QPushButton* sbLcrDefault = nullptr; // the holidays' and dates' defaults
    QLabel* lbSystemWinter = nullptr;
    QLineEdit* edSystemWinter = nullptr; // "dd.mm"
    QLabel* lbSystemSummer = nullptr;
    QLineEdit* edSystemSummer = nullptr;

    void buildLcrPage(QWidget* host);

    void setLabelsLcr1(const Tlabels& labels); // the two date labels
    void setLabelsLcr2(const Tlabels& labels); // the holiday buttons
    void setLabelsLcr3(const Tlabels& labels); // the holiday group
    void setLabelsLcr4(const Tlabels& labels); // the table's buttons
    void setLabelsLcr5(const Tlabels& labels); // the table's columns

    // Reads the dates, holidays, network ids and rows from the gateway; false when a step failed.
    bool lcrLoad();
    // Writes the dates, holidays and rows; the result is that of the last command.
    bool lcrSave();
    // The page into GateConfig (rows, holidays, dates), and back.
    void lcrSaveFile();
    void lcrLoadFile();

    // The page's record (Load, Save, Save to file, the whole-file runs); the frames of the holidays' Default
    // (mask 1024, the holidays and dates) and of the table's Default (mask 128, the rows, no flag).
    static const PageFrame& lcrFrame();
    static const PageFrame& lcrHolidaysFrame();
    static const PageFrame& lcrTableFrame();
    void sbLcrLoadClick();
    void sbLcrSaveClick();
    void sbLcrSaveFileClick();
    void sbLcrDefaultClick();
    void sbLcrDefaultLcrClick();

    // Rows.
    void sbLcrNewClick();
    void sbLcrEditClick();
    void lvLcrDblClick();
    void sbLcrRemoveClick();
    void sbLcrRemoveAllClick();
    // Adds a row (at the end) or replaces the selected one; used by TfLcr's OK.
    void lcrPutRow(bool add, const QString& caption, const QString& window, const QString& groups,
                   const QString& limit);

    // Holidays.
    void sbBasicAddClick();
    void sbBasicRemoveClick();
    void sbBasicRemoveAllClick();

    // Dates: leaving an edit marks a date with exactly one of day and month 0; a change takes the mark away.
    void checkDayMonthEdit(QLineEdit* edit);
    void edSystemWinterChange();
    void edSystemSummerChange();
    // Both dates whole, or as the program set them; a date a person typed in part is marked. Save refuses the
    // page otherwise.
    bool lcrDatesValid();

    // Showing the LCR topic: every row whose caption starts with a list's digit shows that list's id from
    // GateConfig.
    void lcrShowNetworkNames();

    // The network caption of a row: the number, "/" and the list's id when the number is a list's (from ids,
    // index 0 = list 1); the bare number otherwise.
    static QString lcrNetworkCaption(const QString& number, const QStringList& ids);

    // The two halves of lcrLoadFile: the rows (captions with the image's network ids), and the holidays with
    // the dates. Each Default button brings its own half.
    void lcrRowsFromImage();
    void lcrHolidaysFromImage();

private:
    void addLcrItem(const LcrRow& row, const QStringList& ids);
};
