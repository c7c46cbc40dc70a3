#include "engines/ByteFilter.h"

#include <algorithm>
#include <array>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace velmora {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// At most this many probes are scanned in one pass (their vectors stay on the stack); more are
// scanned in groups.
constexpr std::size_t kMaxProbes = 16;

// One group of probes over one text, with the verifier: what every scan works on.
struct ProbeGroup {
  std::span<const BytePairProbe> probes;
  std::size_t firstIndex;  // the index of probes[0] among all the caller's probes
  const unsigned char* text;
  std::size_t size;
  std::size_t lastStart;  // no position after it is offered
  std::size_t maxOffset;  // the largest offset of any probe
  ProbeAccept accept;
  const void* context;

  bool Fits(const BytePairProbe& p, std::size_t at) const {
    const unsigned char a = text[at + p.offset[0]];
    const unsigned char b = text[at + p.offset[1]];
    return (a == p.byte[0] || a == p.other[0]) && (b == p.byte[1] || b == p.other[1]);
  }
  // Probe k is known to fit at `at`.
  ProbeHit Offer(std::size_t at, std::size_t k) const {
    if (accept(context, at, firstIndex + k)) return {at, firstIndex + k};
    return {};
  }
  // Every probe that fits at `at`, whose bytes are all inside the text.
  ProbeHit OfferAll(std::size_t at) const {
    for (std::size_t k = 0; k < probes.size(); ++k) {
      if (Fits(probes[k], at)) {
        const ProbeHit hit = Offer(at, k);
        if (hit.start != npos) return hit;
      }
    }
    return {};
  }
  // Byte by byte from s on: the end of the text, and the whole text without vectors.
  ProbeHit ScanRest(std::size_t s) const {
    for (; s <= lastStart; ++s) {
      for (std::size_t k = 0; k < probes.size(); ++k) {
        const BytePairProbe& p = probes[k];
        if (std::max(p.offset[0], p.offset[1]) < size - s && Fits(p, s)) {
          const ProbeHit hit = Offer(s, k);
          if (hit.start != npos) return hit;
        }
      }
    }
    return {};
  }
};

using GroupScan = ProbeHit (*)(const ProbeGroup& group, std::size_t from);

ProbeHit ScalarFindInGroup(const ProbeGroup& group, std::size_t from) {
  return group.ScanRest(from);
}

#if defined(__SSE2__)
namespace sse2 {

#define VELMORA_FILTER_TARGET
struct Vec {
  using Type = __m128i;
  static constexpr std::size_t kWidth = 16;
  static Type Load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }
  static Type Splat(unsigned char c) { return _mm_set1_epi8(static_cast<char>(c)); }
  static Type Equal(Type a, Type b) { return _mm_cmpeq_epi8(a, b); }
  static Type Or(Type a, Type b) { return _mm_or_si128(a, b); }
  static Type And(Type a, Type b) { return _mm_and_si128(a, b); }
  static std::uint32_t Mask(Type a) { return static_cast<std::uint32_t>(_mm_movemask_epi8(a)); }
};
#include "engines/ByteFilterKernel.inc"
#undef VELMORA_FILTER_TARGET

}  // namespace sse2
#endif

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VELMORA_HAVE_AVX2_FILTER 1
namespace avx2 {

#define VELMORA_FILTER_TARGET __attribute__((target("avx2")))
struct Vec {
  using Type = __m256i;
  static constexpr std::size_t kWidth = 32;
  VELMORA_FILTER_TARGET static Type Load(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  VELMORA_FILTER_TARGET static Type Splat(unsigned char c) {
    return _mm256_set1_epi8(static_cast<char>(c));
  }
  VELMORA_FILTER_TARGET static Type Equal(Type a, Type b) { return _mm256_cmpeq_epi8(a, b); }
  VELMORA_FILTER_TARGET static Type Or(Type a, Type b) { return _mm256_or_si256(a, b); }
  VELMORA_FILTER_TARGET static Type And(Type a, Type b) { return _mm256_and_si256(a, b); }
  VELMORA_FILTER_TARGET static std::uint32_t Mask(Type a) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(a));
  }
};
#include "engines/ByteFilterKernel.inc"
#undef VELMORA_FILTER_TARGET

}  // namespace avx2

bool ProcessorHasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#endif

GroupScan ScanFor(FilterWidth width) {
  switch (width) {
    case FilterWidth::Scalar:
      return &ScalarFindInGroup;
    case FilterWidth::Sse2:
#if defined(__SSE2__)
      return &sse2::FindInGroup;
#else
      return nullptr;
#endif
    case FilterWidth::Avx2:
#if defined(VELMORA_HAVE_AVX2_FILTER)
      return ProcessorHasAvx2() ? &avx2::FindInGroup : nullptr;
#else
      return nullptr;
#endif
    case FilterWidth::Best:
      break;
  }
  for (const FilterWidth w : {FilterWidth::Avx2, FilterWidth::Sse2}) {
    if (const GroupScan scan = ScanFor(w)) return scan;
  }
  return &ScalarFindInGroup;
}

// How common each byte is in real text, as a rank from 0 (rarest) to 255 (most common): bytes
// counted over C and C++ headers, Python sources and English documentation and licences, each
// kind weighted alike.
constexpr std::array<std::uint8_t, 256> kByteRank = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   212, 245, 9,   66,  150, 10,  11,   // 00
    12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  46,  48,  22,  23,  24,  25,   // 10
    255, 165, 205, 200, 157, 166, 176, 224, 234, 235, 222, 184, 236, 217, 233, 218,  // 20
    227, 220, 209, 198, 192, 196, 190, 186, 187, 194, 228, 202, 197, 199, 203, 164,  // 30
    182, 216, 189, 221, 201, 226, 195, 193, 180, 223, 167, 174, 210, 204, 215, 208,  // 40
    206, 161, 213, 231, 225, 188, 178, 171, 191, 172, 163, 177, 179, 175, 159, 252,  // 50
    170, 247, 229, 244, 242, 254, 239, 232, 237, 251, 169, 219, 243, 238, 248, 246,  // 60
    241, 173, 250, 249, 253, 240, 214, 207, 211, 230, 181, 185, 168, 183, 162, 26,   // 70
    154, 143, 130, 124, 108, 101, 110, 139, 135, 109, 82,  77,  106, 96,  85,  145,  // 80
    115, 132, 117, 111, 134, 119, 148, 93,  127, 142, 116, 90,  128, 125, 86,  155,  // 90
    120, 121, 147, 99,  138, 97,  103, 122, 141, 136, 79,  95,  78,  89,  98,  81,   // A0
    104, 118, 107, 112, 105, 100, 133, 129, 152, 137, 88,  123, 131, 114, 113, 87,   // B0
    27,  28,  140, 156, 76,  83,  57,  56,  60,  65,  63,  52,  62,  51,  149, 126,  // C0
    158, 146, 59,  58,  54,  61,  102, 144, 94,  91,  55,  53,  29,  30,  31,  32,   // D0
    151, 92,  160, 84,  70,  75,  74,  73,  72,  71,  69,  68,  67,  64,  33,  80,   // E0
    153, 34,  35,  36,  47,  37,  50,  38,  49,  39,  40,  41,  42,  43,  44,  45,   // F0
};

}  // namespace

bool FilterWidthAvailable(FilterWidth width) {
  return ScanFor(width) != nullptr;
}

ProbeHit FindProbes(std::span<const BytePairProbe> probes, std::string_view text, std::size_t from,
                    ProbeAccept accept, const void* context, FilterWidth width) {
  ProbeHit best;
  const GroupScan scan = ScanFor(width);
  if (scan == nullptr || text.empty() || from >= text.size()) return best;
  ProbeGroup group{{},
                   0,
                   reinterpret_cast<const unsigned char*>(text.data()),
                   text.size(),
                   text.size() - 1,
                   0,
                   accept,
                   context};
  for (std::size_t first = 0; first < probes.size(); first += kMaxProbes) {
    group.probes = probes.subspan(first, std::min(kMaxProbes, probes.size() - first));
    group.firstIndex = first;
    group.maxOffset = 0;
    for (const auto& p : group.probes) {
      group.maxOffset = std::max({group.maxOffset, p.offset[0], p.offset[1]});
    }
    const ProbeHit hit = scan(group, from);
    if (hit.start == npos) continue;
    // A later group must find an earlier position to win.
    best = hit;
    if (hit.start == from) break;
    group.lastStart = hit.start - 1;
  }
  return best;
}

BytePairProbe ProbeFor(std::string_view literal, bool caseSensitive,
                       unsigned char (*toggleCase)(unsigned char)) {
  BytePairProbe probe;
  if (literal.empty()) return probe;
  const auto byteAt = [&](std::size_t j) { return static_cast<unsigned char>(literal[j]); };
  const auto otherAt = [&](std::size_t j) {
    return caseSensitive ? byteAt(j) : toggleCase(byteAt(j));
  };
  // A byte with two case forms is as common as the commoner of them.
  const auto rank = [&](std::size_t j) {
    return std::max(kByteRank[byteAt(j)], kByteRank[otherAt(j)]);
  };
  const auto sameFolded = [&](std::size_t i, std::size_t j) {
    return (byteAt(i) == byteAt(j) || byteAt(i) == otherAt(j)) &&
           (otherAt(i) == byteAt(j) || otherAt(i) == otherAt(j));
  };
  std::size_t rarest = 0;
  for (std::size_t j = 1; j < literal.size(); ++j) {
    if (rank(j) < rank(rarest)) rarest = j;
  }
  std::size_t second = literal.size() - 1 == rarest ? 0 : literal.size() - 1;
  bool distinct = false;
  for (std::size_t j = 0; j < literal.size(); ++j) {
    if (sameFolded(j, rarest)) continue;
    if (!distinct || rank(j) < rank(second)) second = j;
    distinct = true;
  }
  probe.offset[0] = rarest;
  probe.offset[1] = second;
  probe.byte[0] = byteAt(rarest);
  probe.other[0] = otherAt(rarest);
  probe.byte[1] = byteAt(second);
  probe.other[1] = otherAt(second);
  return probe;
}

}  // namespace velmora
