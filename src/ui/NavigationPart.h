#pragma once
// The topic tree, the alphabetical list, the page area and the dispatcher that shows the page (or runs the
// action) of the chosen topic.
//
// A topic is known by a fixed number kept with its tree node and its alphabetical entry: the number of the text
// that names it (17 login account ... 704 dynamic CLIP routing table, 41/42 the two resets). The dispatcher
// works on that number, never on the node's text, so a topic opens whatever its text reads in the current
// language (empty or equal to another's included).
//
// showTopic runs in a fixed order: the leaving steps of the live topics not chosen (235, 685, 26, 38, 20, 21),
// then one section per topic (24, 23, 22, 25, 17, 19, 18, 30, 32, 34, 35, 37, 36, 584, 494, 505, 543, 548, 834,
// 685, 26, 235, 38, 21, 20, 704, 41, 42), then the closing step that enables the whole-gateway load and save.
// A page part registers its page for its topic; where a topic does more than show or hide its page, the part
// also sets the topic's section and leaving step. Without them a section shows its page (lbMain takes text k,
// currentTopic becomes k; 705 for the CLIP table) or hides it, and a leaving step hides the page.
#include "texts/Labels.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QFrame;
class QLabel;
class QMainWindow;
class QObject;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class UserStepScope;

// The built-in English name of a topic (by its text number), as the tree and the menu show it when the
// language has no text for it.
QString topicEnglishText(int topic);

class NavigationPart
{
public:
    // A topic's section: gets whether the topic is the chosen one; false ends the dispatch at once.
    using TopicSection = std::function<bool(bool chosen)>;
    // A live topic's leaving step, run when another topic is chosen.
    using TopicLeave = std::function<void()>;

    // Left side
    QTabWidget* pcMain = nullptr;
    QWidget* tsTopic = nullptr;
    QWidget* tsAlfa = nullptr;
    QTreeWidget* tvTopic = nullptr; // 31 nodes: roots 0, 18, 28 with their leaves
    QTreeWidget* tvAlpha = nullptr; // the 28 leaves, sorted by their texts
    // Right side
    QFrame* Panel13 = nullptr;
    QLabel* lbMain = nullptr; // title of the topic on show
    QWidget* pMain = nullptr; // the page area

    // Builds both sides into host's central area.
    void buildNavigation(QMainWindow* host);

    // Registration by the page parts.
    void registerTopicPage(int topic, QWidget* page);
    void setTopicSection(int topic, TopicSection section);
    void setTopicLeave(int topic, TopicLeave leave);
    QWidget* topicPage(int topic) const;

    // The dispatcher; node is the tree's selected node (nothing happens without one). Leaving the other topics
    // and entering this one is one step: the user's input is held until it is done (UserStepScope), so no topic
    // is entered inside another's entry. A dispatch that another one overtook (entered from the work a section
    // began after endTopicStep) does nothing more once its section returns.
    void showTopic(QTreeWidgetItem* node);
    // Ends the running dispatch's step where the chosen topic's own work begins while its section still runs
    // (the modem diagnostics' first poll, the resets): input given from here on runs as usual.
    void endTopicStep();
    // What a section does by default for its chosen topic: title, currentTopic and the page shown.
    void showTopicPage(int topic);
    // The title of topic over the page area and currentTopic; drawNow paints it at once, for a section that
    // goes on to wait for the gateway.
    void showTopicTitle(int topic, bool drawNow);

    // The topic number kept with a node of either tree (-1 for none).
    static int nodeTopic(const QTreeWidgetItem* node);
    // Node n of tvTopic by absolute index (root, its leaves, next root, ...); null past the end.
    QTreeWidgetItem* topicNode(int index) const;
    // The tvTopic node of a topic number; null when there is none.
    QTreeWidgetItem* topicNodeOf(int topic) const;
    // Sets a node's image and selected image (the online leaves: 3 connected, 4 not connected).
    static void setTopicImage(QTreeWidgetItem* node, int image);
    static int topicImageIndex(const QTreeWidgetItem* node);

    // Tree events.
    void tvTopicChange();
    void tvTopicClick(QTreeWidgetItem* node);
    void tvTopicExpanding(QTreeWidgetItem* node);
    void tvTopicCollapsing(QTreeWidgetItem* node);
    bool tvTopicKeyDown(int key); // true when the key was used
    void tvAlphaChange(QTreeWidgetItem* entry);

    // Menu and tool-bar ways to a topic: the topic's node is selected and the dispatcher runs once.
    void selectTopic(int topic);
    void mLoginClick() { selectTopic(17); }
    void mDateClick() { selectTopic(18); }
    void mFirmClick() { selectTopic(19); }
    void mTracClick() { selectTopic(20); }
    void mTermClick() { selectTopic(21); }
    void tbTerminalClick() { selectTopic(21); }
    void mLogFileClick() { selectTopic(22); }
    void mCallDataClick() { selectTopic(23); }
    void mStatClick() { selectTopic(24); }
    void mVoiceMessClick() { selectTopic(25); }
    void mDiagClick() { selectTopic(26); }
    void mActualClick() { selectTopic(235); }
    void mBufferClick() { selectTopic(494); }
    void mConStateClick() { selectTopic(505); }
    void mGsmInfoClick() { selectTopic(543); }
    void mTestClick() { selectTopic(548); }
    void mCommandsClick() { selectTopic(685); }
    void mDynamicClick() { selectTopic(704); }

    // Label steps: the tree, the alphabetical list and the tabs; the title of the topic on show.
    void setLabelsTopicTree(const Tlabels& labels);
    void setLabelsTopicTitle(const Tlabels& labels);

private:
    struct TopicHooks
    {
        QWidget* page = nullptr;
        TopicSection section;
        TopicLeave leave;
    };
    bool runSection(int topic, bool chosen, bool showOnly, bool action);
    void fillAlphabetical();
    // Once the event loop is back: the tree's current and highlighted node is the one of the topic dispatched
    // last (a dispatch overtaken inside a tree click's press would leave the press's node highlighted).
    void keepTreeOnShownTopic();
    // Makes node the tree's current and highlighted node without a dispatch.
    void markTreeOn(QTreeWidgetItem* node);

    std::map<int, TopicHooks> topics_;
    std::vector<QTreeWidgetItem*> nodes_;
    QObject* treeEvents_ = nullptr;
    bool changedInPress_ = false; // the current mouse press has already dispatched through a selection change
    quint64 dispatches_ = 0;      // dispatches begun; a dispatch that sees the count moved was overtaken
    int dispatchedTopic_ = -1;    // the topic of the last dispatch begun
    std::optional<UserStepScope>* step_ = nullptr; // the running dispatch's step, while it lasts

    friend class TopicTreeEvents;
};
