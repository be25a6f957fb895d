#pragma once

// Steps that run a million times a pass over the records belong inside the
// loop, whatever the compiler's size heuristics say; rare steps stay out of
// it, so that it stays small.
#if defined(__GNUC__)
#define LOMI_ALWAYS_INLINE [[gnu::always_inline]] inline
#define LOMI_ALWAYS_INLINE_LAMBDA __attribute__((always_inline))
#define LOMI_NOINLINE [[gnu::noinline]]
#elif defined(_MSC_VER)
#define LOMI_ALWAYS_INLINE __forceinline
#define LOMI_ALWAYS_INLINE_LAMBDA [[msvc::forceinline]]
#define LOMI_NOINLINE __declspec(noinline)
#else
#define LOMI_ALWAYS_INLINE inline
#define LOMI_ALWAYS_INLINE_LAMBDA
#define LOMI_NOINLINE
#endif
