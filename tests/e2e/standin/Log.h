#pragma once

#include <string>

namespace standin {

// Appends one line per event to ResHacker.events beside the program, so that
// a test can see what the stand-in received and did: "<tag>: <text>". (The
// editor's own account of a command-line run, ResHacker.log, is RunLog's.)
// The process's start and end go to ResHacker.times beside it, as
// "start|exit <100 ns ticks since 1601> <process id>", so that a test can
// tell the editor's time from the caller's; "created" before them is the
// system's creation time of the process (Wine's start-up runs between the
// two), and Mark adds other moments of the run in the same form.
class Log {
public:
    Log();
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;
    void Line(const std::wstring& tag, const std::wstring& text) const;
    void Mark(const wchar_t* event) const;

    // Control characters and backslashes escaped C-style: a script fits on one line.
    static std::wstring Escape(const std::wstring& text);

private:
    void Time(const wchar_t* event, unsigned long long ticks) const;

    std::wstring path_;
    std::wstring timesPath_;
};

}  // namespace standin
