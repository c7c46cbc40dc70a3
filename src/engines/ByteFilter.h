#pragma once

// The vector filter under every literal search: it tests two bytes of each literal at their
// fixed offsets over 16 or 32 start positions at once, and hands only the positions where both
// fit to a verifier. It works on any byte range, so it serves a whole buffer or a window alike.

#include <cstddef>
#include <span>
#include <string_view>

namespace velmora {

// Two bytes of a literal at fixed offsets from its start, each with the other-case form the
// matcher also accepts for it (the byte itself where case matters).
struct BytePairProbe {
  std::size_t offset[2] = {0, 0};
  unsigned char byte[2] = {0, 0};
  unsigned char other[2] = {0, 0};
};

// Asked at a start position where the bytes of probe number `probe` fit; true accepts it.
using ProbeAccept = bool (*)(const void* context, std::size_t start, std::size_t probe);

struct ProbeHit {
  std::size_t start = std::string_view::npos;  // npos: none
  std::size_t probe = 0;
};

// The instruction sets the filter can use; Best is the widest this processor has.
enum class FilterWidth { Scalar, Sse2, Avx2, Best };

// True when this build and processor can run the filter at width.
bool FilterWidthAvailable(FilterWidth width);

// The first start position s >= from at which some probe's two bytes fit (both inside text)
// and accept(context, s, k) is true. At one position the probes are offered in index order.
// The verifier must check that the whole literal fits the text.
ProbeHit FindProbes(std::span<const BytePairProbe> probes, std::string_view text, std::size_t from,
                    ProbeAccept accept, const void* context, FilterWidth width = FilterWidth::Best);

// Picks the two bytes of literal to test: the rarest in real text, then the rarest whose case
// folded value differs from it (or, in a literal of one repeated byte, its last byte). The
// other-case forms come from toggleCase when caseSensitive is false.
BytePairProbe ProbeFor(std::string_view literal, bool caseSensitive,
                       unsigned char (*toggleCase)(unsigned char));

}  // namespace velmora
