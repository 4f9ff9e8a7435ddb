#pragma once
// Hands the result of background work back to the GUI thread.

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <utility>

namespace launcher {

// Queues `work(*target)` on the GUI thread; call it from any thread while the
// application object exists. The target is held weakly and only looked at on
// the GUI thread, where it is also destroyed: when it is gone by the time the
// work runs, the work does nothing. Queued work runs in the order it was handed back.
template <typename Target, typename Work>
void handBack(QPointer<Target> target, Work work)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return;
    QMetaObject::invokeMethod(
        application,
        [target = std::move(target), work = std::move(work)]() mutable {
            if (target)
                work(*target);
        },
        Qt::QueuedConnection);
}

} // namespace launcher
