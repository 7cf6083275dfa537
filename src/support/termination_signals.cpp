#include "support/termination_signals.h"

#include <signal.h>

#include <initializer_list>

namespace tagwright {

void catchTerminationSignals(void (*handler)(int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current
        {
        };
        if (::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace tagwright
