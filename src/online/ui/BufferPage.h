#pragma once
// The buffer state page: the gateway's loop and stack figures ("AT!Q"), read when the topic is chosen.
#include "texts/Labels.h"

class QLabel;
class QScrollArea;
class QWidget;

class BufferPage
{
public:
    QScrollArea* pBuffer = nullptr;
    QLabel* lbBufferCount = nullptr;
    QLabel* lbBufferLongest = nullptr;
    QLabel* lbBufferSystem = nullptr;
    QLabel* lbBufferApp = nullptr;
    QLabel* lbBufferRecords = nullptr;
    QLabel* lbBuffer1 = nullptr;
    QLabel* lbBuffer2 = nullptr;
    QLabel* lbBuffer3 = nullptr;
    QLabel* lbBuffer4 = nullptr;
    QLabel* lbBuffer5 = nullptr;

    void buildBufferPage(QWidget* host);
    void setLabelsBuffer(const Tlabels& t);

private:
    bool bufferSection(bool chosen);
};
