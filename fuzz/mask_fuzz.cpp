// libFuzzer target for the wildcard masks. The input is a mask and a name separated by the
// first NUL byte (no NUL: the input is both). Compiling may raise EMaskError and nothing
// else; a valid mask must match quickly and give the same answer twice; a mask without
// wildcard or set characters must match exactly the names equal to it without regard to
// ASCII case.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "find/Masks.h"

namespace {

bool HasMaskSyntax(std::string_view mask) {
  return mask.find_first_of("*?[") != std::string_view::npos;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto split = input.find('\0');
  const std::string_view mask = input.substr(0, split);
  const std::string_view name = split == std::string_view::npos ? input : input.substr(split + 1);
  try {
    const velmora::TMask compiled(mask);
    const bool first = compiled.Matches(name);
    if (compiled.Matches(name) != first) std::abort();
    if (!HasMaskSyntax(mask) && first != EqualIgnoringAsciiCase(mask, name)) std::abort();
    // A mask always matches its own text once "*", "?" and sets are not involved.
    if (!HasMaskSyntax(mask) && !compiled.Matches(mask)) std::abort();
  } catch (const velmora::EMaskError& e) {
    if (e.Position() < 1 || static_cast<std::size_t>(e.Position()) > mask.size() + 1) std::abort();
  }
  return 0;
}
