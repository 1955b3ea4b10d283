#pragma once

#include <string>

#include <windows.h>

namespace quillarbor::detail {

using FindFirstFileExCall = HANDLE(WINAPI*)(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS,
                                            LPVOID, DWORD);

// Opens a folder search for `pattern` in the faster form Windows 7 added (no short names, larger
// reads), or in the form Windows XP knows when the system refuses that one as an invalid
// parameter. Returns what FindFirstFileExW returns, with its last error.
inline HANDLE findFirstFile(const std::wstring& pattern, WIN32_FIND_DATAW& entry,
                            FindFirstFileExCall call = FindFirstFileExW) {
    const HANDLE find = call(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                             nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) {
        return find;
    }
    return call(pattern.c_str(), FindExInfoStandard, &entry, FindExSearchNameMatch, nullptr, 0);
}

} // namespace quillarbor::detail
