#include "platform/serial/QtSerialPort.h"

#include <QSocketNotifier>

#include <vector>

namespace wendra {

struct QtSerialPort::Impl {
    Impl(TtySerialPort::DevicePathFor pathFor, std::chrono::milliseconds writeTimeout)
        : tty(std::move(pathFor), writeTimeout) {}

    void watch() {
        notifier = std::make_unique<QSocketNotifier>(tty.nativeHandle(), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { readable(); });
    }

    // The handler may close or reopen the port while its notifier is still sending
    // the signal, so a notifier that is let go of is kept until the signal is over.
    void unwatch() {
        if (!notifier) return;
        notifier->setEnabled(false);
        if (dispatching > 0)
            retired.push_back(std::move(notifier));
        else
            notifier.reset();
    }

    void readable() {
        ++dispatching;
        tty.poll();
        --dispatching;
        refresh();
        if (dispatching == 0) retired.clear();
    }

    void refresh() {
        if (notifier) notifier->setEnabled(tty.wantsInput());
    }

    TtySerialPort tty;  // first, so its descriptor closes after the notifiers are gone
    std::unique_ptr<QSocketNotifier> notifier;
    std::vector<std::unique_ptr<QSocketNotifier>> retired;
    int dispatching = 0;
};

QtSerialPort::QtSerialPort(TtySerialPort::DevicePathFor pathFor, std::chrono::milliseconds writeTimeout)
    : impl_(std::make_unique<Impl>(std::move(pathFor), writeTimeout)) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::open(int port) {
    impl_->unwatch();
    if (!impl_->tty.open(port)) return false;
    impl_->watch();
    return true;
}

void QtSerialPort::close() {
    impl_->unwatch();
    impl_->tty.close();
}

bool QtSerialPort::isOpen() const { return impl_->tty.isOpen(); }
int QtSerialPort::portNumber() const { return impl_->tty.portNumber(); }
std::size_t QtSerialPort::bytesWaiting() { return impl_->tty.bytesWaiting(); }

std::string QtSerialPort::readAll() {
    std::string bytes = impl_->tty.readAll();
    impl_->refresh();  // room again after a full buffer
    return bytes;
}

bool QtSerialPort::write(std::string_view bytes) { return impl_->tty.write(bytes); }
void QtSerialPort::setReceiveHandler(Received handler) { impl_->tty.setReceiveHandler(std::move(handler)); }
SerialError QtSerialPort::lastError() const { return impl_->tty.lastError(); }

}  // namespace wendra
