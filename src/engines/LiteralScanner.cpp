#include "engines/LiteralScanner.h"

#include <cstring>

namespace velmora {

namespace {

// A rough rank of how often a byte occurs in text (higher: more often), to pick the byte of a
// literal whose occurrences are fewest and let memchr skip to them.
int Commonness(unsigned char c) {
  static constexpr std::string_view kLetters = "zqxjkvbpygfwmucldrhsnioate";  // rare first
  if (c == ' ') return 100;
  if (c >= 'a' && c <= 'z') return 40 + static_cast<int>(kLetters.find(static_cast<char>(c)));
  if (c >= 'A' && c <= 'Z')
    return 30 + static_cast<int>(kLetters.find(static_cast<char>(c + 32))) / 2;
  if (c >= '0' && c <= '9') return 35;
  if (c == '\t' || c == '\n' || c == '\r' || c == '_' || c == '.' || c == ',') return 50;
  if (c >= 128) return 5;
  return 20;
}

}  // namespace

LiteralScanner::LiteralScanner(std::string_view literal, bool caseSensitive,
                               unsigned char (*toggleCase)(unsigned char))
    : literal_(literal), other_(literal) {
  // A text byte t stands for literal byte b when t is b or b's other-case form.
  if (!caseSensitive) {
    for (auto& c : other_) c = static_cast<char>(toggleCase(static_cast<unsigned char>(c)));
  }
  int best = 1 << 30;
  for (std::size_t j = 0; j < literal_.size(); ++j) {
    const auto b = static_cast<unsigned char>(literal_[j]);
    const auto o = static_cast<unsigned char>(other_[j]);
    const int score = Commonness(b) + (o != b ? Commonness(o) : 0);
    if (score < best) {
      best = score;
      rare_ = j;
    }
  }
}

bool LiteralScanner::MatchesAt(const unsigned char* t) const {
  const auto* p = reinterpret_cast<const unsigned char*>(literal_.data());
  const auto* o = reinterpret_cast<const unsigned char*>(other_.data());
  for (std::size_t j = 0; j < literal_.size(); ++j) {
    if (t[j] != p[j] && t[j] != o[j]) return false;
  }
  return true;
}

std::size_t LiteralScanner::Find(std::string_view text, std::size_t from) const {
  constexpr auto npos = std::string_view::npos;
  const std::size_t m = literal_.size();
  if (from > text.size()) return npos;
  if (m == 0) return from;
  if (text.size() - from < m) return npos;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto rareByte = static_cast<unsigned char>(literal_[rare_]);
  const auto rareOther = static_cast<unsigned char>(other_[rare_]);
  // The rare byte can only sit in [first, last] for a whole occurrence to fit.
  const std::size_t first = from + rare_;
  const std::size_t last = text.size() - m + rare_;
  const auto next = [&](unsigned char byte, std::size_t at) -> std::size_t {
    if (at > last) return npos;
    const void* hit = std::memchr(t + at, byte, last + 1 - at);
    return hit == nullptr ? npos
                          : static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - t);
  };
  // With two case forms both are tracked and the nearer one is tried first.
  std::size_t one = next(rareByte, first);
  std::size_t two = rareOther != rareByte ? next(rareOther, first) : npos;
  while (one != npos || two != npos) {
    const bool takeOne = two == npos || (one != npos && one < two);
    const std::size_t at = takeOne ? one : two;
    if (MatchesAt(t + at - rare_)) return at - rare_;
    if (takeOne) {
      one = next(rareByte, at + 1);
    } else {
      two = next(rareOther, at + 1);
    }
  }
  return npos;
}

}  // namespace velmora
