#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

class QWebEnginePage;

namespace wendra::gadgethost::qt {

// The whole-program tests' way into the page (WENDRA_GADGET_TEST_HOOK=1): each line
// on standard input is a script expression run in the page, and each answer is one
// line on standard output, the value as JSON ("undefined" for none) or "!" and the
// error it threw, in the order the lines came. It waits on the input; it never polls.
// It must end before the page.
class ScriptHook final : public QObject {
public:
    explicit ScriptHook(QWebEnginePage& page);

private:
    void readInput();
    void run(const QByteArray& line);

    QWebEnginePage& page_;
    QSocketNotifier notifier_;
    QByteArray pending_;
};

}  // namespace wendra::gadgethost::qt
