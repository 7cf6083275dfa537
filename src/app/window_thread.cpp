#include "app/window_thread.h"

#include <QEventLoop>

#include <exception>
#include <system_error>
#include <thread>

namespace tagwright {

void runOffWindowThread(const std::function<void()>& work)
{
    bool ended = false; // set on this thread, after all that the work posted
    std::exception_ptr failure;
    {
        std::jthread thread;
        try {
            thread = std::jthread([&] {
                try {
                    work();
                } catch (...) {
                    failure = std::current_exception();
                }
                postToWindowThread([&ended] { ended = true; });
            });
        } catch (const std::system_error&) {
            // The system gives no thread (a small limit of processes): the work is done here,
            // and the window waits for it.
            work();
            return;
        }
        // Not an event loop of its own: the program's quit ends every event loop at once, and
        // this one must outlast the work, whose data lives in this frame.
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void postToWindowThread(std::function<void()> call)
{
    if (onTheWindowThread())
        call();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call),
                                  Qt::QueuedConnection);
}

} // namespace tagwright
