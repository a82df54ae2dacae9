#pragma once

#include <string>

#include "platform/OpResult.h"

namespace quillmark {

// Private profile (INI) files, either in the system ANSI code page or in
// UTF-16 (a file that begins with the UTF-16LE byte-order mark); a write
// keeps the file's encoding, so a value that does not fit the code page is
// stored exactly only in a UTF-16 file.
struct Profile {
    virtual ~Profile() = default;

    // The value as a buffer of `bufferSize` UTF-16 units would hold it
    // (empty when the file, section or key is missing).
    virtual std::wstring GetProfileString(const std::wstring& section, const std::wstring& key, int bufferSize,
                                          const std::wstring& file) = 0;
    virtual bool WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                    const std::wstring& file) = 0;
    // Turns the profile file into UTF-16 with every line it held; a file
    // already in UTF-16 stays as it is, a missing one is created empty. A
    // failure leaves the file as it was.
    virtual OpResult ConvertProfileToUnicode(const std::wstring& file) = 0;
};

}  // namespace quillmark
