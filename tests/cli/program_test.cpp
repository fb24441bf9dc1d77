// Runs the built kezurin-cli as a separate process, the way scripts use it.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "removed.hpp"
#include "progress_bar.hpp"
#include "kezurin/text_host.hpp"

namespace {

using namespace std::string_literals;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    long long milliseconds = 0;
};

struct RunSetup {
    std::string input;                   // standard input
    std::optional<int> pipePauseMs;      // standard input through a pipe, in parts this far apart
    bool errorOnTerminal = false;        // standard error on a pseudo-terminal
    bool outputOnTerminal = false;       // with errorOnTerminal: standard output on it too
    std::optional<rlim_t> fileSizeLimit;  // larger writes fail with EFBIG, also for root
};

RunSetup StandardInput(std::string text) {
    RunSetup setup;
    setup.input = std::move(text);
    return setup;
}
RunSetup ThroughPipe(std::string text, int pauseMs = 0) {
    RunSetup setup = StandardInput(std::move(text));
    setup.pipePauseMs = pauseMs;
    return setup;
}
RunSetup ErrorOnTerminal() {
    RunSetup setup;
    setup.errorOnTerminal = true;
    return setup;
}
RunSetup FileSizeLimit(rlim_t bytes) {
    RunSetup setup;
    setup.fileSizeLimit = bytes;
    return setup;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/kezurin-cli-test-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        work_ = folder_ + "/work";
        ASSERT_EQ(mkdir(work_.c_str(), 0755), 0);
    }
    void TearDown() override {
        chmod(work_.c_str(), 0755);
        const std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    // A file in the work folder, which holds nothing but the test's own files.
    std::string Path(const std::string& name) const { return work_ + "/" + name; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteFile(Path(name), bytes);
        return Path(name);
    }

    Outcome RunCli(const std::vector<std::string>& arguments, const RunSetup& setup = {}) const {
        const std::string in = folder_ + "/stdin", out = folder_ + "/stdout", err = folder_ + "/stderr";
        WriteFile(in, setup.input);
        int terminal = -1, terminalSide = -1;
        if (setup.errorOnTerminal) {
            terminal = posix_openpt(O_RDWR | O_NOCTTY);
            EXPECT_GE(terminal, 0);
            grantpt(terminal);
            unlockpt(terminal);
            terminalSide = open(ptsname(terminal), O_RDWR | O_NOCTTY);
            EXPECT_GE(terminalSide, 0);
        }
        int feed[2] = {-1, -1};
        pid_t feeder = -1;
        if (setup.pipePauseMs) {
            EXPECT_EQ(pipe(feed), 0);
            feeder = fork();
            if (feeder == 0) {
                close(feed[0]);
                constexpr std::size_t kPiece = 256 * 1024;
                for (std::size_t at = 0; at < setup.input.size(); at += kPiece) {
                    const std::string_view piece = std::string_view(setup.input).substr(at, kPiece);
                    for (std::size_t done = 0; done < piece.size();) {
                        const ssize_t wrote = write(feed[1], piece.data() + done, piece.size() - done);
                        if (wrote <= 0) _exit(1);
                        done += static_cast<std::size_t>(wrote);
                    }
                    usleep(static_cast<useconds_t>(*setup.pipePauseMs) * 1000);
                }
                _exit(0);
            }
            close(feed[1]);
        }
        const auto start = kezurin::cli::MonotonicMilliseconds();
        const pid_t child = fork();
        if (child == 0) {
            dup2(setup.pipePauseMs ? feed[0] : open(in.c_str(), O_RDONLY), 0);
            dup2(setup.outputOnTerminal ? terminalSide : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            dup2(setup.errorOnTerminal ? terminalSide : open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            if (setup.fileSizeLimit) {
                const rlimit limit{*setup.fileSizeLimit, *setup.fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
                signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec: writes then fail with EFBIG
            }
            std::vector<char*> argv{const_cast<char*>(KEZURIN_CLI_PATH)};
            for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        Outcome run;
        if (setup.errorOnTerminal) {
            close(terminalSide);
            run.err = DrainTerminal(terminal);
            close(terminal);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (setup.pipePauseMs) {
            close(feed[0]);
            waitpid(feeder, nullptr, 0);
        }
        run.milliseconds = static_cast<long long>(kezurin::cli::MonotonicMilliseconds() - start);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = ReadFile(out);
        if (!setup.errorOnTerminal) run.err = ReadFile(err);
        return run;
    }

    std::string folder_;
    std::string work_;

private:
    // Everything the child writes to the terminal, until it has closed it.
    static std::string DrainTerminal(int terminal) {
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t got = read(terminal, buffer, sizeof buffer);
            if (got <= 0) break;  // EIO once the other side is closed
            text.append(buffer, static_cast<std::size_t>(got));
        }
        return text;
    }
};

std::string WindowOutput(const std::string& crlfText) {
    kezurin::TextHost host(crlfText, kezurin::LineBreaks::CrLf);
    kezurin::RunRemoval(host, kezurin::kShiftJis);
    return host.OutputText();
}

// ---- line breaks ----

struct BreakCase {
    const char* name;
    std::string input;
    std::string expected;
};

class LineBreakTest : public ProgramTest, public testing::WithParamInterface<BreakCase> {};

TEST_P(LineBreakTest, EveryLineKeepsItsOwnBreak) {
    const Outcome run = RunCli({}, StandardInput(GetParam().input));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, GetParam().expected) << GetParam().name;
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineBreakTest,
    testing::Values(BreakCase{"crlf", "a; // x\r\nb\r\n", "a; \r\nb\r\n"},
                    BreakCase{"lf", "a; // x\nb\n", "a; \nb\n"},
                    BreakCase{"mixed, comment over both kinds", "/* a\r\nb\nc */ d\r\ne\n", " \r\n \n  d\r\ne\n"},
                    BreakCase{"no break at the end", "x // y", "x "},
                    BreakCase{"emptied last line stays without break", "a\n// last", "a\n"},
                    BreakCase{"emptied last line after crlf", "a = 1;\r\n// last", "a = 1;\r\n"},
                    BreakCase{"lone cr belongs to its line", "a\rb // c\n", "a\rb \n"},
                    BreakCase{"empty input", "", ""},
                    BreakCase{"only breaks", "\n\r\n\n", "\n\r\n\n"},
                    BreakCase{"nul bytes are ordinary bytes", "a\0b // c\0d\n/*\0*/e\0"s, "a\0b \ne\0"s}));

// ---- the window's results ----

// CR LF texts with Shift-JIS, like the window's panes hold, including pieces
// that open, close and cut comments across lines.
std::string GeneratedCrLfText(unsigned seed) {
    static const std::vector<std::string> pieces = {
        "int a; // comment", "printf(\"a//b\"); // c", "/* open", "close */ x = 1;", "", "表示(); // 日本語",
        "a /* b */ c /* d", "s = \"//*x*/*\";", "*/", "/*/*/", "  middle", "ソ/* 表 */能", "\"//\"", "x = y / z;"};
    std::mt19937 random(seed);
    std::string text;
    for (int line = 0; line < 400; ++line) {
        text += pieces[random() % pieces.size()];
        if (random() % 5 == 0) text += pieces[random() % pieces.size()];
        text += "\r\n";
    }
    if (seed % 2 == 1) text += "last // no break";
    return text;
}

class WindowResultTest : public ProgramTest, public testing::WithParamInterface<unsigned> {};

TEST_P(WindowResultTest, CrLfTextGivesTheWindowsBytes) {
    const std::string text = GeneratedCrLfText(GetParam());
    const std::string file = Write("window.c", text);
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{file},
                                                      std::vector<std::string>{"--encoding", "cp932", file}}) {
        const Outcome run = RunCli(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out == WindowOutput(text)) << "seed " << GetParam();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, WindowResultTest, testing::Range(1u, 7u));

// Read and worked on a part at a time: comments and lines run on across the
// parts, one line longer than several of them.
TEST_F(ProgramTest, LargeTextGivesTheWindowsBytes) {
    std::string text;
    for (unsigned seed = 10; seed < 40; seed += 2) text += GeneratedCrLfText(seed);
    text += "x = 1; /* " + std::string(300000, 'y') + " */ z = 2; // end\r\n";
    text += GeneratedCrLfText(41);
    const std::string file = Write("large.c", text);
    const Outcome fromFile = RunCli({"--encoding", "cp932", file});
    EXPECT_TRUE(fromFile.out == WindowOutput(text));
    const Outcome fromPipe = RunCli({"--encoding", "cp932"}, StandardInput(text));
    EXPECT_TRUE(fromPipe.out == WindowOutput(text));
}

TEST_F(ProgramTest, SampleFileGivesTheWindowsBytes) {
    const std::string sample = ReadFile(KEZURIN_CLI_DATA "/sample_crlf.c");
    ASSERT_FALSE(sample.empty());
    const Outcome run = RunCli({KEZURIN_CLI_DATA "/sample_crlf.c"});
    EXPECT_EQ(run.out, WindowOutput(sample));
    EXPECT_EQ(run.out, ReadFile(KEZURIN_CLI_DATA "/sample_crlf_expected.c"));
}

// ---- encodings ----

// "ぁ" in UTF-8 ends in 0x81, a Shift-JIS lead byte: read as code page 932
// the first "/" is taken for its second byte, so no "//" is found.
const std::string kUtf8Line = "\xE3\x81\x81// comment\n";

std::string AsciiLines() {
    std::string text;
    while (text.size() < 200000) text += "int a = b;\n";
    return text;
}

struct EncodingCase {
    const char* name;
    std::vector<std::string> options;
    std::string input;
    std::string expected;
};

class EncodingTest : public ProgramTest, public testing::WithParamInterface<EncodingCase> {};

// Standard input from a regular file, which auto may read ahead, and from a
// pipe, which it can only read on.
TEST_P(EncodingTest, DecidesWhereTheCommentBegins) {
    for (const RunSetup& setup : {StandardInput(GetParam().input), ThroughPipe(GetParam().input)}) {
        const Outcome run = RunCli(GetParam().options, setup);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out == GetParam().expected) << GetParam().name << (setup.pipePauseMs ? " (pipe)" : " (file)");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, EncodingTest,
    testing::Values(EncodingCase{"auto on utf-8", {}, kUtf8Line, "\xE3\x81\x81\n"},
                    EncodingCase{"utf-8", {"--encoding", "utf-8"}, kUtf8Line, "\xE3\x81\x81\n"},
                    EncodingCase{"cp932", {"--encoding=cp932"}, kUtf8Line, kUtf8Line},
                    EncodingCase{"auto on text that is not utf-8", {}, kUtf8Line + "\xFF\n", kUtf8Line + "\xFF\n"},
                    EncodingCase{"auto on shift-jis", {}, "表示(); // 日本語\r\n", "表示(); \r\n"},
                    // Read a part at a time: what decides comes after the line it decides.
                    EncodingCase{"auto on utf-8 after 200 KB", {}, AsciiLines() + kUtf8Line + "x\n",
                                 AsciiLines() + "\xE3\x81\x81\nx\n"},
                    EncodingCase{"auto on text that is not utf-8 200 KB before what decides", {},
                                 "\xFF\n" + AsciiLines() + kUtf8Line, "\xFF\n" + AsciiLines() + kUtf8Line},
                    EncodingCase{"auto on text that turns out not utf-8 after 200 KB", {},
                                 AsciiLines() + kUtf8Line + "\xFF\n", AsciiLines() + kUtf8Line + "\xFF\n"},
                    // What decides stands 400 KB after the line it decides.
                    EncodingCase{"auto on utf-8, the line it decides first", {},
                                 kUtf8Line + AsciiLines() + AsciiLines() + "x\n",
                                 "\xE3\x81\x81\n" + AsciiLines() + AsciiLines() + "x\n"},
                    EncodingCase{"auto on text that turns out not utf-8 400 KB on", {},
                                 kUtf8Line + AsciiLines() + AsciiLines() + "\xFF\n",
                                 kUtf8Line + AsciiLines() + AsciiLines() + "\xFF\n"}));

// ---- --syntax c ----

class CSyntaxProgramTest : public ProgramTest, public testing::WithParamInterface<EncodingCase> {};

TEST_P(CSyntaxProgramTest, RemovesWhatACompilerSees) {
    const Outcome run = RunCli(GetParam().options, StandardInput(GetParam().input));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, GetParam().expected) << GetParam().name;
}

const std::string kSoLine = "s = \"\x83\x5C\"; // c\r\n";  // "ソ" in Shift-JIS, a backslash in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Choices, CSyntaxProgramTest,
    testing::Values(
        EncodingCase{"crlf", {"--syntax", "c"}, "f(\"http://x\"); /* a\r\nb */ x; // c\r\n", "f(\"http://x\"); \r\n x; \r\n"},
        EncodingCase{"lines stays the default", {}, "f(\"a\", \"http://x\"); // c\n", "f(\"a\", \"http:\n"},
        EncodingCase{"cp932", {"--syntax=c", "--encoding", "cp932"}, kSoLine, "s = \"\x83\x5C\"; \r\n"},
        EncodingCase{"utf-8", {"--syntax=c", "--encoding", "utf-8"}, kSoLine, kSoLine},
        EncodingCase{"auto on shift-jis after 200 KB", {"--syntax", "c"}, AsciiLines() + kSoLine,
                     AsciiLines() + "s = \"\x83\x5C\"; \r\n"},
        EncodingCase{"auto on utf-8", {"--syntax", "c"}, "s = \"\xE3\x81\x81\"; // c\n", "s = \"\xE3\x81\x81\"; \n"}));

// Read a part at a time: a raw string and a block comment each run over several parts.
TEST_F(ProgramTest, CSyntaxLargeTextGivesTheSameBytesAsInOnePiece) {
    std::string text = "a = R\"x(" + std::string(300000, 'r') + "\n// kept\n)x\"; /* " + std::string(300000, 'c') +
                       "\n*/ b; // end\r\n";
    for (unsigned seed = 1; seed < 20; ++seed) text += GeneratedCrLfText(seed);
    const std::string expected = kezurin::syntax::Removed(kezurin::syntax::MakeCRemoval, text, kezurin::kShiftJis);
    const std::string file = Write("large.c", text);
    EXPECT_TRUE(RunCli({"--syntax", "c", file}).out == expected);
    EXPECT_TRUE(RunCli({"--syntax", "c"}, StandardInput(text)).out == expected);
    EXPECT_TRUE(RunCli({"--syntax", "c", file}, ErrorOnTerminal()).out == expected);
}

TEST_F(ProgramTest, CSyntaxInPlaceAndToAFile) {
    const std::string a = Write("a.c", "a = '\"'; // 1\n"), b = Write("b.c", "b/**/c;\n");
    const Outcome run = RunCli({"--syntax", "c", "-i", a, Path("missing.c"), b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kezurin-cli: " + Path("missing.c") + ": No such file or directory\n");
    EXPECT_EQ(ReadFile(a), "a = '\"'; \n");
    EXPECT_EQ(ReadFile(b), "b c;\n");
    const Outcome toFile = RunCli({"--syntax", "c", a, b, "-o", Path("out.c")});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(ReadFile(Path("out.c")), "a = '\"'; \nb c;\n");
}

// ---- several files ----

TEST_F(ProgramTest, MissingFileIsReportedAndTheOthersStillProcessed) {
    const std::string a = Write("a.c", "a; // 1\n"), b = Write("b.c", "b; /* 2 */\n");
    const Outcome run = RunCli({a, Path("missing.c"), b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "a; \nb; \n");
    EXPECT_EQ(run.err, "kezurin-cli: " + Path("missing.c") + ": No such file or directory\n");
}

TEST_F(ProgramTest, DirectoryIsReportedAsSuch) {
    const std::string a = Write("a.c", "a;\n");
    const Outcome run = RunCli({work_, a});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "a;\n");
    EXPECT_EQ(run.err, "kezurin-cli: " + work_ + ": is a directory\n");
}

TEST_F(ProgramTest, StandardInputAmongFiles) {
    const std::string a = Write("a.c", "a; // 1\n");
    const Outcome run = RunCli({"-", a}, StandardInput("s; // 0\n"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "s; \na; \n");
}

// ---- exit statuses ----

struct StatusCase {
    std::vector<std::string> arguments;
    int status;
    const char* outStart;
};

class ExitStatusTest : public ProgramTest, public testing::WithParamInterface<StatusCase> {};

TEST_P(ExitStatusTest, Is) {
    const Outcome run = RunCli(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_EQ(run.out.substr(0, std::string(GetParam().outStart).size()), GetParam().outStart);
    if (run.status == 2) {
        EXPECT_NE(run.err.find("kezurin-cli: "), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ExitStatusTest,
    testing::Values(StatusCase{{"--help"}, 0, "Usage: kezurin-cli [OPTIONS] [FILE...]\n"},
                    StatusCase{{"--version"}, 0, "kezurin-cli 1."}, StatusCase{{}, 0, ""},
                    StatusCase{{"/nonexistent/a.c"}, 1, ""}, StatusCase{{"--bogus"}, 2, ""},
                    StatusCase{{"-i"}, 2, ""}, StatusCase{{"--encoding", "latin1"}, 2, ""},
                    StatusCase{{"--syntax", "pascal"}, 2, ""},
                    StatusCase{{"-i", "-o", "x", "y"}, 2, ""}));

// ---- writing files ----

TEST_F(ProgramTest, InPlaceRewritesEachFileAndKeepsItsMode) {
    const std::string a = Write("a.c", "a; // 1\r\n"), b = Write("b.c", "/* x */b;\n");
    chmod(a.c_str(), 0640);
    chmod(b.c_str(), 0755);
    const Outcome run = RunCli({"-i", a, b});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(a), "a; \r\n");
    EXPECT_EQ(ReadFile(b), "b;\n");
    struct stat info {};
    stat(a.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    stat(b.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
    EXPECT_EQ(FolderEntries(work_), (std::vector<std::string>{"a.c", "b.c"}));
}

TEST_F(ProgramTest, InPlaceThroughASymbolicLinkRewritesItsTarget) {
    const std::string a = Write("a.c", "a; // 1\n");
    ASSERT_EQ(symlink("a.c", Path("link.c").c_str()), 0);
    const Outcome run = RunCli({"-i", Path("link.c")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(a), "a; \n");
    struct stat info {};
    lstat(Path("link.c").c_str(), &info);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(FolderEntries(work_), (std::vector<std::string>{"a.c", "link.c"}));
}

TEST_F(ProgramTest, InPlaceGoesOnAfterAMissingFile) {
    const std::string a = Write("a.c", "a; // 1\n");
    const Outcome run = RunCli({"-i", Path("missing.c"), a});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(a), "a; \n");
    EXPECT_NE(run.err.find("missing.c: No such file or directory"), std::string::npos);
    EXPECT_EQ(FolderEntries(work_), std::vector<std::string>{"a.c"});
}

// The write of the new text fails half-way (as on a full disk): the original
// stays as it was and no temporary file is left behind. A file size limit
// makes the write fail also for root, whom folder permissions do not stop.
TEST_F(ProgramTest, InPlaceFailedWriteLeavesTheOriginalUntouched) {
    std::string text;
    for (int line = 0; line < 2000; ++line) text += "int value" + std::to_string(line) + "; // note\n";
    const std::string a = Write("a.c", text);
    const Outcome run = RunCli({"-i", a}, FileSizeLimit(4096));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kezurin-cli: " + a + ": File too large\n");
    EXPECT_TRUE(ReadFile(a) == text);
    EXPECT_EQ(FolderEntries(work_), std::vector<std::string>{"a.c"});
}

TEST_F(ProgramTest, InPlaceInReadOnlyFolderLeavesTheOriginalUntouched) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
    const std::string a = Write("a.c", "a; // 1\n");
    chmod(work_.c_str(), 0555);
    const Outcome run = RunCli({"-i", a});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kezurin-cli: " + a + ": Permission denied\n");
    EXPECT_EQ(ReadFile(a), "a; // 1\n");
    EXPECT_EQ(FolderEntries(work_), std::vector<std::string>{"a.c"});
}

TEST_F(ProgramTest, OutputFileGetsAllResults) {
    const std::string a = Write("a.c", "a; // 1\n"), b = Write("b.c", "b; // 2\n");
    const Outcome run = RunCli({a, b, "-o", Path("out.c")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(Path("out.c")), "a; \nb; \n");
}

// The output is written beside and renamed at the end, so naming an input as
// the output does not empty it before it is read.
TEST_F(ProgramTest, OutputFileMayBeOneOfTheInputs) {
    const std::string a = Write("a.c", "a; // 1\n"), b = Write("b.c", "b; // 2\n");
    const Outcome run = RunCli({a, b, "-o", b});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(b), "a; \nb; \n");
    EXPECT_EQ(FolderEntries(work_), (std::vector<std::string>{"a.c", "b.c"}));
}

TEST_F(ProgramTest, FullDeviceAsOutputFails) {
    const std::string a = Write("a.c", "a; // 1\n");
    const Outcome run = RunCli({a, "-o", "/dev/full"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kezurin-cli: /dev/full: No space left on device\n");
}

TEST_F(ProgramTest, FailedOutputFileWriteLeavesTheOldOneUntouched) {
    const std::string a = Write("a.c", std::string(20000, 'x') + "\n");
    const std::string out = Write("out.c", "old\n");
    const Outcome run = RunCli({a, "-o", out}, FileSizeLimit(4096));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(out), "old\n");
    EXPECT_EQ(FolderEntries(work_), (std::vector<std::string>{"a.c", "out.c"}));
}

// ---- progress bar ----

// UTF-8 lines; with `leadBeforeMark`, "ぁ" ends right before a "*/", where
// reading it as Shift-JIS would make a difference.
std::string ManyLines(std::size_t size, bool leadBeforeMark) {
    const std::string line = leadBeforeMark ? "x = 1; // a\ny /* b */ = 2; /* \xE3\x81\x81*/\n"
                                            : "x = 1; // a\ny /* b */ = 2; /* \xE3\x81\x81 */\n";
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size) text += line;
    return text;
}

// Counts the bar's redraws; checks it is wiped at the end, leaving the cursor
// at the start of an empty line.
std::size_t Redraws(const Outcome& shown, const std::string& bar) {
    std::size_t draws = 0;
    for (std::size_t at = shown.err.find(bar); at != std::string::npos; at = shown.err.find(bar, at + 1)) ++draws;
    if (draws == 0) return 0;
    EXPECT_EQ(shown.err.back(), '\r');
    const std::size_t wipe = shown.err.rfind('\r', shown.err.size() - 2);
    EXPECT_EQ(shown.err.find_first_not_of(' ', wipe + 1), shown.err.size() - 1) << shown.err.substr(wipe);
    return draws;
}

TEST_F(ProgramTest, ProgressBarOnlyOnATerminalAndTheOutputTheSame) {
    const std::string text = ManyLines(8u << 20, true);
    const std::string file = Write("big.c", text);
    const Outcome quiet = RunCli({file, "-o", Path("quiet.c")});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    const Outcome shown = RunCli({file, "-o", Path("shown.c")}, ErrorOnTerminal());
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(ReadFile(Path("shown.c")) == ReadFile(Path("quiet.c")));
    EXPECT_LE(Redraws(shown, "big.c: "), static_cast<std::size_t>(shown.milliseconds / 100 + 1));

    // A pipe that takes its time: the bar shows how much has gone through.
    RunSetup slow = ThroughPipe(ManyLines(1u << 20, false), 150);
    slow.errorOnTerminal = true;
    const Outcome piped = RunCli({"-o", Path("piped.c")}, slow);
    EXPECT_EQ(piped.status, 0);
    const std::size_t draws = Redraws(piped, "standard input: removing comments ");
    EXPECT_GE(draws, 1u) << piped.err;
    EXPECT_LE(draws, static_cast<std::size_t>(piped.milliseconds / 100 + 1));
    EXPECT_NE(piped.err.find(" MB"), std::string::npos) << piped.err;

    // Where the output goes to the same terminal, no bar is mixed into it.
    slow.outputOnTerminal = true;
    const Outcome shared = RunCli({}, slow);
    EXPECT_EQ(shared.status, 0);
    EXPECT_EQ(shared.err.find("removing comments"), std::string::npos);
    EXPECT_GT(shared.err.size(), 1u << 19);  // the output itself
}

}  // namespace

// ---- folders with -r ----

TEST_F(ProgramTest, RecursiveWalksSourcesSkipsVersionControlAndLinkLoops) {
    for (const char* folder : {"tree", "tree/sub", "tree/sub/deeper", "tree/.git"}) {
        ASSERT_EQ(mkdir(Path(folder).c_str(), 0755), 0);
    }
    Write("tree/a.c", "a; // x\n");
    Write("tree/notes.txt", "keep // this\n");
    Write("tree/sub/b.H", "b; /* y */\n");
    Write("tree/sub/deeper/c.cpp", "c; // z\n");
    Write("tree/.git/d.c", "d; // git\n");
    ASSERT_EQ(symlink("..", Path("tree/sub/loop").c_str()), 0);

    const Outcome run = RunCli({"-r", Path("tree")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "a; \nb; \nc; \n");

    const Outcome picked = RunCli({"--recursive", "--extensions", "txt", Path("tree")});
    EXPECT_EQ(picked.out, "keep \n");
}

TEST_F(ProgramTest, RecursiveInPlaceGoesOnAfterAFailingFile) {
    ASSERT_EQ(mkdir(Path("tree").c_str(), 0755), 0);
    Write("tree/1.c", "one; // 1\n");
    ASSERT_EQ(symlink("missing.c", Path("tree/2.c").c_str()), 0);
    Write("tree/3.c", "three; // 3\n");

    const Outcome run = RunCli({"-r", "-i", Path("tree")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("2.c"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(Path("tree/1.c")), "one; \n");
    EXPECT_EQ(ReadFile(Path("tree/3.c")), "three; \n");
    EXPECT_EQ(FolderEntries(Path("tree")), (std::vector<std::string>{"1.c", "2.c", "3.c"}));
}

// A name longer than the system takes (PATH_MAX), which root cannot stat either.
TEST_F(ProgramTest, RecursiveReportsAnEntryItCannotTellAndGoesOn) {
    ASSERT_EQ(mkdir(Path("tree").c_str(), 0755), 0);
    Write("tree/1.c", "one; // 1\n");
    const std::string step(250, 'd');
    std::string tooLong = Path("tree");
    int fd = open(tooLong.c_str(), O_RDONLY | O_DIRECTORY);
    for (; tooLong.size() < PATH_MAX; tooLong += "/" + step) {
        ASSERT_EQ(mkdirat(fd, step.c_str(), 0755), 0);
        const int inner = openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = inner;
    }
    close(fd);

    const Outcome run = RunCli({"-r", "-i", Path("tree")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kezurin-cli: " + tooLong + ": File name too long\n");
    EXPECT_EQ(ReadFile(Path("tree/1.c")), "one; \n");
}

// ---- --syntax auto and the other exact syntaxes ----

TEST_F(ProgramTest, AutoPicksEachFilesSyntaxAndRefusesUnknownExtensions) {
    ASSERT_EQ(mkdir(Path("web").c_str(), 0755), 0);
    Write("web/a.json", "{\"u\": \"//x\"} // 1\n");
    Write("web/b.css", "a { b: url(//x) } /* 2 */\n");
    Write("web/c.SCSS", "$c: 1; // 3\n");
    Write("web/d.txt", "d // 4\n");
    Write("web/e.c", "e; // 5\n");
    const Outcome all = RunCli({"--syntax", "auto", "-r", Path("web")});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "{\"u\": \"//x\"} \na { b: url(//x) } \n$c: 1; \ne; \n");
    EXPECT_EQ(RunCli({"--syntax", "css", "-r", Path("web")}).out, "a { b: url(//x) } \n");

    const Outcome named = RunCli({"--syntax", "auto", Path("web/a.json"), Path("web/d.txt"), Path("web/b.css")});
    EXPECT_EQ(named.status, 1);
    EXPECT_EQ(named.out, "{\"u\": \"//x\"} \na { b: url(//x) } \n");
    EXPECT_EQ(named.err, "kezurin-cli: " + Path("web/d.txt") +
                             ": --syntax auto knows no syntax for this file's extension; name one with --syntax\n");
}

TEST_F(ProgramTest, WarnsOfWhatIsLeftOpenAndStillSucceeds) {
    const Outcome run = RunCli({"--syntax", "css"}, StandardInput("a {}\nb { /* c\n}\n"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "a {}\nb { \n\n");
    EXPECT_EQ(run.err, "kezurin-cli: standard input:2: warning: block comment not closed by the end of the input\n");
}
