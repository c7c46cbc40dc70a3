#pragma once

// The whole-buffer pre-checks for literals that every match must contain: one literal, or any
// of several words in one pass.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engines/ByteFilter.h"

namespace velmora {

// The word-boundary assertions (\b, \B) that a whole-word pattern puts right before and right
// after its literal, with the matcher's word characters. They are checked on the text's own
// bytes, as the matcher checks them; a line break or the edge of the text is no character.
struct WordEdges {
  enum class Rule { None, Boundary, NoBoundary };
  Rule before = Rule::None;
  Rule after = Rule::None;
  std::array<bool, 256> word{};

  // The assertions of a pattern made by WordPattern with whole words; wordChars as the regex
  // has them.
  static WordEdges OfWordPattern(std::string_view pattern, std::string_view wordChars);
  // Do the assertions hold for a literal of `length` bytes at start?
  bool Hold(std::string_view text, std::size_t start, std::size_t length) const;
};

// One literal as found in text: its bytes, the other-case form of each (the matcher's folding),
// and optionally the word edges around it.
class LiteralMatch {
 public:
  LiteralMatch(std::string_view literal, bool caseSensitive,
               unsigned char (*toggleCase)(unsigned char), const WordEdges& edges = {});
  // Does the literal stand at start, whole and inside text, with its edges holding?
  bool At(std::string_view text, std::size_t start) const;
  std::size_t Size() const { return literal_.size(); }
  const BytePairProbe& Probe() const { return probe_; }

 private:
  std::string literal_;
  std::string other_;  // the other-case form of each byte (itself when case-sensitive)
  bool caseSensitive_;
  BytePairProbe probe_;
  WordEdges edges_;
};

// Case-sensitive or case-folding search for one literal over a buffer: the quick test that
// rejects a file, or skips lines, before the lines are matched. toggleCase gives a byte's
// other-case form, as the matcher folds it.
class LiteralScanner {
 public:
  LiteralScanner(std::string_view literal, bool caseSensitive,
                 unsigned char (*toggleCase)(unsigned char), const WordEdges& edges = {});
  // The position of the first occurrence at or after from; npos when there is none.
  std::size_t Find(std::string_view text, std::size_t from,
                   FilterWidth width = FilterWidth::Best) const;

 private:
  LiteralMatch match_;
};

// Several non-empty words searched in one pass: the next place where any word still wanted
// occurs. A word is wanted from a position on (MoveOn) or no more (Drop).
class MultiLiteralScanner {
 public:
  // One match per word, none empty; they are borrowed and must outlive the scanner.
  explicit MultiLiteralScanner(std::span<const LiteralMatch> matches);

  struct Hit {
    std::size_t start = std::string_view::npos;  // npos: none
    std::size_t word = 0;
  };
  // The first occurrence at or after from of a word wanted there; at one position the word
  // that comes first in the list.
  Hit Find(std::string_view text, std::size_t from, FilterWidth width = FilterWidth::Best) const;
  // Word k is wanted only at `from` and later.
  void MoveOn(std::size_t k, std::size_t from);
  void Drop(std::size_t k);
  // The text lost its first count bytes: every position moves back by count (to 0 at least).
  void Shift(std::size_t count);
  bool Empty() const { return active_.empty(); }

 private:
  void Rebuild();

  std::span<const LiteralMatch> matches_;
  std::vector<std::size_t> wantedFrom_;  // per word; npos: dropped
  std::vector<std::size_t> active_;      // the words not dropped, in list order
  std::vector<BytePairProbe> probes_;    // the probes of the active words
};

}  // namespace velmora
