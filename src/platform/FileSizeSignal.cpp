#include "platform/FileSizeSignal.h"

#include <csignal>

void IgnoreFileSizeSignal()
{
    struct sigaction current{};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        ::signal(SIGXFSZ, SIG_IGN);
}
