#pragma once

// The whole-buffer pre-check for a literal that every match must contain.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Case-sensitive or case-folding search for a literal over a whole buffer: the quick test that
// rejects a file, or skips lines, before the lines are matched. It jumps with memchr to the
// literal's rarest byte. toggleCase gives a byte's other-case form, as the matcher folds it.
class LiteralScanner {
 public:
  LiteralScanner(std::string_view literal, bool caseSensitive,
                 unsigned char (*toggleCase)(unsigned char));
  // The position of the first occurrence at or after from; npos when there is none.
  std::size_t Find(std::string_view text, std::size_t from) const;

 private:
  bool MatchesAt(const unsigned char* t) const;

  std::string literal_;
  std::size_t rare_ = 0;  // index of the literal byte searched for first
  std::string other_;     // the other-case form of each literal byte (itself when case-sensitive)
};

}  // namespace velmora
