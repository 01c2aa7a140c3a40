#pragma once

// Every action the user takes reaches the models through a Dispatcher. It runs
// the action and catches what the core may throw, so that nothing escapes
// into the Qt event loop: a run-time error (KvxError or any standard
// exception) is shown in a message box, and ProgramEnded (the platform has
// already been told to end the program) stops every later action.

#include <QString>

#include <functional>

namespace kvx {
class Platform;
}

namespace kvx::app {

class Dispatcher {
public:
    explicit Dispatcher(Platform& platform);

    // Runs one action of the user; true when it ran to its end.
    bool run(const std::function<void()>& action) noexcept;

    // True once an action (or the program's start) has ended the program;
    // from then on run() does nothing.
    bool programEnded() const { return m_ended; }
    void setProgramEnded();

    // Called once when the program ends, to close the windows and leave the
    // event loop (the platform normally did both already).
    std::function<void()> onProgramEnded;

    // Called after each action, whatever its outcome, while the program runs:
    // state that the models keep without telling (the project's modified
    // flag) is shown again from here.
    std::function<void()> onActionDone;

private:
    void report(const QString& message) noexcept;

    Platform& m_platform;
    bool m_ended = false;
};

} // namespace kvx::app
