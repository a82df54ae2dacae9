#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// A started process; `id` is 0 when the start failed.
struct LaunchResult {
    std::uintptr_t id = 0;
    std::wstring error;
};

enum class WaitOutcome { Done, TimedOut, Failed };

enum class KeyDirection { Down, Up };

// Starting the editor, waiting for it and typing into it.
struct EditorProcess {
    virtual ~EditorProcess() = default;

    // Returns at once. Show state 1: normal and focused, 0: hidden.
    virtual LaunchResult Launch(const std::wstring& commandLine, int showState) = 0;
    // Until the process waits for input and one of its windows is in front.
    virtual WaitOutcome WaitUntilReady(std::uintptr_t process, int timeoutMs) = 0;
    virtual WaitOutcome WaitForExit(std::uintptr_t process, int timeoutMs) = 0;
    // The exit code of a process that has ended; nothing when the system
    // cannot tell.
    virtual std::optional<std::uint32_t> ExitCode(std::uintptr_t process) = 0;
    virtual void ReleaseProcess(std::uintptr_t process) = 0;
    // Ends a started process that is still running and waits until it is
    // gone; false when it could not be ended.
    virtual bool EndStartedProcess(std::uintptr_t process) = 0;

    // One synthesised key event, to whichever window has the focus.
    virtual void KeybdEvent(std::uint8_t virtualKey, KeyDirection direction) = 0;
};

}  // namespace quillmark
