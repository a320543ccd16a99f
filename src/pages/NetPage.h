#pragma once
// The network lists page: eight network lists (tabs of tcNet), each with its replaced prefixes, its prefixes,
// its network ID and its default number of digits, and one gateway-wide list of prefix changes for calls from
// BRI 1 to BRI 2 ("I07"). The page works on the working records networkWork and on GateConfig's
// briPrefixChanges; entries are typed in the prefix editor TfNet. Commands and reply parsing are in
// exchange/NetworkExchange. Image: GateConfig.networks; gate-file bit gsNetwork.
//
// The LCR page names its networks by the network IDs: GateConfig.networks[i].networkId always holds the ID the
// page shows (an edit of the ID is written there at once), and a whole-gateway load keeps this page's
// "AT&Nall" reply in viewReplyCache.atNall for the LCR page's load.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabBar;
class QWidget;

// The wait before "AT&Nall" (the gateway needs it after "AT&VI"). Tests shorten it.
inline int networkListingWaitMs = 1000;

struct PageFrame;

class NetPage
{
public:
    QScrollArea* pNet = nullptr;
    QTabBar* tcNet = nullptr;

    QGroupBox* gbNet1 = nullptr; // replaced prefixes
    QListWidget* lbNetRep = nullptr;
    QPushButton* sbNetRepAdd = nullptr;
    QPushButton* sbNetRepEdit = nullptr;
    QPushButton* sbNetRepRemove = nullptr;
    QPushButton* sbNetRepRemoveAll = nullptr;

    QGroupBox* gbNet2 = nullptr; // prefixes
    QListWidget* lbNetPref = nullptr;
    QPushButton* sbNetPrefAdd = nullptr;
    QPushButton* sbNetPrefEdit = nullptr;
    QPushButton* sbNetPrefRemove = nullptr;
    QPushButton* sbNetPrefRemoveAll = nullptr;

    QLabel* lbNetId = nullptr;
    QLineEdit* edNetNetid = nullptr;
    QLabel* lbNetDefault = nullptr;
    QSpinBox* seNetDefault = nullptr;

    QGroupBox* gbNet3 = nullptr; // prefix changes from BRI 1 to BRI 2
    QListWidget* lbNetPri = nullptr;
    QPushButton* sbNetPriAdd = nullptr;
    QPushButton* sbNetPriEdit = nullptr;
    QPushButton* sbNetPriRemove = nullptr;
    QPushButton* sbNetPriRemoveAll = nullptr;

    QPushButton* sbNetSave = nullptr;
    QPushButton* sbNetLoad = nullptr;
    QPushButton* sbNetDefault = nullptr;
    QPushButton* sbNetSaveFile = nullptr;
    QPushButton* sbNetSaveActual = nullptr;

    void buildNetPage(QWidget* host);
    // The page's record for its buttons and the runs (pages/PageRuns.h).
    static const PageFrame& netFrame();

    void setLabelsNet1(const Tlabels& labels); // the gateway and file buttons
    void setLabelsNet2(const Tlabels& labels); // the rest of the page

    // Gateway and image.
    bool networkLoad();
    bool networkSave();       // "I07" and all eight lists
    bool networkSave(int i);  // list i (0..7) alone
    void netSaveFile();       // networkWork -> GateConfig.networks
    void netLoadFile();       // GateConfig.networks -> networkWork (the caller shows the tab)

    // Handlers.
    void tcNetChange();
    void edNetNetidChange();
    void seNetDefaultChange();
    void sbNetLoadClick();
    void sbNetSaveClick();
    void sbNetSaveActualClick();
    void sbNetDefaultClick();
    void sbNetSaveFileClick();
    void sbNetRepAddClick();
    void sbNetPrefAddClick();
    void sbNetPriAddClick();
    void sbNetRepEditClick();
    void sbNetPrefEditClick();
    void sbNetPriEditClick();
    void sbNetRepRemoveClick();
    void sbNetPrefRemoveClick();
    void sbNetPriRemoveClick();
    void sbNetRepRemoveAllClick();
    void sbNetPrefRemoveAllClick();
    void sbNetPriRemoveAllClick();

private:
    bool networkSaveList(int i, bool moveBar);
    void runNetworkSave(int list); // the two save buttons; -1 for all lists
    void openNetEntry(int target, bool editing);
    void setModelLayoutNet(int model);
};
