#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/LiteralScanner.h"
#include "engines/Un_Tambahan.h"
#include "regex/Regex.h"

namespace velmora {
namespace {

constexpr auto npos = std::string_view::npos;

bool SameByte(char text, char literal, bool caseSensitive) {
  const auto t = static_cast<unsigned char>(text);
  const auto b = static_cast<unsigned char>(literal);
  return t == b || (!caseSensitive && t == ToggleCase(b));
}

// The first s >= from where word stands in text, byte by byte.
std::size_t NaiveFind(std::string_view text, std::string_view word, std::size_t from,
                      bool caseSensitive) {
  for (std::size_t s = from; s + word.size() <= text.size(); ++s) {
    std::size_t j = 0;
    while (j < word.size() && SameByte(text[s + j], word[j], caseSensitive)) ++j;
    if (j == word.size()) return s;
  }
  return npos;
}

std::vector<FilterWidth> Widths() {
  std::vector<FilterWidth> widths;
  for (const auto w : {FilterWidth::Scalar, FilterWidth::Sse2, FilterWidth::Avx2}) {
    if (FilterWidthAvailable(w)) widths.push_back(w);
  }
  return widths;
}

// Random texts over a few bytes, with the word planted at the text's ends and across the edges
// of 16- and 32-byte blocks, so that the vector loop, its last block and the byte-wise rest
// all meet occurrences (and near misses: the alphabet shares the word's bytes).
struct Generator {
  std::mt19937 random{20261207};
  std::string alphabet = "abcAB\n x\xe9\xc9";

  std::string Pick(std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
    return s;
  }
  std::string Text(const std::string& word) {
    std::string text = Pick(random() % 100);
    const std::size_t plants = random() % 3;
    for (std::size_t i = 0; i < plants; ++i) {
      static constexpr std::size_t kSpots[] = {0, 14, 15, 16, 17, 30, 31, 32, 33, 63, 64};
      std::size_t at = kSpots[random() % std::size(kSpots)];
      if (random() % 3 == 0) at = text.size() - std::min(text.size(), word.size());
      at = std::min(at, text.size());
      text.replace(at, std::min(word.size(), text.size() - at), word);
    }
    return text;
  }
};

TEST(LiteralScanner, FindsWhatAByteByByteSearchFinds) {
  Generator gen;
  int found = 0;
  for (int round = 0; round < 6000; ++round) {
    const std::string word = gen.Pick(1 + gen.random() % 5);
    const std::string text = gen.Text(word);
    const bool caseSensitive = round % 2 == 0;
    const std::size_t from = gen.random() % (text.size() + 2);
    const std::size_t expected = NaiveFind(text, word, from, caseSensitive);
    found += expected != npos;
    const LiteralScanner scanner(word, caseSensitive, &ToggleCase);
    for (const FilterWidth width : Widths()) {
      ASSERT_EQ(scanner.Find(text, from, width), expected)
          << "word [" << word << "] text [" << text << "] from " << from << " case "
          << caseSensitive << " width " << static_cast<int>(width);
    }
  }
  EXPECT_GT(found, 1500);  // both outcomes occur
  EXPECT_LT(found, 4500);
}

// Several words in one pass must give the earliest occurrence of a wanted word, the first word
// of the list at a shared position, as searching each word alone does.
TEST(MultiLiteralScanner, FindsTheEarliestWantedWord) {
  Generator gen;
  for (int round = 0; round < 3000; ++round) {
    // Sometimes more words than one vector pass takes.
    std::vector<std::string> words(1 + gen.random() % (round % 10 == 0 ? 24 : 4));
    for (auto& w : words) w = gen.Pick(1 + gen.random() % 4);
    const std::string text = gen.Text(words[gen.random() % words.size()]);
    const bool caseSensitive = round % 2 == 0;
    std::vector<LiteralMatch> matches;
    for (const auto& w : words) matches.emplace_back(w, caseSensitive, &ToggleCase);
    MultiLiteralScanner scanner(matches);
    std::vector<std::size_t> wantedFrom(words.size(), 0);
    for (std::size_t k = 0; k < words.size(); ++k) {
      if (gen.random() % 4 == 0) {
        wantedFrom[k] = npos;
        scanner.Drop(k);
      } else if (gen.random() % 3 == 0) {
        wantedFrom[k] = gen.random() % (text.size() + 1);
        scanner.MoveOn(k, wantedFrom[k]);
      }
    }
    const std::size_t from = gen.random() % (text.size() + 1);
    MultiLiteralScanner::Hit expected;
    for (std::size_t k = 0; k < words.size(); ++k) {
      if (wantedFrom[k] == npos) continue;
      const std::size_t at =
          NaiveFind(text, words[k], std::max(from, wantedFrom[k]), caseSensitive);
      if (at < expected.start) expected = {at, k};
    }
    for (const FilterWidth width : Widths()) {
      const auto hit = scanner.Find(text, from, width);
      ASSERT_EQ(hit.start, expected.start) << "round " << round << " text [" << text << "]";
      if (hit.start != npos) {
        ASSERT_EQ(hit.word, expected.word) << "round " << round;
      }
    }
  }
}

// The edges of a whole-word pattern, checked against the matcher on the same text: a start
// where the literal stands passes exactly when the pattern matches there.
TEST(WordEdges, AgreeWithTheMatcher) {
  const std::string alphabet = "a_1 (\n";
  std::mt19937 random(3);
  for (int round = 0; round < 3000; ++round) {
    std::string word, text;
    for (std::size_t i = 1 + random() % 2; i > 0; --i) word += alphabet[random() % 5];
    for (std::size_t i = random() % 8; i > 0; --i) text += alphabet[random() % alphabet.size()];
    const std::string pattern = WordPattern(word, true);
    TRegex regex;
    // Word characters other than those WordPattern assumes, line breaks among them, must not
    // change the outcome.
    if (round % 2 == 1) regex.SetWordCharacters(regex.WordCharacters() + "(\n");
    regex.SetExpression(pattern);
    const WordEdges edges = WordEdges::OfWordPattern(pattern, regex.WordCharacters());
    for (std::size_t s = 0; s + word.size() <= text.size(); ++s) {
      if (text.compare(s, word.size(), word) != 0) continue;
      // The line around s, as the matcher gets it.
      const std::size_t begin = text.rfind('\n', s) == npos ? 0 : text.rfind('\n', s) + 1;
      const std::size_t end = std::min(text.find('\n', s), text.size());
      const std::string line = text.substr(begin, end - begin);
      regex.Exec(line);
      const auto offset = static_cast<std::int32_t>(s - begin);
      const bool matchesHere = regex.ExecPos(offset + 1) && regex.MatchStart(0) == offset + 1;
      ASSERT_EQ(edges.Hold(text, s, word.size()), matchesHere)
          << "word [" << word << "] text [" << text << "] at " << s;
    }
  }
}

}  // namespace
}  // namespace velmora
