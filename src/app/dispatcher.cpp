#include "app/dispatcher.h"

#include "core/base/kvx_error.h"
#include "core/base/platform.h"

#include <QDebug>

#include <exception>

namespace kvx::app {

Dispatcher::Dispatcher(Platform& platform)
    : m_platform(platform) {}

void Dispatcher::setProgramEnded() {
    if (m_ended)
        return;
    m_ended = true;
    if (onProgramEnded)
        onProgramEnded();
}

bool Dispatcher::run(const std::function<void()>& action) noexcept {
    if (m_ended)
        return false;
    bool ranToEnd = false;
    try {
        action();
        ranToEnd = true;
    } catch (const ProgramEnded&) {
        setProgramEnded();
    } catch (const KvxError& e) {
        report(e.message());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral("An unexpected error occurred."));
    }
    if (!m_ended && onActionDone) {
        try {
            onActionDone();
        } catch (...) {
            // Showing state must not break the action that has run.
        }
    }
    return ranToEnd;
}

void Dispatcher::report(const QString& message) noexcept {
    try {
        m_platform.messageBox(message, MsgStyle::Critical);
    } catch (const ProgramEnded&) {
        setProgramEnded();
    } catch (...) {
        // The message box itself failed: the log is all that is left.
        qWarning().noquote() << "kvx:" << message;
    }
}

} // namespace kvx::app
