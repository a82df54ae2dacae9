#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmark {

// The running program and the system's locale.
struct RunningProgram {
    virtual ~RunningProgram() = default;

    virtual std::wstring ProgramFolder() = 0;
    virtual std::wstring ExeBaseName() = 0;
    virtual std::wstring AppTitle() = 0;
    virtual void EndProgram() = 0;
    // The program's command-line arguments as the system splits them,
    // without the program's own name.
    virtual std::vector<std::wstring> CommandLineArguments() = 0;

    // Locale-aware text-to-number conversions; nothing when the text is not
    // a number or does not fit the type.
    virtual std::optional<std::int32_t> TextToLong(const std::wstring& text) = 0;
    virtual std::optional<double> TextToDouble(const std::wstring& text) = 0;

    // Whether the text converts to the system ANSI code page exactly, with
    // no character replaced by a look-alike or a default character: what a
    // program built for that code page receives of it.
    virtual bool FitsAnsiCodePage(const std::wstring& text) = 0;
    // Bytes a program built for the ANSI code page wrote, as text.
    virtual std::wstring FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) = 0;

    // The user's local application data folder (%LOCALAPPDATA%), without a
    // trailing backslash; empty when the system does not say.
    virtual std::wstring LocalAppDataFolder() = 0;
};

}  // namespace quillmark
