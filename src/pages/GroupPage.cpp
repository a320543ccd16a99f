#include "pages/GroupPage.h"

#include "config/Parametres.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int kOutgoingGroups = 8;
constexpr int kIncomingGroups = 4;

QComboBox* groupList(QWidget* parent, const QString& name, int groups)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    for (int g = 1; g <= groups; ++g)
        list->addItem(QStringLiteral("%1.group").arg(g));
    list->setCurrentIndex(0);
    return list;
}

// Rewrites the items in place ("1. group", ...), keeping the choice (or the lack of one).
void relabelGroupList(QComboBox* list, const QString& group)
{
    const int chosen = list->currentIndex();
    for (int i = 0; i < list->count(); ++i)
        list->setItemText(i, QStringLiteral("%1. ").arg(i + 1) + group);
    list->setCurrentIndex(chosen);
}

} // namespace

void GroupPage::buildGroupPage(QWidget* host)
{
    pGroup = addTopicPage(host, "pGroup", 0);
    registerPage(PageId::Groups, groupFrame());
    QWidget* page = pGroup->widget();

    gbGroup = new QGroupBox(QStringLiteral("Groups assignment"), page);
    gbGroup->setObjectName(QStringLiteral("gbGroup"));
    auto* grid = new QGridLayout(gbGroup);
    lbGroupModule = new QLabel(QStringLiteral("Module : "), gbGroup);
    lbGroupModule->setObjectName(QStringLiteral("lbGroupModule"));
    lbGroupOut = new QLabel(QStringLiteral("Odchozí : "), gbGroup);
    lbGroupOut->setObjectName(QStringLiteral("lbGroupOut"));
    lbGroupIn = new QLabel(QStringLiteral("Příchozí : "), gbGroup);
    lbGroupIn->setObjectName(QStringLiteral("lbGroupIn"));
    grid->addWidget(lbGroupModule, 0, 0);
    grid->addWidget(lbGroupOut, 0, 1);
    grid->addWidget(lbGroupIn, 0, 2);
    for (int m = 0; m < kModules; ++m) {
        lbGroupModules[m] = new QLabel(QStringLiteral("%1. module").arg(m), gbGroup);
        lbGroupModules[m]->setObjectName(QStringLiteral("lbGroupModule%1").arg(m));
        cbGroupOuts[m] = groupList(gbGroup, QStringLiteral("cbGroupOut%1").arg(m), kOutgoingGroups);
        cbGroupIns[m] = groupList(gbGroup, QStringLiteral("cbGroupIn%1").arg(m), kIncomingGroups);
        grid->addWidget(lbGroupModules[m], m + 1, 0);
        grid->addWidget(cbGroupOuts[m], m + 1, 1);
        grid->addWidget(cbGroupIns[m], m + 1, 2);
    }
    grid->setColumnStretch(3, 1);

    // The page's own buttons do nothing: the page is never shown.
    pGroupButtons = new QWidget(page);
    pGroupButtons->setObjectName(QStringLiteral("pGroupButtons"));
    auto* buttons = new QHBoxLayout(pGroupButtons);
    const struct
    {
        QPushButton** button;
        const char* name;
        const char* caption;
    } kButtons[] = {{&sbGroupSave, "sbGroupSave", "Save to gate"},
                    {&sbGroupLoad, "sbGroupLoad", "Load from gate"},
                    {&sbGroupDefault, "sbGroupDefault", "Defaults"},
                    {&sbGroupSaveFile, "sbGroupSaveFile", "Save to file"}};
    for (const auto& b : kButtons) {
        *b.button = new QPushButton(QString::fromLatin1(b.caption), pGroupButtons);
        (*b.button)->setObjectName(QString::fromLatin1(b.name));
        buttons->addWidget(*b.button);
    }
    buttons->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gbGroup);
    layout->addWidget(pGroupButtons);
    layout->addStretch();
}

void GroupPage::setLabelsGroup(const Tlabels& t)
{
    gbGroup->setTitle(labelOr(t, 308, QStringLiteral("Groups assignment : ")));
    lbGroupModule->setText(labelOr(t, 309, QStringLiteral("Module : ")));
    // These two headers fall back to the Czech words in every language.
    lbGroupOut->setText(labelOr(t, 310, QStringLiteral("Odchozí : ")));
    lbGroupIn->setText(labelOr(t, 311, QStringLiteral("Příchozí : ")));
    const QString module = labelOr(t, 312, QStringLiteral("module"));
    for (int m = 0; m < kModules; ++m)
        lbGroupModules[m]->setText(QStringLiteral("%1. ").arg(m) + module);
    const QString group = labelOr(t, 313, QStringLiteral("group"));
    for (int m = 0; m < 5; ++m)
        relabelGroupList(cbGroupOuts[m], group);
    for (int m = 0; m < kModules; ++m)
        relabelGroupList(cbGroupIns[m], group);
    for (int m = 5; m < kModules; ++m)
        relabelGroupList(cbGroupOuts[m], group);
}

void GroupPage::groupsSaveFile()
{
    // Nobody edits these lists: one that shows no item holds an index the file gave past its items, and that
    // index goes back as it came.
    TGroupsAssignment& g = GateConfig.groupsAssignment;
    for (int m = 0; m < kModules; ++m) {
        const int in = cbGroupIns[m]->currentIndex();
        const int out = cbGroupOuts[m]->currentIndex();
        g.incoming[m] = in < 0 ? groupInRead[m] : in;
        g.outgoing[m] = out < 0 ? groupOutRead[m] : out;
    }
}

const PageFrame& GroupPage::groupFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcGroups;
        f.fileMask = gsGroups;
        f.toImage = [] { fMain->groupsSaveFile(); };
        f.fromImage = [] { fMain->groupLoadFile(); };
        return f;
    }();
    return frame;
}

void GroupPage::groupLoadFile()
{
    const TGroupsAssignment& g = GateConfig.groupsAssignment;
    for (int m = 0; m < kModules; ++m) {
        groupInRead[m] = g.incoming[m];
        groupOutRead[m] = g.outgoing[m];
        cbGroupIns[m]->setCurrentIndex(g.incoming[m]);
        cbGroupOuts[m]->setCurrentIndex(g.outgoing[m]);
    }
}
