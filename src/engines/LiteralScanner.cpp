#include "engines/LiteralScanner.h"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

constexpr auto npos = std::string_view::npos;

WordEdges::Rule RuleOf(std::string_view assertion) {
  if (assertion == "\\b") return WordEdges::Rule::Boundary;
  if (assertion == "\\B") return WordEdges::Rule::NoBoundary;
  return WordEdges::Rule::None;
}

bool IsBreak(unsigned char c) {
  return c == '\r' || c == '\n';
}

bool RuleHolds(WordEdges::Rule rule, bool outsideIsWord, bool insideIsWord) {
  switch (rule) {
    case WordEdges::Rule::Boundary:
      return outsideIsWord != insideIsWord;
    case WordEdges::Rule::NoBoundary:
      return outsideIsWord == insideIsWord;
    case WordEdges::Rule::None:
      break;
  }
  return true;
}

}  // namespace

WordEdges WordEdges::OfWordPattern(std::string_view pattern, std::string_view wordChars) {
  WordEdges edges;
  if (pattern.size() < 4) return edges;
  edges.before = RuleOf(pattern.substr(0, 2));
  edges.after = RuleOf(pattern.substr(pattern.size() - 2));
  for (const char c : wordChars) edges.word[static_cast<unsigned char>(c)] = true;
  return edges;
}

bool WordEdges::Hold(std::string_view text, std::size_t start, std::size_t length) const {
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t end = start + length;
  // The line the matcher sees begins after a break and ends before one.
  const bool wordBefore = start > 0 && !IsBreak(t[start - 1]) && word[t[start - 1]];
  const bool wordAfter = end < text.size() && !IsBreak(t[end]) && word[t[end]];
  return RuleHolds(before, wordBefore, length > 0 && word[t[start]]) &&
         RuleHolds(after, wordAfter, length > 0 && word[t[end - 1]]);
}

LiteralMatch::LiteralMatch(std::string_view literal, bool caseSensitive,
                           unsigned char (*toggleCase)(unsigned char), const WordEdges& edges)
    : literal_(literal),
      other_(literal),
      caseSensitive_(caseSensitive),
      probe_(ProbeFor(literal, caseSensitive, toggleCase)),
      edges_(edges) {
  // A text byte t stands for literal byte b when t is b or b's other-case form.
  if (!caseSensitive) {
    for (auto& c : other_) c = static_cast<char>(toggleCase(static_cast<unsigned char>(c)));
  }
}

bool LiteralMatch::At(std::string_view text, std::size_t start) const {
  const std::size_t m = literal_.size();
  if (start > text.size() || text.size() - start < m) return false;
  const char* t = text.data() + start;
  if (caseSensitive_) {
    if (std::memcmp(t, literal_.data(), m) != 0) return false;
  } else {
    for (std::size_t j = 0; j < m; ++j) {
      if (t[j] != literal_[j] && t[j] != other_[j]) return false;
    }
  }
  return edges_.Hold(text, start, m);
}

LiteralScanner::LiteralScanner(std::string_view literal, bool caseSensitive,
                               unsigned char (*toggleCase)(unsigned char), const WordEdges& edges)
    : match_(literal, caseSensitive, toggleCase, edges) {}

namespace {

struct ScanContext {
  std::string_view text;
  const LiteralMatch* match;
};

bool AcceptOne(const void* context, std::size_t start, std::size_t) {
  const auto& c = *static_cast<const ScanContext*>(context);
  return c.match->At(c.text, start);
}

}  // namespace

std::size_t LiteralScanner::Find(std::string_view text, std::size_t from, FilterWidth width) const {
  if (from > text.size()) return npos;
  if (match_.Size() == 0) return from;
  const ScanContext context{text, &match_};
  return FindProbes({&match_.Probe(), 1}, text, from, &AcceptOne, &context, width).start;
}

MultiLiteralScanner::MultiLiteralScanner(std::span<const LiteralMatch> matches)
    : matches_(matches), wantedFrom_(matches.size(), 0) {
  for (std::size_t k = 0; k < matches.size(); ++k) active_.push_back(k);
  Rebuild();
}

void MultiLiteralScanner::Rebuild() {
  probes_.clear();
  for (const std::size_t k : active_) probes_.push_back(matches_[k].Probe());
}

void MultiLiteralScanner::MoveOn(std::size_t k, std::size_t from) {
  if (wantedFrom_[k] != npos) wantedFrom_[k] = from;
}

void MultiLiteralScanner::Drop(std::size_t k) {
  if (wantedFrom_[k] == npos) return;
  wantedFrom_[k] = npos;
  std::erase(active_, k);
  Rebuild();
}

void MultiLiteralScanner::Shift(std::size_t count) {
  for (auto& from : wantedFrom_) {
    if (from != npos) from -= std::min(from, count);
  }
}

namespace {

struct MultiContext {
  std::string_view text;
  std::span<const LiteralMatch> matches;
  const std::vector<std::size_t>* wantedFrom;
  const std::vector<std::size_t>* active;
};

bool AcceptWanted(const void* context, std::size_t start, std::size_t probe) {
  const auto& c = *static_cast<const MultiContext*>(context);
  const std::size_t k = (*c.active)[probe];
  return start >= (*c.wantedFrom)[k] && c.matches[k].At(c.text, start);
}

}  // namespace

MultiLiteralScanner::Hit MultiLiteralScanner::Find(std::string_view text, std::size_t from,
                                                   FilterWidth width) const {
  if (from > text.size() || active_.empty()) return {};
  const MultiContext context{text, matches_, &wantedFrom_, &active_};
  const ProbeHit hit = FindProbes(probes_, text, from, &AcceptWanted, &context, width);
  if (hit.start == npos) return {};
  return {hit.start, active_[hit.probe]};
}

}  // namespace velmora
