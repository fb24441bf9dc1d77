// Large blocks of the program's memory (the input text and the engine's line
// table) ask the kernel for transparent huge pages before they are first
// touched: on 4 KiB pages the page faults of a large input cost about as much
// as the removal itself. Linux only; elsewhere the default allocator stays.
#if defined(__linux__)

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kLargeBlock = 4u << 20;
constexpr std::uintptr_t kLargePage = 2u << 20;

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) throw std::bad_alloc();
    if (size >= kLargeBlock) {
        const auto start = reinterpret_cast<std::uintptr_t>(block);
        const std::uintptr_t begin = (start + kLargePage - 1) & ~(kLargePage - 1);
        const std::uintptr_t end = (start + size) & ~(kLargePage - 1);
        if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    return block;
}

}  // namespace

// The library's operator delete frees with free(), which fits these.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }

#endif
