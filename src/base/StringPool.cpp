#include "base/StringPool.h"

#include <array>
#include <cstdlib>
#include <new>

// Under the address sanitizer every block comes straight from the system allocator, so that
// overruns and uses after release are caught at the block that holds them.
#if defined(__SANITIZE_ADDRESS__)
#define TRAZON_POOL_DISABLED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRAZON_POOL_DISABLED 1
#endif
#endif

namespace {

constexpr std::size_t kPageSize = 4096;
constexpr std::size_t kLargestClass = 2048;

// 8 and 16, then two classes per power of two up to 1024, then 2048.
constexpr std::array<std::size_t, 15> kClasses = {8,   16,  24,  32,  48,  64,   96,  128,
                                                  192, 256, 384, 512, 768, 1024, 2048};

std::size_t classIndex(std::size_t size) {
    std::size_t i = 0;
    while (kClasses[i] < size)
        ++i;
    return i;
}

std::size_t roundToPages(std::size_t size) {
    return (size + kPageSize - 1) / kPageSize * kPageSize;
}

#if !defined(TRAZON_POOL_DISABLED)

struct FreeBlock {
    FreeBlock* next;
};

struct Pool {
    std::array<FreeBlock*, kClasses.size()> freeLists{};
    // Pages are kept reachable here; they are never returned to the system.
    struct Page {
        Page* next;
    };
    Page* pages = nullptr;

    // Carves a fresh page into blocks of class i. False when no page can be had.
    bool refill(std::size_t i) {
        std::size_t blockSize = kClasses[i];
        // The first block-sized slice of the page holds the page link.
        char* page = static_cast<char*>(std::malloc(kPageSize));
        if (!page) return false;
        Page* link = reinterpret_cast<Page*>(page);
        link->next = pages;
        pages = link;
        std::size_t header = blockSize < sizeof(Page) ? sizeof(Page) : blockSize;
        for (std::size_t at = header; at + blockSize <= kPageSize; at += blockSize) {
            FreeBlock* block = reinterpret_cast<FreeBlock*>(page + at);
            block->next = freeLists[i];
            freeLists[i] = block;
        }
        return true;
    }
};

Pool& pool() {
    static Pool instance;
    return instance;
}

#endif

}  // namespace

std::size_t poolBlockSize(std::size_t size) {
    if (size == 0) size = 1;
    if (size <= kLargestClass) return kClasses[classIndex(size)];
    return roundToPages(size);
}

char* poolAllocate(std::size_t size, std::size_t* usable) {
    if (size == 0) size = 1;
    if (size > (static_cast<std::size_t>(-1) >> 1)) return nullptr;
    std::size_t blockSize = poolBlockSize(size);
#if defined(TRAZON_POOL_DISABLED)
    char* block = static_cast<char*>(std::malloc(blockSize));
#else
    char* block = nullptr;
    if (blockSize <= kLargestClass) {
        Pool& p = pool();
        std::size_t i = classIndex(blockSize);
        if (!p.freeLists[i] && !p.refill(i)) return nullptr;
        FreeBlock* head = p.freeLists[i];
        p.freeLists[i] = head->next;
        block = reinterpret_cast<char*>(head);
    } else {
        block = static_cast<char*>(std::malloc(blockSize));
    }
#endif
    if (block && usable) *usable = blockSize;
    return block;
}

void poolRelease(char* block, std::size_t usable) {
    if (!block) return;
#if defined(TRAZON_POOL_DISABLED)
    (void)usable;
    std::free(block);
#else
    if (usable <= kLargestClass) {
        Pool& p = pool();
        FreeBlock* free = reinterpret_cast<FreeBlock*>(block);
        free->next = p.freeLists[classIndex(usable)];
        p.freeLists[classIndex(usable)] = free;
    } else {
        std::free(block);
    }
#endif
}
