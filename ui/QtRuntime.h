#pragma once

// Qt needs a QGuiApplication before it can load fonts or paint, even into an image. The command
// line has no window: it draws on the offscreen platform, so it works without any display.

#include <memory>

class QGuiApplication;

// Makes a QGuiApplication exist for its lifetime, unless one already does; keep it alive while
// drawing. The application it makes runs on the offscreen platform and keeps Qt's own
// diagnostics off standard error, which carries the command line's messages. Its fonts are the
// Liberation fonts alone, where Debian puts them (else all the system's), rendered as the system
// renders them.
class QtRuntime {
public:
    QtRuntime();
    ~QtRuntime();
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;

    // Ends the process with the status once everything it writes is written, without taking Qt
    // apart: undoing the application, its plugin, fonts and threads costs a millisecond or more,
    // for a process about to end.
    [[noreturn]] void EndProcess(int status);

private:
    int argc_ = 1;
    char name_[8] = "curvana";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
};
