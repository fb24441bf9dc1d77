#include "source_generator.hpp"

#include <random>
#include <string_view>
#include <vector>

namespace kezurin::bench {

std::string GenerateSource(std::size_t bytes, unsigned seed) {
    static const std::vector<std::string_view> lines = {
        "#include <stdio.h>",
        "",
        "static int counter = 0;  // how many times we ran",
        "int Add(int a, int b) {",
        "    return a + b; /* plain sum */",
        "}",
        "    printf(\"value: %d // not a comment\\n\", counter);",
        "    const char* url = \"http://example.com/path\"; // address",
        "/*",
        " * 複数行のコメント: 表示とソースの説明",
        " * second line of the block",
        " */",
        "    for (int i = 0; i < 10; ++i) { total += i * 2; }",
        "    // 日本語のコメント（ポ・ソ・表を含む）",
        "    x = y / z * w;  /* 割り算 */ y = 3;",
        "    std::string s = \"/* not a comment */\";",
        "    if (a > b) {",
        "        return \"終了\";  // 文字列の後のコメント",
        "    }",
        "struct Point { int x; int y; };  /** doc */",
    };
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, lines.size() - 1);
    std::string text;
    text.reserve(bytes + 128);
    while (text.size() < bytes) {
        text.append(lines[pick(random)]);
        text.append("\r\n");
    }
    return text;
}

}  // namespace kezurin::bench
