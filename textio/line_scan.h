#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TEXTIO_SSE2 1
#endif

// Where GCC or Clang build for x86, the 256-bit compares are compiled in too and chosen at run
// time on processors that have them.
#if defined(TEXTIO_SSE2) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TEXTIO_AVX2 1
#endif

// Finding line ends and CR bytes 64 bytes at a time: bit i of a mask stands for byte i.
namespace textio {

constexpr std::size_t chunk_size = 64;

struct byte_masks {
    std::uint64_t lf = 0;
    std::uint64_t cr = 0;
};

// The masks of data[0, size), size at most 64, one byte at a time.
inline byte_masks find_line_bytes_bytewise(const char* data, std::size_t size) {
    byte_masks m;
    for (std::size_t i = 0; i < size; ++i) {
        m.lf |= std::uint64_t{data[i] == '\n'} << i;
        m.cr |= std::uint64_t{data[i] == '\r'} << i;
    }
    return m;
}

// The masks of the 64 bytes at data.
inline byte_masks find_line_bytes(const char* data) {
#ifdef TEXTIO_SSE2
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    byte_masks m;
    for (int i = 0; i < 4; ++i) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i));
        // The move mask is 16 bits wide: no sign to worry about.
        m.lf |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))}
                << (16 * i);
        m.cr |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))}
                << (16 * i);
    }
    return m;
#else
    return find_line_bytes_bytewise(data, chunk_size);
#endif
}

#ifdef TEXTIO_AVX2
__attribute__((target("avx2"))) inline byte_masks find_line_bytes_avx2(const char* data) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
    __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32));
    auto bits = [](__m256i equal) __attribute__((target("avx2"))) {
        return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(equal))};
    };
    byte_masks m;
    m.lf = bits(_mm256_cmpeq_epi8(low, lf)) | bits(_mm256_cmpeq_epi8(high, lf)) << 32;
    m.cr = bits(_mm256_cmpeq_epi8(low, cr)) | bits(_mm256_cmpeq_epi8(high, cr)) << 32;
    return m;
}

inline bool has_avx2() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#endif

}  // namespace textio
