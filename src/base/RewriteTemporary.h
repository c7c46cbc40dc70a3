#pragma once

// The temporary file a rewrite makes beside its target: "." + name + ".velmora-" + six
// characters chosen by mkstemp. Searches never list such files, and a rewrite removes stale
// ones of its own target.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kRewriteMark = ".velmora-";
inline constexpr std::size_t kRewriteRandomLength = 6;
// The target's name is shortened so that a name near the length limit leaves room.
inline constexpr std::size_t kRewriteNameLimit = 200;

// The mkstemp template for a rewrite of the file with this name (no folder).
inline std::string RewriteTemporaryTemplate(std::string_view name) {
  return "." + std::string(name.substr(0, kRewriteNameLimit)) + std::string(kRewriteMark) +
         std::string(kRewriteRandomLength, 'X');
}

// Is entry (a name, no folder) the temporary file of a rewrite of some file?
inline bool IsRewriteTemporary(std::string_view entry) {
  constexpr std::size_t kSuffix = kRewriteMark.size() + kRewriteRandomLength;
  return entry.size() > kSuffix + 1 && entry.front() == '.' &&
         entry.substr(entry.size() - kSuffix, kRewriteMark.size()) == kRewriteMark;
}

// Is entry the temporary file of a rewrite of the file with this name?
inline bool IsRewriteTemporaryOf(std::string_view entry, std::string_view name) {
  const std::string prefix = RewriteTemporaryTemplate(name);
  return entry.size() == prefix.size() && IsRewriteTemporary(entry) &&
         entry.substr(0, prefix.size() - kRewriteRandomLength) ==
             std::string_view(prefix).substr(0, prefix.size() - kRewriteRandomLength);
}

}  // namespace velmora
