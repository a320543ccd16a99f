#include "ui/ModelLayoutPart.h"

void ModelLayoutPart::addModelLayoutStep(ModelLayoutStep step)
{
    modelLayoutSteps_.push_back(std::move(step));
}

void ModelLayoutPart::setModelLayout(int model)
{
    if (model != 0 && model != 1)
        return;
    for (const ModelLayoutStep& step : modelLayoutSteps_)
        step(model);
}
