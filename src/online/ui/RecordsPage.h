#pragma once
// The LOG file, call data and statistics pages: the gateway's records read into a memo (src/online/
// RecordDownloads.h does the reading), saved to text files.
#include "texts/Labels.h"

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QWidget;
struct RecordOutcome;

class RecordsPage
{
public:
    QScrollArea* pLog = nullptr;
    QScrollArea* pCall = nullptr;
    QScrollArea* pStatistics = nullptr;

    QPlainTextEdit* mLog = nullptr;
    QLineEdit* edLogFile = nullptr;
    QPushButton* sbLogLoad = nullptr;
    QPushButton* sbLogFile = nullptr;
    QPushButton* sbLogSave = nullptr;

    QPlainTextEdit* mStatistic = nullptr;
    QLineEdit* edStatFile = nullptr;
    QPushButton* sbStatLoad = nullptr;
    QPushButton* sbStatLoadDelete = nullptr;
    QPushButton* sbStatFile = nullptr;
    QPushButton* sbStatSave = nullptr;

    QPlainTextEdit* mCall = nullptr;
    QLineEdit* edCallFile = nullptr;
    QPushButton* sbCallLoad = nullptr;
    QPushButton* sbCallLoadDelete = nullptr;
    QPushButton* sbCallFile = nullptr;
    QPushButton* sbCallSave = nullptr;

    void buildRecordsPage(QWidget* host);

    void setLabelsLogFile(const Tlabels& t);
    void setLabelsCallData(const Tlabels& t);
    void setLabelsStatistics(const Tlabels& t);

    void sbLogLoadClick();
    void sbStatLoadClick();
    void sbCallLoadClick();
    void sbStatLoadDeleteClick();
    void sbCallLoadDeleteClick();
    void sbLogFileClick() { chooseRecordFile(edLogFile, QStringLiteral("LOG")); }
    void sbStatFileClick() { chooseRecordFile(edStatFile, QStringLiteral("Statistics")); }
    void sbCallFileClick() { chooseRecordFile(edCallFile, QStringLiteral("LOG")); } // the LOG page's dialog
    void sbLogSaveClick() { saveRecordMemo(mLog, edLogFile); }
    void sbStatSaveClick() { saveRecordMemo(mStatistic, edStatFile); }
    void sbCallSaveClick() { saveRecordMemo(mCall, edCallFile); }
    // The chooser presets the edit's name without a final ".txt"; a chosen name without extension gets it.
    void chooseRecordFile(QLineEdit* edit, const QString& defaultName);
    // Appends the memo under a header to the edit's file; an empty memo touches no file.
    void saveRecordMemo(QPlainTextEdit* memo, QLineEdit* edit);
    // A gateway was selected: the default file names in folder.
    void recordsGatewaySelected(const QString& folder);

private:
    void showRecordOutcome(const RecordOutcome& outcome);
    // The run's box and the progress window's close, in the order the outcome asks.
    void endRecordRun(const RecordOutcome& outcome);
};
