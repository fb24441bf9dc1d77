// Large blocks (the input text, the engine's line table) are backed by huge
// pages and mapped in one call before they are first touched: with one page
// fault per 4 KiB, a 50 MB input spent about as long in page faults as in the
// removal itself. Linux only; elsewhere, and under the sanitizers (which
// keep their own allocator), the default allocator stays.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define KEZURIN_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KEZURIN_SANITIZED_ALLOCATOR 1
#endif

#if defined(__linux__) && !defined(KEZURIN_SANITIZED_ALLOCATOR)

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kLargeBlock = 4u << 20;
constexpr std::uintptr_t kPage = 4096;
constexpr std::uintptr_t kHugePage = 2u << 20;

// Advice on the whole pages of the block only; the rest belongs to malloc.
void Advise(std::uintptr_t start, std::size_t size, std::uintptr_t pageSize, int advice) {
    const std::uintptr_t begin = (start + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t end = (start + size) & ~(pageSize - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) throw std::bad_alloc();
    if (size >= kLargeBlock) {
        const auto start = reinterpret_cast<std::uintptr_t>(block);
        Advise(start, size, kHugePage, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
        Advise(start, size, kPage, MADV_POPULATE_WRITE);  // a no-op on kernels before 5.14
#endif
    }
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

#endif
