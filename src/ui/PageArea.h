#pragma once
// The page area of the main window. Every page is a scroll box over the whole area, hidden until the topic
// dispatcher shows it. A page part creates its page here and the page registers itself for its topic.
#include <QtGlobal>

class QScrollArea;
class QWidget;

// Creates the page named name (its controls go into page->widget()) as a hidden child of host, the page area,
// and registers it with the dispatcher for topic (the text number of the topic; 0 for a page without a topic).
QScrollArea* addTopicPage(QWidget* host, const char* name, int topic);
// Registers an existing page for one more topic (a page that two topics show).
void addTopicToPage(QWidget* page, int topic);
