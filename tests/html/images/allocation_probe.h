#pragma once
// The most heap bytes held at once while a piece of code runs, counted by the
// address sanitizer's allocator (the tests' build); without it nothing is
// measured and Available() is false.
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocator interface (GCC ships no header for it).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
size_t __sanitizer_get_current_allocated_bytes(void);
}
#endif

namespace pics {

class AllocationProbe {
public:
    static bool Available() {
#if defined(__SANITIZE_ADDRESS__)
        return true;
#else
        return false;
#endif
    }
    // Bytes held at the peak since Start, above what was held at Start.
    template <class F>
    static int64_t PeakDuring(F&& f) {
#if defined(__SANITIZE_ADDRESS__)
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
        (void)installed;
        base_ = static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
        peak_ = base_;
        on_ = true;
        f();
        on_ = false;
        return peak_ - base_;
#else
        f();
        return 0;
#endif
    }

private:
#if defined(__SANITIZE_ADDRESS__)
    static void OnMalloc(const volatile void*, size_t) {
        if (!on_) return;
        const auto now = static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
        if (now > peak_) peak_ = now;
    }
    static void OnFree(const volatile void*) {}
#endif
    static inline bool on_ = false;
    static inline int64_t base_ = 0, peak_ = 0;
};

}  // namespace pics
