// The counting allocator: glibc's own entry points underneath, the usable size of each
// block as its cost (so a free takes back exactly what its allocation added).
#include "HeapCounter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {

bool gCounting = false;
std::ptrdiff_t gLive = 0;
std::ptrdiff_t gBase = 0;
std::ptrdiff_t gPeak = 0;

void Added(void* block) {
    if (!gCounting || block == nullptr)
        return;
    gLive += static_cast<std::ptrdiff_t>(malloc_usable_size(block));
    if (gLive > gPeak)
        gPeak = gLive;
}

void Removed(void* block) {
    if (gCounting && block != nullptr)
        gLive -= static_cast<std::ptrdiff_t>(malloc_usable_size(block));
}

void* NewBlock(std::size_t size) {
    void* block = malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

} // namespace

void StartHeapCount() {
    gBase = gLive;
    gPeak = gLive;
    gCounting = true;
}

std::size_t StopHeapCount() {
    gCounting = false;
    return static_cast<std::size_t>(gPeak - gBase);
}

CHostCallScope::CHostCallScope() : m_wasCounting(gCounting) {
    gCounting = false;
}

CHostCallScope::~CHostCallScope() {
    gCounting = m_wasCounting;
}

// A block freed while counting that was allocated before (or the other way round) makes
// the live total drift; the measurements only look at the peak above the start, and the
// plug-in frees what it allocates within the call.
extern "C" {
void* malloc(std::size_t size) {
    void* block = __libc_malloc(size);
    Added(block);
    return block;
}

void* calloc(std::size_t count, std::size_t size) {
    void* block = __libc_calloc(count, size);
    Added(block);
    return block;
}

void* realloc(void* block, std::size_t size) {
    Removed(block);
    void* moved = __libc_realloc(block, size);
    Added(moved != nullptr ? moved : (size == 0 ? nullptr : block));
    return moved;
}

void free(void* block) {
    Removed(block);
    __libc_free(block);
}
}

void* operator new(std::size_t size) {
    return NewBlock(size);
}
void* operator new[](std::size_t size) {
    return NewBlock(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept {
    free(block);
}
void operator delete[](void* block) noexcept {
    free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    free(block);
}
