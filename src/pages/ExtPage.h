#pragma once
// The mobility extension page: the extension table in a list. No topic shows it and nothing sends it; the
// list carries the table between the gate file ("Extension table", M0 .. M31) and the image, so the
// whole-file load and save keep it.
//
// Each row keeps its three switches (follow me, SMS at no answer, registered) as data of the row: the columns
// show them in the current language, and what goes back into the image is the data, never the shown words.
#include "texts/Labels.h"

class QPushButton;
class QScrollArea;
class QTreeWidget;
class QWidget;

struct PageFrame;

class ExtPage
{
public:
    // Columns of lvExt.
    enum ExtColumn { ecName, ecUser, ecPassword, ecGsm, ecFollow, ecSms, ecRegistered, ecCount };

    QScrollArea* pExt = nullptr;
    QTreeWidget* lvExt = nullptr;
    QPushButton* sbExtNew = nullptr;
    QPushButton* sbExtEdit = nullptr;
    QPushButton* sbExtRemove = nullptr;
    QPushButton* sbExtRemoveAll = nullptr;
    QPushButton* sbExtLoad = nullptr;
    QPushButton* sbExtSave = nullptr;
    QPushButton* sbExtSaveFile = nullptr;

    void buildExtPage(QWidget* host);

    void setLabelsExt1(const Tlabels& labels); // the buttons
    void setLabelsExt2(const Tlabels& labels); // the columns
    void setLabelsExt3(const Tlabels&) {}      // the last step: nothing is left, the rows keep their texts

    // The rows into GateConfig's extension table, and back (which also sets extRowCount, pages/PageState.h).
    void extSaveFile();
    // The page's record for the file runs (pages/PageRuns.h).
    static const PageFrame& extFrame();
    void extLoadFile();
};
