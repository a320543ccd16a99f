#pragma once
// The groups assignment page: the outgoing and incoming GSM group of each of the 32 GSM modules. No topic
// shows it and nothing sends it; its lists carry the assignment between the gate file and the image
// ("Gsm parametres" G90 and G00), so the whole-file load and save keep it.
#include "texts/Labels.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

struct PageFrame;

class GroupPage
{
public:
    static constexpr int kModules = 32;

    QScrollArea* pGroup = nullptr;
    QGroupBox* gbGroup = nullptr;
    QLabel* lbGroupModule = nullptr;
    QLabel* lbGroupOut = nullptr;
    QLabel* lbGroupIn = nullptr;
    std::array<QLabel*, kModules> lbGroupModules{}; // lbGroupModule0 .. lbGroupModule31
    std::array<QComboBox*, kModules> cbGroupOuts{}; // cbGroupOut0 ..: 8 items, item i = group i + 1
    std::array<QComboBox*, kModules> cbGroupIns{};  // cbGroupIn0 ..: 4 items, item i = group i + 1
    QWidget* pGroupButtons = nullptr;
    QPushButton* sbGroupSave = nullptr;
    QPushButton* sbGroupLoad = nullptr;
    QPushButton* sbGroupDefault = nullptr;
    QPushButton* sbGroupSaveFile = nullptr;
    // The indexes as the image last gave them, also those past a list's items (the list then shows none).
    std::array<int, kModules> groupInRead{};
    std::array<int, kModules> groupOutRead{};

    void buildGroupPage(QWidget* host);
    void setLabelsGroup(const Tlabels& labels);

    // The 64 lists into GateConfig's groups assignment (incoming first), and back.
    void groupsSaveFile();
    // The page's record for the file runs (pages/PageRuns.h).
    static const PageFrame& groupFrame();
    void groupLoadFile();
};
