// kezurin-cli.exe on files whose names no code page holds, started the way
// Windows starts it: a UTF-16 command line, files made and read back by their
// UTF-16 names.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.hpp"  // Utf8FromWide

namespace kezurin::cli {
namespace {

namespace fs = std::filesystem;

std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

void WriteBytes(const fs::path& path, std::string_view bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr) << "cannot create " << Utf8FromWide(path.native());
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const fs::path& path) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return "(missing)";
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

struct Finished {
    DWORD status = 1234;
    std::string out;
    std::string err;
};

fs::path ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

HANDLE InheritableFile(const fs::path& path, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, 0, nullptr);
}

// All the characters of the console's screen.
std::wstring ConsoleText(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(console, &info);
    std::wstring text(static_cast<std::size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, text.data(), static_cast<DWORD>(text.size()), {0, 0}, &read);
    text.resize(read);
    return text;
}

class FileNames : public ::testing::Test {
protected:
    static constexpr std::string_view kSource = "int a; // \xE6\xB3\xA8\nint b;\r\n";
    static constexpr std::string_view kRemoved = "int a; \nint b;\r\n";

    // A folder of its own for each test, since CTest runs them side by side.
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = ProgramFolder() / (L"file_names_" + std::wstring(test.begin(), test.end()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Runs kezurin-cli.exe in the test's folder with `arguments` as Windows
    // passes them, its output and messages going to `out` and `err`.
    DWORD Cli(const std::wstring& arguments, HANDLE out, HANDLE err, DWORD flags) {
        std::wstring command = L"\"" + (ProgramFolder() / L"kezurin-cli.exe").native() + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = INVALID_HANDLE_VALUE;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        DWORD status = 1234;
        const std::wstring folder = folder_.native();
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr, folder.c_str(), &startup,
                           &process)) {
            if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1234);
            GetExitCodeProcess(process.hProcess, &status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        return status;
    }

    // The same with output and messages to files, read back.
    Finished Cli(const std::wstring& arguments) {
        const fs::path outPath = folder_.native() + L".out";
        const fs::path errPath = folder_.native() + L".err";
        const HANDLE out = InheritableFile(outPath, CREATE_ALWAYS);
        const HANDLE err = InheritableFile(errPath, CREATE_ALWAYS);
        // Detached: with a console of its own, Wine starts a console host that
        // holds the files and the folder a moment after the program ends.
        Finished run;
        run.status = Cli(arguments, out, err, DETACHED_PROCESS);
        CloseHandle(out);
        CloseHandle(err);
        run.out = ReadBytes(outPath);
        run.err = ReadBytes(errPath);
        fs::remove(outPath);
        fs::remove(errPath);
        return run;
    }

    fs::path folder_;
};

// Kana, which code page 1252 lacks; an accented Latin letter, which 932
// lacks; simplified Chinese and a check mark, which neither holds.
const wchar_t* const kNames[] = {L"テスト.c", L"café.c", L"数据✓.c"};

TEST_F(FileNames, ByName) {
    for (const wchar_t* name : kNames) {
        SCOPED_TRACE(Utf8FromWide(name));
        WriteBytes(folder_ / name, kSource);
        const Finished shown = Cli(name);
        EXPECT_EQ(shown.status, 0u) << shown.err;
        EXPECT_EQ(shown.out, kRemoved);

        const Finished inPlace = Cli(std::wstring(L"-i ") + name);
        EXPECT_EQ(inPlace.status, 0u) << inPlace.err;
        EXPECT_EQ(ReadBytes(folder_ / name), kRemoved);
    }
    // Nothing left beside them: the temporary files were renamed over them.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()),
              static_cast<std::ptrdiff_t>(std::size(kNames)));
}

TEST_F(FileNames, FoldersInPlace) {
    const fs::path inner = folder_ / L"下位✓";
    fs::create_directories(inner);
    for (const wchar_t* name : kNames) {
        WriteBytes(folder_ / name, kSource);
        WriteBytes(inner / name, kSource);
    }
    const fs::path notSource = inner / L"メモ✓.txt";  // left alone
    WriteBytes(notSource, kSource);

    const Finished run = Cli(L"-r -i .");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.err, "");
    for (const wchar_t* name : kNames) {
        EXPECT_EQ(ReadBytes(folder_ / name), kRemoved) << Utf8FromWide(name);
        EXPECT_EQ(ReadBytes(inner / name), kRemoved) << Utf8FromWide(name);
    }
    EXPECT_EQ(ReadBytes(notSource), kSource);
}

// How many entries a folder named in the \\?\ form holds, "." and ".." aside.
int EntriesIn(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    int entries = -2;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) ++entries;
    FindClose(search);
    return entries;
}

// Below a folder whose full path passes 300 characters, which Windows' file
// functions reach only in the \\?\ form, named as users name files.
TEST_F(FileNames, LongPaths) {
    const std::wstring prefixed = L"\\\\?\\" + folder_.native() + L"\\";
    const std::wstring step(100, L'd');
    std::vector<std::wstring> folders = {L"長い✓"};
    for (int i = 0; i < 3; ++i) folders.push_back(folders.back() + L"\\" + step);
    for (const std::wstring& folder : folders) ASSERT_TRUE(CreateDirectoryW((prefixed + folder).c_str(), nullptr));
    const std::wstring relative = folders.back();
    const std::wstring deep = prefixed + relative + L"\\";
    ASSERT_GT(deep.size(), 300u);
    std::wstring slashed = relative;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    const std::wstring absolute = folder_.native() + L"\\" + relative + L"\\";
    const std::wstring drive = folder_.native().substr(0, 2);

    const struct {
        std::wstring arguments;
        const wchar_t* changed;  // the file that loses its comment; standard output when none
    } runs[] = {
        {slashed + L"/a.c", nullptr},
        {L"-o \"" + absolute + L"b.c\" " + relative + L"\\..\\" + step + L"\\a.c", L"b.c"},
        {L"-r .", nullptr},
        {L"-i " + drive + relative + L"\\a.c", L"a.c"},
        {L"-r -i \"" + prefixed.substr(0, prefixed.size() - 1) + L"\"", L"a.c"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(Utf8FromWide(run.arguments));
        WriteBytes(deep + L"a.c", kSource);
        const Finished done = Cli(run.arguments);
        EXPECT_EQ(done.status, 0u) << done.err;
        EXPECT_EQ(run.changed ? ReadBytes(deep + run.changed) : done.out, kRemoved);
        DeleteFileW((deep + L"b.c").c_str());
        EXPECT_EQ(EntriesIn(deep), 1);  // no temporary file left
    }
    const Finished missing = Cli(slashed + L"/無い.c");
    EXPECT_EQ(missing.err.find("kezurin-cli: " + Utf8FromWide(slashed) + Utf8(u8"/無い.c: No such file")), 0u);

    DeleteFileW((deep + L"a.c").c_str());  // what TearDown cannot reach
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryW((prefixed + *folder).c_str());
}

TEST_F(FileNames, MessagesNameTheFileInUtf8) {
    const Finished run = Cli(L"無い✓.c");
    EXPECT_EQ(run.status, 1u);
    const std::string expected = Utf8(u8"kezurin-cli: 無い✓.c: ");
    EXPECT_EQ(run.err.substr(0, expected.size()), expected);
    EXPECT_NE(run.err.find("No such file"), std::string::npos) << run.err;
}

// On a console the message shows as characters, whatever the console's code
// page (932 here, which holds no check mark).
TEST_F(FileNames, MessagesReadRightInAConsole) {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE console = InheritableFile(L"CONOUT$", OPEN_EXISTING);
    const DWORD status = Cli(L"無い✓.c", console, console, 0);
    const std::wstring screen = ConsoleText(console);
    CloseHandle(console);
    FreeConsole();
    EXPECT_EQ(status, 1u);
    const std::wstring expected = L"kezurin-cli: 無い✓.c: ";
    EXPECT_NE(screen.find(expected), std::wstring::npos) << Utf8FromWide(screen.substr(0, 200));
}

}  // namespace
}  // namespace kezurin::cli
