#include "online/LiveCells.h"

void resetLiveCells()
{
    diagUnfinishedPolls = 0;
    actualUnfinishedPolls = 0;
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
}
