#pragma once

// A word-for-word transcription of the removal rules, with positions counted
// from 1 and every cut rebuilding the line. Slow and plain on purpose: the
// engine's faster route must give exactly these bytes.

#include <string>
#include <vector>

#include "kezurin/code_page.hpp"

namespace kezurin::reference {

inline std::string Before(const std::string& s, std::size_t p) { return s.substr(0, p - 1); }
inline std::string After(const std::string& s, std::size_t p) { return p >= s.size() ? "" : s.substr(p); }

inline std::size_t Find(const std::string& text, const std::string& pattern, const CodePage& cp) {
    if (text.empty() || pattern.empty()) return 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(pattern, from);
        if (at == std::string::npos) return 0;
        std::size_t leads = 0;
        for (std::size_t k = at; k > 0 && cp.IsLeadByte(text[k - 1]); --k) ++leads;
        if (leads % 2 == 0) return at + 1;
        from = at + 1;
    }
}

inline std::string LineComment(const std::string& line, const CodePage& cp) {
    const std::size_t p = Find(line, "//", cp);
    if (p == 0) return line;
    const std::size_t q1 = Find(line, "\"", cp);
    if (q1 == 0) return Before(line, p);
    std::size_t q2 = Find(After(line, q1), "\"", cp);
    if (q2 != 0) q2 += q1;
    if (q2 != 0 && q1 < p && p < q2) {
        std::size_t r = Find(After(line, q2), "//", cp);
        if (r == 0) return line;
        r += q2;
        return Before(line, r);
    }
    return Before(line, p);
}

inline std::string BlockComments(std::string line, bool& open, const CodePage& cp) {
    if (open) {
        const std::size_t k = Find(line, "*/", cp);
        if (k == 0) return " ";
        line = " " + After(line, k + 1);
        open = false;
    }
    while (true) {
        const std::size_t d = Find(line, "/*", cp);
        if (d == 0) return line;
        std::size_t c = Find(After(line, d), "*/", cp);
        if (c != 0) {
            c += d;
            line = Before(line, d) + After(line, c + 1);
        } else {
            line = Before(line, d) + " ";
            open = true;
        }
        if (Find(line, "/*", cp) == 0) return line;
    }
}

// The whole run on a text with CR LF line breaks, as the window's panes hold it.
inline std::string Removal(const std::string& text, const CodePage& cp) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    auto count = [&] { return lines.size() - (lines.back().empty() ? 1 : 0); };
    for (std::size_t i = 0; i < count(); ++i) lines[i] = LineComment(lines[i], cp);
    bool open = false;
    for (std::size_t j = 0; j < count(); ++j) lines[j] = BlockComments(lines[j], open, cp);
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
    return out;
}

}  // namespace kezurin::reference
