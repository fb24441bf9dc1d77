// Memory comes mapped in huge pages where it is first touched in bulk: with
// one page fault per 4 KiB, which costs microseconds on virtual machines,
// touching memory could take as long as the removal itself.
// - Large blocks (4 MiB and more: a pipe's parts kept while choosing the code
//   page) are backed by huge pages and mapped in one call before first use.
// - The stream's buffers (the part read, the output, 64 KiB to 1 MiB each)
//   come from one region of 2 MiB backed by a huge page: one fault for all of
//   them instead of about a hundred. A freed block there is not used again
//   until every block of the region is free (as between the files of -r);
//   once it is full, malloc serves.
// Linux only; elsewhere, and under the sanitizers (which keep their own
// allocator), the default allocator stays.
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
constexpr std::size_t kRegionBlock = 64u << 10;
constexpr std::size_t kRegionBlockLimit = 1u << 20;
constexpr std::uintptr_t kPage = 4096;
constexpr std::uintptr_t kHugePage = 2u << 20;

// Advice on the whole pages of the block only; the rest belongs to malloc.
void Advise(std::uintptr_t start, std::size_t size, std::uintptr_t pageSize, int advice) {
    const std::uintptr_t begin = (start + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t end = (start + size) & ~(pageSize - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

// The region of the stream's buffers, made on first use, never given back.
class BufferRegion {
public:
    void* Allocate(std::size_t size) {
        if (start_ == 0 && !Map()) return nullptr;
        const std::size_t rounded = (size + 63) & ~std::size_t{63};
        if (rounded > kHugePage - used_) return nullptr;
        void* block = reinterpret_cast<void*>(start_ + used_);
        used_ += rounded;
        ++live_;
        return block;
    }
    bool Free(void* block) {
        const auto at = reinterpret_cast<std::uintptr_t>(block);
        if (start_ == 0 || at < start_ || at >= start_ + kHugePage) return false;
        if (--live_ == 0) used_ = 0;
        return true;
    }

private:
    // 2 MiB on a 2 MiB boundary, so that one huge page can back it.
    bool Map() {
        void* mapped = mmap(nullptr, 2 * kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) return false;
        const auto begin = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
        if (aligned > begin) munmap(mapped, aligned - begin);
        munmap(reinterpret_cast<void*>(aligned + kHugePage), begin + 2 * kHugePage - aligned - kHugePage);
        madvise(reinterpret_cast<void*>(aligned), kHugePage, MADV_HUGEPAGE);
        start_ = aligned;
        return true;
    }

    std::uintptr_t start_ = 0;
    std::size_t used_ = 0;
    std::size_t live_ = 0;
};

// kezurin-cli has one thread.
BufferRegion region;

void* Allocate(std::size_t size) {
    if (size >= kRegionBlock && size <= kRegionBlockLimit) {
        if (void* block = region.Allocate(size)) return block;
    }
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

void Free(void* block) noexcept {
    if (!region.Free(block)) std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, std::size_t) noexcept { Free(block); }
void operator delete[](void* block, std::size_t) noexcept { Free(block); }

#endif
