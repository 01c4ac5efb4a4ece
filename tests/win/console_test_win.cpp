// The command-line tool's reports on a console and into a file: Korean text on the console's
// screen as the characters themselves, and UTF-8 bytes in a file.
#include <gtest/gtest.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "base/console_win.h"

namespace {

const std::string kReport =
    "\xEC\xA2\x85\xEB\xA5\x98: \xEC\x96\x91\xEC\x86\x90 \xEB\xAC\xB4\xEA\xB8\xB0\n";  // 종류: 양손 무기
const std::wstring kShown = L"\uC885\uB958: \uC591\uC190 \uBB34\uAE30";

TEST(Console, KoreanReachesAConsoleAsTextAndAFileAsUtf8) {
    // A file gets the bytes, through the C stream's text mode.
    const std::string path = testing::TempDir() + "console_report.txt";
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    WriteStandardStream(HANDLE(_get_osfhandle(_fileno(file))), file, kReport);
    std::fclose(file);
    file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char bytes[64] = {};
    const size_t n = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    const std::string expected = kReport.substr(0, kReport.size() - 1) + "\r\n";
    EXPECT_EQ(std::string(bytes, n), expected);

    // A console of the test's own, whose screen is read back.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    WriteStandardStream(screen, stdout, kReport);
    std::wstring row(80, L' ');
    DWORD read = 0;
    if (!ReadConsoleOutputCharacterW(screen, row.data(), DWORD(row.size()), COORD{0, 0}, &read)) {
        // Wine without a display hands the console to the terminal, whose screen cannot be read.
        CloseHandle(screen);
        FreeConsole();
        GTEST_SKIP() << "this console's screen cannot be read back (no display?)";
    }
    row.resize(read);
    // A console may give a wide character two cells; either way the text is there in order (the
    // report repeats no character but the blank).
    std::wstring once;
    for (wchar_t c : row)
        if (once.empty() || c != once.back() || c == L' ') once += c;
    EXPECT_EQ(once.substr(0, kShown.size()), kShown) << "the console shows the report as text";
    CloseHandle(screen);
    FreeConsole();
}

}  // namespace
