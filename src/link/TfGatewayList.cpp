#include "link/TfGatewayList.h"

#include "ui/WindowUtil.h"

TfGatewayList::TfGatewayList(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfGatewayList"));
    setWindowTitle(QStringLiteral("List of gateways"));
}

void TfGatewayList::done(int result)
{
    QDialog::done(result);
    enableMainWindow();
}
