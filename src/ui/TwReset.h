#pragma once
// The wait window of the gateway reset and the factory reset, shown while the gateway restarts. It has no
// close box; the reset closes it.
#include "texts/Labels.h"

#include <QDialog>

class QLabel;

class TwReset : public QDialog
{
    Q_OBJECT
public:
    explicit TwReset(QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;

    void setLabels(const Tlabels& labels);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
inline TwReset* wReset = nullptr;
