// Counts the general heap's allocations made by this thread while a probe is armed; one file of a program includes it plainly, the others after defining HEAP_PROBE_USE_ONLY.
#pragma once

#include <cstdlib>
#include <new>

// Under a sanitizer its own operator new must stay in place (it checks every delete against
// its new), so there the probe counts nothing and says it cannot.
#if defined(__SANITIZE_ADDRESS__)
#define ASTAR_HEAP_PROBE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ASTAR_HEAP_PROBE 0
#endif
#endif
#ifndef ASTAR_HEAP_PROBE
#define ASTAR_HEAP_PROBE 1
#endif

namespace heap_probe {
inline thread_local bool armed = false;
inline thread_local long allocations = 0;
}  // namespace heap_probe

// While alive, counts every operator new of this thread in allocations().
class HeapProbe {
public:
    static constexpr bool available = ASTAR_HEAP_PROBE != 0;
    HeapProbe() {
        heap_probe::allocations = 0;
        heap_probe::armed = true;
    }
    ~HeapProbe() { heap_probe::armed = false; }
    long allocations() const { return heap_probe::allocations; }
};

#if ASTAR_HEAP_PROBE && !defined(HEAP_PROBE_USE_ONLY)
// Kept out of line: the compiler would otherwise pair the inlined malloc and free against the
// new and delete expressions and warn of a mismatch.
__attribute__((noinline)) void* operator new(std::size_t size) {
    if (heap_probe::armed) ++heap_probe::allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif
