#pragma once
// Laying the pages out for the gateway model: model 0 has two ISDN BRI ports (BRI 1 NT, BRI 2 TE), model 1
// one. The controls of the second port are shown or hidden and moved, and the captions that name a port
// follow.
//
// Every page whose controls depend on the model lays itself out in a step of its own, which it registers
// when it builds itself:
//
//     addModelLayoutStep([this](int model) { setModelLayoutPortModes(model); });
//
// setModelLayout runs every registered step for a model of 0 or 1; any other value changes nothing. A step
// sends nothing, reads no file and leaves gatewayModel alone (the callers set it); switching 0 -> 1 -> 0
// brings every position, visibility and caption back, while choices moved to the remaining port stay moved.
// The steps of different pages touch different controls, so their order does not matter.
#include <functional>
#include <vector>

class ModelLayoutPart
{
public:
    using ModelLayoutStep = std::function<void(int model)>;

    void addModelLayoutStep(ModelLayoutStep step);
    void setModelLayout(int model);

private:
    std::vector<ModelLayoutStep> modelLayoutSteps_;
};
