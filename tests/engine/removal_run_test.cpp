#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "reference_removal.hpp"
#include "kezurin/removal_run.hpp"
#include "kezurin/text_host.hpp"
#include "kezurin/text_removal.hpp"

namespace kezurin {
namespace {

// Records every call, delegating the texts to an in-memory host.
class RecordingHost : public RemovalHost {
public:
    explicit RecordingHost(std::string input) : text_(std::move(input)) {}

    std::string_view GetInputText() override { return Record("GetInputText"), text_.GetInputText(); }
    void SetOutputText(std::string_view text) override {
        Record("SetOutputText");
        text_.SetOutputText(text);
    }
    std::size_t GetLineCount() override { return Record("GetLineCount"), text_.GetLineCount(); }
    std::string_view GetLine(std::size_t index) override {
        Record("GetLine " + std::to_string(index));
        return text_.GetLine(index);
    }
    void PutLine(std::size_t index, std::string_view text) override {
        Record("PutLine " + std::to_string(index));
        text_.PutLine(index, text);
    }
    void SetCaption(std::string_view caption) override {
        Record("SetCaption");
        captions.emplace_back(caption);
    }
    void Repaint() override { Record("Repaint"); }
    void Beep() override { Record("Beep"); }
    void ShowMessage(std::string_view text) override {
        Record("ShowMessage");
        messages.emplace_back(text);
    }
    void RunFinished() override { Record("RunFinished"); }

    std::vector<std::string> calls;
    std::vector<std::string> captions;
    std::vector<std::string> messages;
    TextHost text_{""};

protected:
    virtual void Record(const std::string& call) { calls.push_back(call); }
};

// Fails when pass 2 asks for line 5.
class FailingHost : public RecordingHost {
public:
    using RecordingHost::RecordingHost;

protected:
    void Record(const std::string& call) override {
        RecordingHost::Record(call);
        if (call == "GetLine 0") ++passes_;
        if (passes_ == 2 && call == "GetLine 5") throw std::runtime_error("host failed");
    }

private:
    int passes_ = 0;
};

std::string ProgressCaption(std::string_view progress, std::size_t line) {
    return std::string(kCaptionPrefix) + std::to_string(line) + std::string(progress);
}

TEST(RunRemovalCaptions, HaveTheirExactShiftJisBytes) {
    EXPECT_EQ(ProgressCaption(kLineCommentProgress, 0),
              "\x83\x50\x83\x59\x83\x8A\x83\x93 - 0\x8D\x73\x96\xDA \x83\x52\x83\x81\x83\x93\x83\x67"
              "\x83\x41\x83\x45\x83\x67\xA2//\x81\x60\xA3\x8F\x9C\x8B\x8E\x92\x86...");
    EXPECT_EQ(kBlockCommentProgress.substr(kBlockCommentProgress.find('\xA2')),
              "\xA2/*\x81\x60*/\xA3\x8F\x9C\x8B\x8E\x92\x86...");
    EXPECT_EQ(kFinishedCaption, "\x83\x50\x83\x59\x83\x8A\x83\x93 - \x8F\x9C\x8B\x8E\x8F\x49\x97\xB9");
    EXPECT_EQ(kFailureMessage,
              "\x8F\x9C\x8B\x8E\x8F\x88\x97\x9D\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42");
}

TEST(RunRemovalOrder, ThreeLinesVisitEveryLineTwiceThenBeepAndFinish) {
    RecordingHost host("a\r\nb // c\r\n/* d */");
    RunRemoval(host);

    std::vector<std::string> expected = {"GetInputText", "SetOutputText"};
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 3; ++i) {
            for (const char* call : {"GetLineCount", "GetLine", "PutLine", "SetCaption", "Repaint"})
                expected.push_back(std::string(call).ends_with("Line") ? std::string(call).append(" ").append(std::to_string(i)) : call);
        }
        expected.push_back("GetLineCount");
    }
    expected.insert(expected.end(), {"Beep", "SetCaption", "RunFinished"});
    EXPECT_EQ(host.calls, expected);

    std::vector<std::string> captions;
    for (int i = 0; i < 3; ++i) captions.push_back(ProgressCaption(kLineCommentProgress, i));
    for (int i = 0; i < 3; ++i) captions.push_back(ProgressCaption(kBlockCommentProgress, i));
    captions.emplace_back(kFinishedCaption);
    EXPECT_EQ(host.captions, captions);
    EXPECT_EQ(host.text_.OutputText(), "a\r\nb \r\n");
}

// Every caption of a run over `lines` lines, as a run must set them.
std::vector<std::string> ExpectedCaptions(std::size_t lines) {
    std::vector<std::string> captions;
    for (std::string_view progress : {kLineCommentProgress, kBlockCommentProgress})
        for (std::size_t i = 0; i < lines; ++i) captions.push_back(ProgressCaption(progress, i));
    return captions;
}

TEST(RunRemovalCaptions, CountEveryLineOverEveryCarryOfTheirDigits) {
    constexpr std::size_t kLines = 1205;
    std::string input;
    for (std::size_t i = 0; i < kLines; ++i) input.append("x; // c\r\n");
    std::vector<std::string> expected = ExpectedCaptions(kLines);

    RecordingHost recorded(input);
    RunRemoval(recorded);
    expected.emplace_back(kFinishedCaption);
    EXPECT_EQ(recorded.captions, expected);
}

TEST(RunRemovalOrder, EmptyInputOnlyBeepsAndFinishes) {
    RecordingHost host("");
    RunRemoval(host);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"GetInputText", "SetOutputText", "GetLineCount",
                                                    "GetLineCount", "Beep", "SetCaption", "RunFinished"}));
    EXPECT_EQ(host.captions, std::vector<std::string>{std::string(kFinishedCaption)});
}

TEST(RunRemovalFailure, StopsBeepsShowsTheMessageAndKeepsWhatWasDone) {
    std::string input;
    for (int i = 0; i < 8; ++i) input.append("x").append(std::to_string(i)).append(" /* c */ // d\r\n");
    FailingHost host(input);
    RunRemoval(host);

    ASSERT_GE(host.calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(host.calls.end() - 3, host.calls.end()),
              (std::vector<std::string>{"GetLine 5", "Beep", "ShowMessage"}));
    EXPECT_EQ(host.messages, std::vector<std::string>{std::string(kFailureMessage)});
    EXPECT_EQ(host.captions.back(), ProgressCaption(kBlockCommentProgress, 4));
    for (std::size_t i = 0; i < 8; ++i) {
        const std::string expected = std::string("x").append(std::to_string(i)).append(i < 5 ? "  " : " /* c */ ");
        EXPECT_EQ(host.text_.GetLine(i), expected) << i;
    }
}

class ThrowingHost : public RecordingHost {
public:
    using RecordingHost::RecordingHost;
    std::function<void()> thrower;
    std::size_t GetLineCount() override {
        thrower();
        return 0;
    }
};

TEST(RunRemovalFailure, AnythingThrownIsCaught) {
    const std::vector<std::function<void()>> throwers = {
        [] { throw std::bad_alloc(); }, [] { throw 42; }, [] { throw std::string("odd"); }};
    for (const auto& thrower : throwers) {
        ThrowingHost host("a");
        host.thrower = thrower;
        RunRemoval(host);
        EXPECT_EQ(host.messages.size(), 1u);
        EXPECT_TRUE(host.captions.empty());
    }
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text.append(part);
    return text;
}

struct RunCase {
    const char* name;
    std::string input;
    std::string expected;
};

// Test lists show the case by its name, the same in every build.
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class RunRemovalTexts : public testing::TestWithParam<RunCase> {};

void ExpectEveryWayGives(const std::string& expected, const std::string& input, const CodePage& page,
                         std::mt19937& random);

TEST_P(RunRemovalTexts, GiveTheExpectedOutput) {
    TextHost host(GetParam().input);
    RunRemoval(host);
    EXPECT_EQ(host.OutputText(), GetParam().expected);
    EXPECT_EQ(host.Caption(), kFinishedCaption);
    EXPECT_EQ(host.BeepCount(), 1);
    EXPECT_TRUE(host.Messages().empty());
    std::mt19937 random(7);
    ExpectEveryWayGives(GetParam().expected, GetParam().input, kShiftJis, random);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunRemovalTexts,
    testing::Values(
        RunCase{"TrailingBreakKept", "a\r\n", "a\r\n"},
        RunCase{"LastLineEmptiedNotVisitedAgain", "a = 1;\r\n// last", "a = 1;\r\n"},
        RunCase{"EmptiedLastLineStaysEmptyInOpenComment", "/* a\r\n// b", " \r\n"},
        RunCase{"EmptyLineInOpenComment", "x = 1; /* open\r\n\r\n", "x = 1;  \r\n \r\n"},
        RunCase{"FourLineComment",
                "int a; /* first\r\n   middle\r\n\r\n   last */ int b; // tail",
                "int a;  \r\n \r\n \r\n  int b; "},
        RunCase{"SlashesInsideComment", "/* see a//b */ x = 1;\r\ny = 2;\r\n/* c */ z = 3;",
                " \r\n \r\n  z = 3;"},
        RunCase{"CloserBehindLineComment", "/* start\r\n end // note */\r\nx = 1;\r\n/* c */ y = 2;",
                " \r\n \r\n \r\n  y = 2;"},
        RunCase{"LineCommentHidesOpener", "// a /* b\r\nc */ d", "\r\nc */ d"},
        RunCase{"LoneLineFeedIsPartOfTheLine", "a // b\nc\r\nd", "a \r\nd"},
        RunCase{"ShiftJisSecondBytes", "表示(); // 日本語\r\n/* ソ */ポ;", "表示(); \r\nポ;"},
        // 64 bytes from offset 63, its CR LF across the second block's end.
        RunCase{"LineBegunTwoBlocksBeforeItsEnd",
                Joined({std::string(61, 'a'), "\r\n\"//\" x; // ", std::string(53, 'b'), "\r\nc"}),
                Joined({std::string(61, 'a'), "\r\n\"//\" x; \r\nc"})},
        // The first 64 bytes hold no slash, the first quote among them.
        RunCase{"QuoteInABlockWithoutSlashes",
                Joined({std::string(40, 'a'), "\r\ns = \"", std::string(17, 'a'), "//\" + x; // c\r\n"}),
                Joined({std::string(40, 'a'), "\r\ns = \"", std::string(17, 'a'), "//\" + x; \r\n"})},
        // Three blocks without a slash, the last line ending in them holding a quote.
        RunCase{"LinesEndingInBlocksWithoutSlash",
                Joined({std::string(60, 'a'), "\r\nq = ", std::string(52, 'b'), "\r\nr = \"", std::string(65, 'c'),
                        "\r\nx = 1; // c \"\r\n"}),
                Joined({std::string(60, 'a'), "\r\nq = ", std::string(52, 'b'), "\r\nr = \"", std::string(65, 'c'),
                        "\r\nx = 1; \r\n"})}),
    [](const testing::TestParamInfo<RunCase>& param) { return std::string(param.param.name); });

TEST(RunRemovalTexts, SecondRunGivesTheSameOutput) {
    TextHost host("x /* a\r\nb */ y // z\r\n");
    RunRemoval(host);
    const std::string first = host.OutputText();
    RunRemoval(host);
    EXPECT_EQ(host.OutputText(), first);
}

// While the code page is still to be chosen, lines are taken for as long as
// both code pages make the same of them.
TEST(TextRemovalAlike, TakesLinesUpToTheFirstTheCodePagesReadApart) {
    // UTF-8 "了" ends in a lone Shift-JIS lead byte, which hides the quote
    // after it: then the "//" lies between the line's first two quotes.
    const std::string apart = "\"\xE4\xBA\x86\" // c \"";
    // The same byte before the quote of "終了" changes nothing: the "//" lies
    // after both quotes either way. Before "*/" it would hide the closer.
    const std::string alike = "s = \"\xE7\xB5\x82\xE4\xBA\x86\"; /* \xE4\xBA\x86 */ // c";
    const std::string closerHidden = "/* \xE4\xBA\x86*/ x";
    struct Case {
        std::string text;
        std::size_t taken;
        bool lastAlike;
    };
    for (const auto& [text, taken, lastAlike] : {Case{"a // b\r\n" + apart + "\r\nc\r\n", 8, true},
                                                 Case{alike + "\r\n" + alike, alike.size() + 2, true},
                                                 Case{closerHidden + "\r\n", 0, true},
                                                 Case{apart, 0, false}}) {
        std::string passed;
        AppendingTo sink(passed);
        TextRemoval removal(LineBreaks::CrLf, CodePage{}, sink);
        const std::string_view whole(text);
        const std::size_t end = WholeLinesEnd(whole, LineBreaks::CrLf);
        EXPECT_EQ(removal.TakeLinesAlike(whole.substr(0, end), kShiftJis), taken) << text;
        EXPECT_EQ(removal.LastLineAlike(whole.substr(end), kShiftJis), lastAlike) << text;
        removal.TakeLines(whole.substr(taken, end - taken));
        removal.Finish(whole.substr(end));
        EXPECT_EQ(passed, reference::Removal(text, CodePage{})) << text;
    }
}

// Random texts made of the bytes that matter, compared with the plain transcription.
std::string RandomText(std::mt19937& random, std::size_t size, bool longLines = false) {
    static const std::vector<std::string> pieces = {
        "/", "*", "\"", " ", "a", "\r\n", "\r\n", "\n", "\r", "\x81", "\x95\x5C", "\x83\x7C",
        "//", "/*", "*/", "\xE0"};
    static const std::vector<std::string> longPieces = {
        "/", "*", "\"", " ", "abcdefgh", "int x = 1;", "\r\n", "\x81", "\x95\x5C", "//", "/*", "*/"};
    // Long lines cross the 64-byte blocks in which the text is first scanned;
    // with few slashes, whole blocks go by unread, as in most source text.
    static const std::vector<std::string> sparsePieces = {
        "abcdefgh", "int x = 1;", "    ", "\"", "\r\n", "\r\n", "\x95\x5C", "abcdefgh", "int x = 1;",
        "    ", "\r\n", "//", "/*", "*/"};
    const std::vector<std::string>& from = longLines ? (size % 2 ? sparsePieces : longPieces) : pieces;
    std::uniform_int_distribution<std::size_t> pick(0, from.size() - 1);
    std::string text;
    while (text.size() < size) text += from[pick(random)];
    return text;
}

// Both routes: the run over a host (each pass over all lines, captions in
// between), and passing through in parts of whole lines cut at random (each
// line through both passes at once).
void ExpectEveryWayGives(const std::string& expected, const std::string& input, const CodePage& page,
                         std::mt19937& random) {
    TextHost host(input);
    RunRemoval(host, page);
    ASSERT_EQ(host.OutputText(), expected) << "run " << testing::PrintToString(input);

    // Where every LF follows a CR, both kinds of line break give the same lines.
    bool loneLineFeed = false;
    for (std::size_t at = input.find('\n'); at != std::string::npos; at = input.find('\n', at + 1))
        loneLineFeed |= at == 0 || input[at - 1] != '\r';
    for (const LineBreaks breaks : {LineBreaks::CrLf, LineBreaks::CrLfOrLf}) {
        if (breaks == LineBreaks::CrLfOrLf && loneLineFeed) break;
        std::string passed;
        AppendingTo sink(passed);
        TextRemoval removal(breaks, page, sink);
        const std::size_t end = WholeLinesEnd(input, breaks);
        for (std::size_t at = 0; at < end;) {
            const std::size_t wanted = std::uniform_int_distribution<std::size_t>(1, end - at)(random);
            const std::size_t cut = WholeLinesEnd(std::string_view(input).substr(at, wanted), breaks);
            const std::size_t next = cut == 0 ? end : at + cut;
            removal.TakeLines(std::string_view(input).substr(at, next - at));
            at = next;
        }
        removal.Finish(std::string_view(input).substr(end));
        ASSERT_EQ(passed, expected) << "in parts " << testing::PrintToString(input);
    }
}

TEST(RunRemovalProperties, MatchesThePlainTranscriptionOnRandomTexts) {
    std::mt19937 random(20261209);
    for (const CodePage& page : {kShiftJis, CodePage{}}) {
        for (int round = 0; round < 3000; ++round) {
            const std::string input = RandomText(random, round % 60);
            ExpectEveryWayGives(reference::Removal(input, page), input, page, random);
        }
    }
}

TEST(RunRemovalProperties, MatchesThePlainTranscriptionWithLongLines) {
    std::mt19937 random(64);
    for (int round = 0; round < 1500; ++round) {
        const std::string input = RandomText(random, round % 500, true);
        ExpectEveryWayGives(reference::Removal(input, kShiftJis), input, kShiftJis, random);
    }
}

}  // namespace
}  // namespace kezurin
