#pragma once
// The images of the tool bar and of the topic trees, drawn in code so that the program carries no image files.
#include <QIcon>

enum class ToolImage {
    OpenFile,    // load from the gate file
    SaveFile,    // save to the gate file
    Connect,     // plug in
    Disconnect,  // plug out
    LoadGateway, // parameters from the gateway
    SaveGateway, // parameters to the gateway
    FlagCzech,
    FlagEnglish,
    FlagHungary,
    FlagPolish,
    Terminal,
    Close,
};
QIcon toolImage(ToolImage image);

// The topic trees' image list: 0 closed group, 1 open group, 2 page, 3 online topic while connected,
// 4 online topic while not connected.
QIcon topicImage(int index);
