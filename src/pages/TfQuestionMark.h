#pragma once
// A two-column help list read from a small file beside the program.
#include <QDialog>

class TfQuestionMark : public QDialog
{
    Q_OBJECT
public:
    explicit TfQuestionMark(QWidget* parent = nullptr);
};
inline TfQuestionMark* fQuestionMark = nullptr;
