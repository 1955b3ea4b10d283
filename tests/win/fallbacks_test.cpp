// The calls newer than Windows XP that the program looks up or tries at run time, each with the
// lookup or the call made to fail as it fails on XP.
#include "dpi.h"
#include "rotation/find_first_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quillarbor;
using namespace quillarbor::win32;

namespace {

FARPROC notFound(const char*) {
    return nullptr;
}

class Window {
public:
    Window()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr)) {}
    ~Window() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

LOGFONTW systemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    return metrics.lfMessageFont;
}

RECT adjusted(const DpiCalls& calls, UINT dpi, bool menu) {
    RECT rect{0, 0, 501, 390};
    adjustWindowRect(rect, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, menu, 0, dpi, calls);
    return rect;
}

} // namespace

TEST(DpiFallbacks, WithoutTheWindows10CallsEveryAnswerComesFromTheSystemDpi) {
    const DpiCalls none = lookUpDpiCalls(notFound);
    EXPECT_EQ(none.getDpiForWindow, nullptr);
    EXPECT_EQ(none.adjustWindowRectExForDpi, nullptr);
    EXPECT_EQ(none.getSystemMetricsForDpi, nullptr);
    EXPECT_EQ(none.systemParametersInfoForDpi, nullptr);

    const UINT system = systemDpi();
    const Window window;
    EXPECT_EQ(dpiForWindow(window.get(), none), system);

    for (const int index : {SM_CXICON, SM_CXSMICON, SM_CYCAPTION, SM_CYMENU}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(systemMetric(index, system, none), GetSystemMetrics(index));
        EXPECT_EQ(systemMetric(index, 2 * system, none), 2 * GetSystemMetrics(index));
    }

    for (const bool menu : {false, true}) {
        RECT expected{0, 0, 501, 390};
        AdjustWindowRectEx(&expected, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, menu, 0);
        const RECT got = adjusted(none, system, menu);
        EXPECT_EQ(got.left, expected.left);
        EXPECT_EQ(got.top, expected.top);
        EXPECT_EQ(got.right, expected.right);
        EXPECT_EQ(got.bottom, expected.bottom);
        const RECT doubled = adjusted(none, 2 * system, menu);
        EXPECT_EQ(doubled.top, 2 * expected.top);
        EXPECT_EQ(doubled.bottom - 390, 2 * (expected.bottom - 390));
    }

    const LOGFONTW desktop = systemMessageFont();
    const LOGFONTW font = messageFont(system, none);
    EXPECT_EQ(font.lfHeight, desktop.lfHeight);
    EXPECT_EQ(std::wstring(font.lfFaceName), desktop.lfFaceName);
    EXPECT_EQ(messageFont(2 * system, none).lfHeight, 2 * desktop.lfHeight);
}

TEST(DpiFallbacks, WhereTheWindows10CallsExistTheyAgreeWithTheFallbacksAtTheSystemDpi) {
    const DpiCalls& found = dpiCalls();
    if (found.getDpiForWindow == nullptr || found.systemParametersInfoForDpi == nullptr) {
        GTEST_SKIP() << "this system has no per-monitor DPI calls";
    }
    const DpiCalls none;
    const UINT system = systemDpi();
    const Window window;
    EXPECT_EQ(dpiForWindow(window.get(), found), dpiForWindow(window.get(), none));
    EXPECT_EQ(systemMetric(SM_CXSMICON, system, found), systemMetric(SM_CXSMICON, system, none));
    EXPECT_EQ(adjusted(found, system, true).top, adjusted(none, system, true).top);

    // The longer structure the per-DPI call is given is one it accepts.
    NonClientMetrics metrics{};
    metrics.xp.cbSize = sizeof metrics;
    EXPECT_TRUE(found.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                                                 0, system));
    EXPECT_EQ(messageFont(system, found).lfHeight, messageFont(system, none).lfHeight);
}

namespace {

int refused = 0;

// FindFirstFileExW as Windows XP has it: the information level and the flag of Windows 7 are
// invalid parameters.
HANDLE WINAPI findFirstLikeXp(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID data,
                              FINDEX_SEARCH_OPS search, LPVOID filter, DWORD flags) {
    if (level != FindExInfoStandard || flags != 0) {
        ++refused;
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileExW(pattern, level, data, search, filter, flags);
}

} // namespace

TEST(FindFirstFallback, RefusedAsOnXpTheSearchIsMadeInXpsFormAndFailuresStayWhatTheyAre) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder =
        std::wstring(temp) + L"quillarbor-find-first-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\dusk.bmp";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    WIN32_FIND_DATAW entry{};
    const HANDLE find = detail::findFirstFile(folder + L"\\*", entry, findFirstLikeXp);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> names;
    do {
        names.emplace_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    EXPECT_EQ(refused, 1);
    EXPECT_NE(std::find(names.begin(), names.end(), L"dusk.bmp"), names.end());

    // A folder that is not there is reported as such, not as the refusal.
    refused = 0;
    EXPECT_EQ(detail::findFirstFile(folder + L"\\missing\\*", entry, findFirstLikeXp),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(refused, 1);

    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}
