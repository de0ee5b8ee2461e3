#include "gadget/host/qt/ScriptHook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <cstdio>
#include <unistd.h>

namespace wendra::gadgethost::qt {

ScriptHook::ScriptHook(QWebEnginePage& page) : page_(page), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &ScriptHook::readInput);
}

void ScriptHook::readInput() {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        notifier_.setEnabled(false);  // the test closed its end
        return;
    }
    pending_.append(buffer, static_cast<int>(n));
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (!line.trimmed().isEmpty()) run(line);
    }
}

void ScriptHook::run(const QByteArray& line) {
    // The expression goes in as a string literal, so no text of it can end the wrapper.
    QByteArray literal = QJsonDocument(QJsonArray{QString::fromUtf8(line)}).toJson(QJsonDocument::Compact);
    literal = literal.mid(1, literal.size() - 2);
    const QString script = QStringLiteral(
                               "(function(){try{var v=eval(%1);return v===undefined?'undefined':JSON.stringify(v);}"
                               "catch(e){return '!'+e;}})()")
                               .arg(QString::fromUtf8(literal));
    page_.runJavaScript(script, [](const QVariant& answer) {
        const QByteArray text = answer.toString().toUtf8() + '\n';
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
        std::fflush(stdout);
    });
}

}  // namespace wendra::gadgethost::qt
