#pragma once
// The page area of the main window. Every page is a scroll box over the whole area, hidden until the topic
// dispatcher shows it. A page part creates its page here and the page registers itself for its topic.
#include <QtGlobal>

#include <initializer_list>

class QPushButton;
class QScrollArea;
class QWidget;

// Creates the page named name (its controls go into page->widget()) as a hidden child of host, the page area,
// and registers it with the dispatcher for topic (the text number of the topic; 0 for a page without a topic).
QScrollArea* addTopicPage(QWidget* host, const char* name, int topic);
// Registers an existing page for one more topic (a page that two topics show).
void addTopicToPage(QWidget* page, int topic);

// The page's button row (Save, Load, Defaults, Save to file, or whatever buttons a page has): one row along
// the bottom of the page, outside the part that scrolls, filled from the left in the given order. Every page
// that puts its buttons here shows them in the same place, whatever its content; a button is at least
// kPageButtonWidth wide, wider when its text needs it. The row is a widget named "pageButtons"; the buttons
// move into it. Call it once per page, after the buttons were created.
inline constexpr int kPageButtonWidth = 130;
QWidget* addPageButtons(QScrollArea* page, std::initializer_list<QPushButton*> buttons);
