#pragma once
// The voice message page: messages to and from .wav files, recording over a call.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class VoicePage
{
public:
    QScrollArea* pVoice = nullptr;

    void buildVoicePage(QWidget* host) { pVoice = addTopicPage(host, "pVoice", 25); }

    void setLabelsVoice1(const Tlabels&) {}
    void setLabelsVoiceTransfer(const Tlabels&) {}
    void setLabelsVoice2(const Tlabels&) {}
};
