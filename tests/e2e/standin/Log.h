#pragma once

#include <string>

namespace standin {

// Appends one line per event to ResHacker.log beside the program, so that a
// test can see what the stand-in received and did: "<tag>: <text>".
class Log {
public:
    Log();
    void Line(const std::wstring& tag, const std::wstring& text) const;

    // Control characters and backslashes escaped C-style: a script fits on one line.
    static std::wstring Escape(const std::wstring& text);

private:
    std::wstring path_;
};

}  // namespace standin
