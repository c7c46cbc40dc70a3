// velmora-cli mask MASK NAME...: 1 or 0 per name, by the wildcard-mask rules.

#include "cli/Args.h"
#include "cli/Commands.h"
#include "find/Masks.h"

namespace velmora::cli {

int RunMask(std::span<const std::string> args, Io& io) {
  const ParsedArgs parsed = ParsedArgs::Parse(args, {});
  const auto& positional = parsed.Positional();
  if (positional.size() < 2) throw UsageError("mask needs a MASK and at least one NAME");
  const std::string& mask = positional.front();
  // Compile before printing anything, so an invalid mask leaves no partial output.
  const TMask compiled(mask);
  for (std::size_t i = 1; i < positional.size(); ++i) {
    io.out << (compiled.Matches(positional[i]) ? "1\n" : "0\n");
  }
  return kExitFound;
}

}  // namespace velmora::cli
