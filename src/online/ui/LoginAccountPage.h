#pragma once
// The login account page: the gateway's user name and password.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class LoginAccountPage
{
public:
    QScrollArea* pLogin = nullptr;

    void buildLoginAccountPage(QWidget* host) { pLogin = addTopicPage(host, "pLogin", 17); }

    void setLabelsLoginAccount(const Tlabels&) {}
};
