// SPDX-License-Identifier: MIT
#include "xml/libxml/NodeAllocator.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <libxml/xmlmemory.h>
#include <mutex>
#include <sys/mman.h>

namespace qif2ldx::xml::libxml {
namespace {

constexpr std::size_t kSlabSize = std::size_t{64} << 10;
constexpr std::size_t kGranule = 8;   // every block is aligned to it
constexpr std::size_t kLargest = 128; // a node is 120 bytes; larger blocks go to malloc
constexpr std::size_t kClasses = kLargest / kGranule;
constexpr std::size_t kSlabHeader = 16; // holds the block size of the slab
// Address space only: pages are used, and counted, only once they are touched.
constexpr std::size_t kRangeSize = std::size_t{16} << 30;

struct FreeBlock
{
    FreeBlock* next;
};

struct ClassState
{
    char* next = nullptr; // the next unused block of the current slab
    char* end = nullptr;
    FreeBlock* freed = nullptr;
};

char* gRange = nullptr;
std::atomic<std::size_t> gCarved{0};
thread_local ClassState tClasses[kClasses + 1];

// The slab that holds a block of the range: the range starts at a slab boundary.
const char* SlabOf(const void* block)
{
    const auto offset = static_cast<std::size_t>(static_cast<const char*>(block) - gRange);
    return gRange + (offset & ~(kSlabSize - 1));
}

void* FromSlab(std::size_t blockClass)
{
    ClassState& state = tClasses[blockClass];
    if (FreeBlock* block = state.freed) {
        state.freed = block->next;
        return block;
    }
    const std::size_t size = blockClass * kGranule;
    if (state.next == nullptr || state.next + size > state.end) {
        const std::size_t at = gCarved.fetch_add(kSlabSize, std::memory_order_relaxed);
        if (at + kSlabSize > kRangeSize) {
            return nullptr; // the range is used up: the caller falls back to malloc
        }
        char* slab = gRange + at;
        *reinterpret_cast<std::size_t*>(slab) = size;
        state.next = slab + kSlabHeader;
        state.end = slab + kSlabSize;
    }
    void* block = state.next;
    state.next += size;
    return block;
}

void FreeHook(void* block)
{
    NodeAllocator::Free(block);
}
void* MallocHook(std::size_t size)
{
    return NodeAllocator::Allocate(size);
}
void* ReallocHook(void* block, std::size_t size)
{
    return NodeAllocator::Reallocate(block, size);
}
char* StrdupHook(const char* text)
{
    return NodeAllocator::Duplicate(text);
}

constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

} // namespace

bool NodeAllocator::Reserve()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One slab more than the range, so that the range can start at a slab boundary.
        void* range = ::mmap(nullptr, kRangeSize + kSlabSize, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (range != MAP_FAILED) {
            const auto misalignment = reinterpret_cast<std::uintptr_t>(range) % kSlabSize;
            gRange = static_cast<char*>(range) + (kSlabSize - misalignment) % kSlabSize;
        }
    });
    return gRange != nullptr;
}

void NodeAllocator::InstallForLibXml()
{
    // AddressSanitizer finds misuse of a block only in memory it handed out itself.
    if (!kSanitized && Reserve()) {
        static_cast<void>(xmlMemSetup(FreeHook, MallocHook, ReallocHook, StrdupHook));
    }
}

bool NodeAllocator::OwnsBlock(const void* block)
{
    const auto* at = static_cast<const char*>(block);
    return gRange != nullptr && at >= gRange && at < gRange + kRangeSize;
}

std::size_t NodeAllocator::BlockSize(const void* block)
{
    return *reinterpret_cast<const std::size_t*>(SlabOf(block));
}

void* NodeAllocator::Allocate(std::size_t size)
{
    if (gRange != nullptr && size <= kLargest) {
        const std::size_t blockClass = size == 0 ? 1 : (size + kGranule - 1) / kGranule;
        if (void* block = FromSlab(blockClass)) {
            return block;
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void NodeAllocator::Free(void* block)
{
    if (!OwnsBlock(block)) {
        std::free(block);
        return;
    }
    auto* freed = static_cast<FreeBlock*>(block);
    ClassState& state = tClasses[BlockSize(block) / kGranule];
    freed->next = state.freed;
    state.freed = freed;
}

void* NodeAllocator::Reallocate(void* block, std::size_t size)
{
    if (block == nullptr) {
        return Allocate(size);
    }
    if (!OwnsBlock(block)) {
        return std::realloc(block, size);
    }
    const std::size_t old = BlockSize(block);
    if (size <= old && size + kGranule > old) {
        return block; // the block is already of the size class asked for
    }
    void* moved = Allocate(size);
    if (moved != nullptr) {
        std::memcpy(moved, block, old < size ? old : size);
        Free(block);
    }
    return moved;
}

char* NodeAllocator::Duplicate(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(Allocate(size));
    if (copy != nullptr) {
        std::memcpy(copy, text, size);
    }
    return copy;
}

} // namespace qif2ldx::xml::libxml
