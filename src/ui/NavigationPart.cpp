#include "ui/NavigationPart.h"

#include "link/ExchangeState.h"
#include "link/LinkOpen.h"
#include "link/LiveTools.h"
#include "texts/LabelRule.h"
#include "ui/Icons.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QCollator>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

constexpr int kTopicRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

struct TreeNode
{
    int level; // 0 group, 1 topic
    int topic; // the text number that names it
    int image;
};

// The topic tree as built: three groups with their topics.
constexpr TreeNode kTreeNodes[] = {
    {0, 28, 0},  {1, 17, 4},  {1, 18, 4}, {1, 19, 4},  {1, 20, 4},  {1, 21, 4},  {1, 22, 4},  {1, 23, 4},
    {1, 24, 4},  {1, 25, 4},  {1, 26, 4}, {1, 235, 4}, {1, 494, 4}, {1, 505, 4}, {1, 543, 4}, {1, 548, 4},
    {1, 685, 4}, {1, 704, 4}, {0, 29, 0}, {1, 30, 2},  {1, 584, 2}, {1, 834, 2}, {1, 32, 2},  {1, 34, 2},
    {1, 35, 2},  {1, 36, 2},  {1, 37, 2}, {1, 38, 2},  {0, 40, 0},  {1, 41, 2},  {1, 42, 2},
};

constexpr int kTerminalTopic = 21;

// Live topics whose work is stopped, in this order, whenever another topic is chosen: before any section runs,
// so that no entry's command goes out while a tool still reads the link (the test calls and the voice recording
// would otherwise still read when an earlier section talks to the gateway).
constexpr int kLeavingOrder[] = {235, 685, 26, 38, 20, 21, 548, 25};

struct SectionDef
{
    int topic;
    bool showOnly; // the section only shows its page; hiding it is the leaving step's
    bool action;   // the topic runs an action and has no page
};

constexpr SectionDef kSections[] = {
    {24, false, false},  {23, false, false},  {22, false, false},  {25, false, false},  {17, false, false},
    {19, false, false},  {18, false, false},  {30, false, false},  {32, false, false},  {34, false, false},
    {35, false, false},  {37, false, false},  {36, false, false},  {584, false, false}, {494, false, false},
    {505, false, false}, {543, false, false}, {548, false, false}, {834, false, false}, {685, true, false},
    {26, true, false},   {235, true, false},  {38, true, false},   {21, true, false},   {20, false, false},
    {704, true, false},  {41, false, true},   {42, false, true},
};

// Topics that keep the whole-gateway load and save disabled while they are on show.
bool keepsGatewayRunsDisabled(int topic)
{
    return topic == 704 || topic == 235 || topic == 26 || topic == 21;
}

// The text number a topic shows as its title: the CLIP table's node is named by 704, its page by 705.
int titleOf(int topic)
{
    return topic == 704 ? 705 : topic;
}

} // namespace

QString topicEnglishText(int topic)
{
    switch (topic) {
    case 17:
        return QStringLiteral("Login account");
    case 18:
        return QStringLiteral("Date/time");
    case 19:
        return QStringLiteral("Firmware");
    case 20:
        return QStringLiteral("Tracing");
    case 21:
        return QStringLiteral("Terminal");
    case 22:
        return QStringLiteral("Log file");
    case 23:
        return QStringLiteral("Call data records");
    case 24:
        return QStringLiteral("Statistics");
    case 25:
        return QStringLiteral("Voice message");
    case 26:
        return QStringLiteral("Diagnostic calls...");
    case 28:
        return QStringLiteral("Online configuration");
    case 29:
        return QStringLiteral("Configuration parametres");
    case 30:
        return QStringLiteral("System parametres");
    case 32:
        return QStringLiteral("GSM basic parametres");
    case 34:
        return QStringLiteral("GSM outgoing groups");
    case 35:
        return QStringLiteral("GSM incoming groups");
    case 36:
        return QStringLiteral("Network list");
    case 37:
        return QStringLiteral("LCR table");
    case 38:
        return QStringLiteral("Autorouting table");
    case 40:
        return QStringLiteral("Reset");
    case 41:
        return QStringLiteral("Gateway reset");
    case 42:
        return QStringLiteral("Factory parametres reset");
    case 235:
        return QStringLiteral("Actual calls...");
    case 494:
        return QStringLiteral("Buffer state...");
    case 505:
        return QStringLiteral("Connection state...");
    case 543:
        return QStringLiteral("GSM monitor info...");
    case 548:
        return QStringLiteral("Test calls...");
    case 584:
        return QStringLiteral("ISDN parametres");
    case 685:
        return QStringLiteral("Online commands...");
    case 704:
        return QStringLiteral("Show dynamic CLIP routing table...");
    case 834:
        return QStringLiteral("ISDN port modes");
    default:
        return QString();
    }
}

// Mouse presses and keys of the topic tree: a click dispatches only when its press did not already dispatch
// through a change of the selection, so that one click runs the dispatcher once.
class TopicTreeEvents : public QObject
{
public:
    TopicTreeEvents(NavigationPart* nav, QObject* parent) : QObject(parent), nav_(nav) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            nav_->changedInPress_ = false;
        else if (event->type() == QEvent::KeyPress && watched == nav_->tvTopic)
            nav_->tvTopicKeyDown(static_cast<QKeyEvent*>(event)->key());
        return QObject::eventFilter(watched, event);
    }

private:
    NavigationPart* nav_;
};

void NavigationPart::buildNavigation(QMainWindow* host)
{
    auto* splitter = new QSplitter(Qt::Horizontal, host);
    splitter->setObjectName(QStringLiteral("splitterMain"));
    splitter->setChildrenCollapsible(false);

    pcMain = new QTabWidget(splitter);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    auto makeTree = [](QWidget* parent, const char* name) {
        auto* tree = new QTreeWidget(parent);
        tree->setObjectName(QString::fromLatin1(name));
        tree->setColumnCount(1);
        tree->setHeaderHidden(true);
        // A topic's name is never cut short: a name longer than the pane widens the column, and the tree
        // scrolls sideways.
        tree->header()->setStretchLastSection(false);
        tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        tree->setRootIsDecorated(false);
        tree->setIconSize(QSize(16, 16));
        tree->setSelectionMode(QAbstractItemView::SingleSelection);
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        auto* layout = new QVBoxLayout(parent);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(tree);
        return tree;
    };
    tsTopic = new QWidget;
    tsTopic->setObjectName(QStringLiteral("tsTopic"));
    tvTopic = makeTree(tsTopic, "tvTopic");
    tsAlfa = new QWidget;
    tsAlfa->setObjectName(QStringLiteral("tsAlfa"));
    tvAlpha = makeTree(tsAlfa, "tvAlpha");
    pcMain->addTab(tsTopic, QStringLiteral("Topics"));
    pcMain->addTab(tsAlfa, QStringLiteral("Alphabetical glossary"));

    auto* right = new QWidget(splitter);
    right->setObjectName(QStringLiteral("pRight"));
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(2);
    Panel13 = new QFrame(right);
    Panel13->setObjectName(QStringLiteral("Panel13"));
    Panel13->setFrameShape(QFrame::StyledPanel);
    auto* titleLayout = new QHBoxLayout(Panel13);
    titleLayout->setContentsMargins(8, 4, 8, 4);
    lbMain = new QLabel(Panel13);
    lbMain->setObjectName(QStringLiteral("lbMain"));
    QFont titleFont = lbMain->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lbMain->setFont(titleFont);
    lbMain->setMinimumHeight(QFontMetrics(titleFont).height() + 4);
    titleLayout->addWidget(lbMain);
    rightLayout->addWidget(Panel13);
    pMain = new QWidget(right);
    pMain->setObjectName(QStringLiteral("pMain"));
    auto* pageLayout = new QGridLayout(pMain);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(pMain, 1);

    splitter->addWidget(pcMain);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({226, 914});
    host->setCentralWidget(splitter);

    QTreeWidgetItem* group = nullptr;
    for (const TreeNode& n : kTreeNodes) {
        auto* node = n.level == 0 ? new QTreeWidgetItem(tvTopic) : new QTreeWidgetItem(group);
        if (n.level == 0)
            group = node;
        node->setText(0, topicEnglishText(n.topic));
        node->setData(0, kTopicRole, n.topic);
        setTopicImage(node, n.image);
        nodes_.push_back(node);
    }
    // The groups start open, so every topic can be seen at once.
    for (QTreeWidgetItem* node : nodes_)
        if (node->childCount() > 0) {
            node->setExpanded(true);
            setTopicImage(node, 1);
        }
    fillAlphabetical();

    treeEvents_ = new TopicTreeEvents(this, tvTopic);
    tvTopic->installEventFilter(treeEvents_);
    tvTopic->viewport()->installEventFilter(treeEvents_);
    QObject::connect(tvTopic, &QTreeWidget::currentItemChanged, tvTopic, [this](QTreeWidgetItem* current) {
        if (current)
            tvTopicChange();
    });
    QObject::connect(tvTopic, &QTreeWidget::itemClicked, tvTopic,
                     [this](QTreeWidgetItem* node) { tvTopicClick(node); });
    QObject::connect(tvTopic, &QTreeWidget::itemExpanded, tvTopic,
                     [this](QTreeWidgetItem* node) { tvTopicExpanding(node); });
    QObject::connect(tvTopic, &QTreeWidget::itemCollapsed, tvTopic,
                     [this](QTreeWidgetItem* node) { tvTopicCollapsing(node); });
    QObject::connect(tvAlpha, &QTreeWidget::currentItemChanged, tvAlpha,
                     [this](QTreeWidgetItem* current) { tvAlphaChange(current); });
}

void NavigationPart::registerTopicPage(int topic, QWidget* page)
{
    topics_[topic].page = page;
}

void NavigationPart::setTopicSection(int topic, TopicSection section)
{
    topics_[topic].section = std::move(section);
}

void NavigationPart::setTopicLeave(int topic, TopicLeave leave)
{
    topics_[topic].leave = std::move(leave);
}

QWidget* NavigationPart::topicPage(int topic) const
{
    const auto it = topics_.find(topic);
    return it == topics_.end() ? nullptr : it->second.page;
}

void NavigationPart::showTopic(QTreeWidgetItem* node)
{
    if (!node)
        return;
    const int topic = nodeTopic(node);
    const quint64 dispatch = ++dispatches_;
    dispatchedTopic_ = topic;
    // The tree names the chosen topic from the start: a mouse press makes its node current at once but highlights
    // it only after this dispatch, and an entry may wait for the gateway (the modem diagnostics' first poll) with
    // its page on show.
    markTreeOn(node);
    // The leaving steps and the entry wait for the gateway and pause with the window's events running: input
    // given meanwhile (a click on another topic above all) waits until this dispatch is done.
    std::optional<UserStepScope> step(std::in_place);
    std::optional<UserStepScope>* const outerStep = std::exchange(step_, &step);
    struct RestoreStep
    {
        std::optional<UserStepScope>** cell;
        std::optional<UserStepScope>* outer;
        ~RestoreStep() { *cell = outer; }
    } restoreStep{&step_, outerStep};

    lbMain->clear();
    currentTopic = -1;

    for (int live : kLeavingOrder) {
        if (topic == live)
            continue;
        // A live tool's own leaving step stops it; its page is hidden after it.
        liveTools.stopForLeave(live);
        const auto it = topics_.find(live);
        if (it == topics_.end())
            continue;
        if (it->second.leave)
            it->second.leave();
        else if (it->second.page)
            it->second.page->hide();
    }
    // Every topic but the terminal reads the serial port with the normal time-outs; the terminal's 1 ms ones
    // would cut the replies of every later command short.
    if (topic != kTerminalTopic)
        SetPortTimeouts(&CurrentConnection);

    for (auto s = std::begin(kSections); s != std::end(kSections); ++s) {
        if (s->action && topic == s->topic)
            endTopicStep(); // a reset is the topic's own work from its question on
        const bool goesOn = runSection(s->topic, topic == s->topic, s->showOnly, s->action);
        if (dispatches_ != dispatch) {
            // Another topic was entered from this section's own work: that dispatch has left this topic and
            // shown its own page; nothing of this one may follow.
            keepTreeOnShownTopic();
            return;
        }
        if (goesOn)
            continue;
        // A section ended the dispatch: the later sections and the closing step do not run. Their pages only
        // go out of sight (nothing of their tools is stopped, nothing is sent), so that no page stands under
        // the title of another topic.
        for (auto later = s + 1; later != std::end(kSections); ++later)
            if (QWidget* page = topicPage(later->topic); page && page != topicPage(topic))
                page->hide();
        return;
    }

    // A run that goes on (its own topic chosen again) keeps them disabled until it ends.
    if (!keepsGatewayRunsDisabled(topic) && !liveTools.anyHoldsGatewayRuns())
        fMain->setGatewayRunsEnabled(true);
}

void NavigationPart::endTopicStep()
{
    if (step_)
        step_->reset();
}

void NavigationPart::keepTreeOnShownTopic()
{
    QTimer::singleShot(0, tvTopic, [this] { markTreeOn(topicNodeOf(dispatchedTopic_)); });
}

void NavigationPart::markTreeOn(QTreeWidgetItem* node)
{
    if (!node || (tvTopic->currentItem() == node && node->isSelected()))
        return;
    const QSignalBlocker quiet(tvTopic); // its dispatch runs or has run: no other one
    tvTopic->setCurrentItem(node);
}

bool NavigationPart::runSection(int topic, bool chosen, bool showOnly, bool action)
{
    const auto it = topics_.find(topic);
    if (it != topics_.end() && it->second.section)
        return it->second.section(chosen);
    if (action)
        return true; // a reset topic that is not built does nothing
    if (chosen) {
        showTopicPage(topic);
    } else if (!showOnly) {
        // A live topic left here rather than in the leaving steps (voice, test calls) stops its tool first.
        liveTools.stopForLeave(topic);
        if (it != topics_.end() && it->second.page)
            it->second.page->hide();
    }
    return true;
}

void NavigationPart::showTopicTitle(int topic, bool drawNow)
{
    lbMain->setText(labelText(topic));
    if (drawNow)
        lbMain->repaint();
    currentTopic = topic;
}

void NavigationPart::showTopicPage(int topic)
{
    showTopicTitle(titleOf(topic), true);
    if (QWidget* page = topicPage(topic)) {
        page->show();
        page->raise();
    }
}

int NavigationPart::nodeTopic(const QTreeWidgetItem* node)
{
    if (!node)
        return -1;
    bool ok = false;
    const int topic = node->data(0, kTopicRole).toInt(&ok);
    return ok ? topic : -1;
}

QTreeWidgetItem* NavigationPart::topicNode(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < nodes_.size() ? nodes_[static_cast<size_t>(index)] : nullptr;
}

QTreeWidgetItem* NavigationPart::topicNodeOf(int topic) const
{
    QTreeWidgetItem* found = nullptr;
    for (QTreeWidgetItem* node : nodes_)
        if (nodeTopic(node) == topic)
            found = node;
    return found;
}

void NavigationPart::setTopicImage(QTreeWidgetItem* node, int image)
{
    if (!node)
        return;
    node->setIcon(0, topicImage(image));
    node->setData(0, kImageRole, image);
}

int NavigationPart::topicImageIndex(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kImageRole).toInt() : -1;
}

void NavigationPart::tvTopicChange()
{
    changedInPress_ = true;
    showTopic(tvTopic->currentItem());
}

void NavigationPart::tvTopicClick(QTreeWidgetItem* node)
{
    Q_UNUSED(node);
    if (changedInPress_) {
        // This click's press changed the selection, which has dispatched already.
        changedInPress_ = false;
        return;
    }
    showTopic(tvTopic->currentItem());
}

void NavigationPart::tvTopicExpanding(QTreeWidgetItem* node)
{
    if (node && node->childCount() > 0) // the view also reports leaves when it opens a branch
        setTopicImage(node, 1);
}

void NavigationPart::tvTopicCollapsing(QTreeWidgetItem* node)
{
    if (node && node->childCount() > 0)
        setTopicImage(node, 0);
}

bool NavigationPart::tvTopicKeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    QTreeWidgetItem* node = tvTopic->currentItem();
    if (!node || topicImageIndex(node) != 0)
        return false;
    tvTopic->expandRecursively(tvTopic->indexFromItem(node));
    // The view reports no expansion while a layout is pending; the images follow the nodes in any case.
    std::vector<QTreeWidgetItem*> open{node};
    while (!open.empty()) {
        QTreeWidgetItem* n = open.back();
        open.pop_back();
        if (n->childCount() > 0)
            setTopicImage(n, 1);
        for (int i = 0; i < n->childCount(); ++i)
            open.push_back(n->child(i));
    }
    return true;
}

void NavigationPart::tvAlphaChange(QTreeWidgetItem* entry)
{
    if (!entry)
        return;
    // Selecting the topic's node lets the tree's change event dispatch, once; a node that is selected
    // already is left as it is.
    if (QTreeWidgetItem* node = topicNodeOf(nodeTopic(entry)))
        tvTopic->setCurrentItem(node);
}

void NavigationPart::selectTopic(int topic)
{
    QTreeWidgetItem* node = topicNodeOf(topic);
    if (!node)
        return;
    if (tvTopic->currentItem() == node)
        showTopic(node);
    else
        tvTopic->setCurrentItem(node); // the change event dispatches
}

void NavigationPart::fillAlphabetical()
{
    struct Entry
    {
        QString text;
        int topic;
    };
    std::vector<Entry> entries;
    for (QTreeWidgetItem* node : nodes_)
        if (node->parent())
            entries.push_back({node->text(0), nodeTopic(node)});
    // The system locale's collation, as a person reads a list. The C (POSIX) locale has none: it would put
    // every upper-case letter first ("GSM ..." before "Gateway reset"); there the common Latin order serves.
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const QCollator collator(locale);
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const Entry& a, const Entry& b) { return collator.compare(a.text, b.text) < 0; });

    const QSignalBlocker block(tvAlpha);
    tvAlpha->clear();
    for (const Entry& e : entries) {
        auto* item = new QTreeWidgetItem(tvAlpha);
        item->setText(0, e.text);
        item->setData(0, kTopicRole, e.topic);
        setTopicImage(item, 2);
    }
}

void NavigationPart::setLabelsTopicTree(const Tlabels& labels)
{
    auto text = [&labels](int k) { return labelOr(labels, k, topicEnglishText(k)); };
    // The online topics carry the captions just given to their menu items, so node and item always agree.
    const QAction* const menuItems[] = {
        fMain->mLogin,    fMain->mDate,    fMain->mFirm,      fMain->mTrac,     fMain->mTerm,   fMain->mLogFile,
        fMain->mCallData, fMain->mStat,    fMain->mVoiceMess, fMain->mDiag,     fMain->mActual, fMain->mBuffer,
        fMain->mConState, fMain->mGsmInfo, fMain->mTest,      fMain->mCommands, fMain->mDynamic};
    topicNode(0)->setText(0, text(28));
    for (int i = 0; i < 17; ++i)
        topicNode(1 + i)->setText(0, menuItems[i]->text());
    topicNode(18)->setText(0, text(29));
    const int configTopics[] = {30, 584, 834, 32, 34, 35, 36, 37, 38};
    for (int i = 0; i < 9; ++i)
        topicNode(19 + i)->setText(0, text(configTopics[i]));
    topicNode(28)->setText(0, text(40));
    topicNode(29)->setText(0, text(41));
    topicNode(30)->setText(0, text(42));

    fillAlphabetical();

    pcMain->setTabText(pcMain->indexOf(tsAlfa), labelOr(labels, 43, QStringLiteral("Alphabetical glossary")));
    pcMain->setTabText(pcMain->indexOf(tsTopic), labelOr(labels, 44, QStringLiteral("Topics")));
}

void NavigationPart::setLabelsTopicTitle(const Tlabels& labels)
{
    lbMain->setText(currentTopic > 0 ? labelAt(labels, currentTopic) : QString());
}

namespace {

// A page with a fixed row of buttons below its scrolled content.
class TopicPageArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    void setFooter(QWidget* footer)
    {
        footer_ = footer;
        placeFooter();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QScrollArea::resizeEvent(event);
        placeFooter();
    }

private:
    void placeFooter()
    {
        if (!footer_)
            return;
        const int h = footer_->sizeHint().height();
        setViewportMargins(0, 0, 0, h);
        footer_->setGeometry(0, height() - h, width(), h);
        footer_->raise();
    }

    QWidget* footer_ = nullptr;
};

} // namespace

QWidget* addPageButtons(QScrollArea* page, std::initializer_list<QPushButton*> buttons)
{
    auto* area = dynamic_cast<TopicPageArea*>(page);
    auto* row = new QWidget(page);
    row->setObjectName(QStringLiteral("pageButtons"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(8);
    for (QPushButton* b : buttons) {
        b->setParent(row);
        b->setMinimumWidth(kPageButtonWidth);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    if (area)
        area->setFooter(row);
    return row;
}

QScrollArea* addTopicPage(QWidget* host, const char* name, int topic)
{
    auto* page = new TopicPageArea(host);
    page->setObjectName(QString::fromLatin1(name));
    page->setWidgetResizable(true);
    page->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    content->setObjectName(QString::fromLatin1(name) + QStringLiteral("Content"));
    page->setWidget(content);
    if (host)
        if (auto* grid = qobject_cast<QGridLayout*>(host->layout()))
            grid->addWidget(page, 0, 0);
    page->hide();
    if (topic > 0 && fMain)
        fMain->registerTopicPage(topic, page);
    return page;
}

void addTopicToPage(QWidget* page, int topic)
{
    if (fMain && page && topic > 0)
        fMain->registerTopicPage(topic, page);
}
