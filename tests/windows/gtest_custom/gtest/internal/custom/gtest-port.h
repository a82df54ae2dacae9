#ifndef QUILLMARK_GTEST_CUSTOM_PORT_H
#define QUILLMARK_GTEST_CUSTOM_PORT_H

// GoogleTest's customisation point, found before its own empty one. With
// MinGW's win32 thread model the standard library has no std::mutex, which
// GoogleTest's Notification uses; this one waits on a Windows event.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace testing::internal

#endif
