#pragma once

// Work on files (reading, analysing, writing a page of any size) runs on a thread of its own, so
// that the window repaints and takes Stop meanwhile; what the work shows or asks is done on the
// window's thread, in the order in which the work asked for it.

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace tagwright {

// Runs work on a thread of its own and lets the window's events through until it has ended;
// throws again what the work threw. The caller disables what must not start meanwhile. When the
// system gives no thread, the work is done on the window's thread.
void runOffWindowThread(const std::function<void()>& work);

// Whether this is the window's thread.
inline bool onTheWindowThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs call on the window's thread and waits for its result (at once when called there).
template <class Call> std::invoke_result_t<Call> onWindowThread(Call&& call)
{
    using Result = std::invoke_result_t<Call>;
    if (onTheWindowThread())
        return call();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::forward<Call>(call),
                                  Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { result.emplace(call()); },
            Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
}

// Runs call on the window's thread without waiting for it (at once when called there).
void postToWindowThread(std::function<void()> call);

} // namespace tagwright
