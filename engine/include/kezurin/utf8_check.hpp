#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kezurin {

// Whether a text that comes in parts, cut anywhere, is well-formed UTF-8: no
// stray continuation bytes, no overlong forms, no surrogates, nothing above
// U+10FFFF, no cut-off sequence. Checks 64 bytes at a time, at the speed of
// the vector layer.
class Utf8Check {
public:
    void Feed(std::string_view part);
    // Whether all that was fed is well-formed UTF-8, as a whole.
    bool Valid() const;
    // Whether it is known already that it is not, whatever follows.
    bool Failed() const { return failed_; }

    // What a block leaves to the next: where continuation bytes must stand
    // (bits 0 to 2), and whether its last byte was E0, ED, F0 or F4, which
    // narrow the range of the byte after them.
    struct Carry {
        std::uint64_t continuations = 0;
        bool e0 = false, ed = false, f0 = false, f4 = false;
    };

private:
    bool failed_ = false;
    Carry carry_;
    char pending_[64] = {};  // the start of a block, until the next part fills it
    std::size_t pendingSize_ = 0;
};

}  // namespace kezurin
