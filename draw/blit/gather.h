// Reading 16-bit pixels at eight scattered places at once (AVX2 gathers), for the members that
// sample their source through coordinates: rotation and tunnel.
#pragma once

#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PLONDER_BLIT_GATHER 1

// Gathers the pixels at the eight pixel indexes of index (relative to base) in lanes where
// mask is set, 0 in the others, as 32-bit lanes. A gather reads 32 bits; at the last pixel of
// the buffer (index last) it reads the pixel before and shifts, so no read passes the end.
// last must be at least 1.
[[gnu::target("avx2")]] inline __m256i GatherPixels(const std::uint16_t* base, __m256i index,
                                                   __m256i mask, __m256i last)
{
    const __m256i atLast = _mm256_cmpeq_epi32(index, last);
    const __m256i safe = _mm256_add_epi32(index, atLast);
    __m256i words = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(),
                                                reinterpret_cast<const int*>(base), safe, mask,
                                                2);
    words = _mm256_srlv_epi32(words, _mm256_and_si256(atLast, _mm256_set1_epi32(16)));
    return _mm256_and_si256(words, _mm256_set1_epi32(0xFFFF));
}

// Eight 32-bit lanes holding 16-bit values, narrowed to eight 16-bit values in order.
[[gnu::target("avx2")]] inline __m128i NarrowPixels(__m256i pixels)
{
    __m256i packed = _mm256_packus_epi32(pixels, pixels);
    return _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, 0x08));
}
#endif
