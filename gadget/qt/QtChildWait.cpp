#include "gadget/qt/QtChildWait.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace wendra::gadget::qt {

void QtChildWait::waitFor(process::RunningProcess& child, std::chrono::milliseconds interval,
                          const std::function<void()>& tick) {
    QEventLoop loop;
    std::unique_ptr<QSocketNotifier> ended;
    if (const int fd = child.endDescriptor(); fd >= 0) {
        ended = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        // The descriptor stays readable once the child has ended: one wake is enough.
        QObject::connect(ended.get(), &QSocketNotifier::activated, &loop, [&] {
            ended->setEnabled(false);
            loop.quit();
        });
    }
    QTimer timer;
    timer.setInterval(interval);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        tick();
        // Asked also with a descriptor: an end it did not report still ends the wait.
        if (child.poll()) loop.quit();
    });
    if (!ended && child.poll()) return;
    timer.start();
    loop.exec();
}

}  // namespace wendra::gadget::qt
