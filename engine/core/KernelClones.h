#pragma once

// Marks a hot kernel for an AVX2/FMA clone chosen at load time where the compiler can build one;
// the default clone stays baseline. Not under ThreadSanitizer: the clone resolver runs during
// relocation, before its runtime is up.
#if defined(__x86_64__) && defined(__linux__) && (defined(__GNUC__) || defined(__clang__)) &&      \
    !defined(__SANITIZE_THREAD__)
#define QUORLIX_KERNEL __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define QUORLIX_KERNEL
#endif
