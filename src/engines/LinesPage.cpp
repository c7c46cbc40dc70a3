#include "engines/LinesPage.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>

#include "base/Paths.h"
#include "engines/TextBuffer.h"
#include "engines/Un_Tambahan.h"
#include "modify/SafeWrite.h"
#include "regex/Regex.h"

namespace velmora {

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

LinesPage::LinesPage(const std::string& fileName) {
  Append("<html>");
  Append("<Title>Lines Viewer</Title>");
  Append("<body>");
  Append("<pre>");
  // Names may hold "<", "&" or quotes on this platform: escaped, they cannot break the page.
  Append("<strong>     File:  " + HtmlEscape(NameOf(fileName)) +
         "      Path:  " + HtmlEscape(FolderOf(fileName)) + "</strong>");
}

void LinesPage::AddLine(std::size_t index, std::string_view markedText, Mark mark) {
  const std::string number = std::to_string(index + 1);
  std::string line;
  switch (mark) {
    case Mark::Plain:
      line = "line ";
      break;
    case Mark::Chosen:
      line = "<font color=\"#FF0000\">+</font>line ";
      break;
    case Mark::NotChosen:
      line = " line ";
      break;
  }
  line += number;
  line += " : ";
  line += markedText;
  Append(line);
}

void LinesPage::AddBlock(std::size_t first, std::size_t last) {
  std::string line = "<font color=\"#0000FF\">line " + std::to_string(first);
  if (last != first) line += " - line " + std::to_string(last);
  line += "</font>";
  Append(line);
}

void LinesPage::Save(const std::string& pageFileName) {
  Append("</pre>");
  Append("</body>");
  Append("</html>");
  WriteFileSafely(pageFileName, text_);
}

void LinesPage::Append(std::string_view line) {
  text_ += line;
  text_ += "\r\n";
}

WordHighlighter::WordHighlighter(const std::vector<std::string>& words, bool caseSensitive,
                                 bool wholeWords) {
  for (const auto& word : words) {
    if (word.empty()) continue;
    auto& regex = *patterns_.emplace_back(std::make_unique<TRegex>());
    regex.SetModifier(1, !caseSensitive);
    regex.SetExpression(WordPattern(HtmlEscape(word), wholeWords));
  }
}

WordHighlighter::~WordHighlighter() = default;

std::string WordHighlighter::Mark(std::string_view text) {
  std::string marked = HtmlEscape(text);
  for (const auto& regex : patterns_) marked = regex->ReplaceAll(marked, HIGHLIGHT_TEMPLATE, true);
  return marked;
}

std::string MarkMatches(TRegex& regex, std::string_view text) {
  std::string marked;
  std::size_t from = 0;
  if (regex.ExecView(text)) {
    do {
      const auto start = static_cast<std::size_t>(regex.MatchStart(0) - 1);
      marked += HtmlEscape(text.substr(from, start - from));
      marked += "<font color=\"#0000FF\">";
      marked += HtmlEscape(regex.MatchText(0));
      marked += "</font>";
      from = start + static_cast<std::size_t>(regex.MatchLength(0));
    } while (regex.ExecNext());
  }
  marked += HtmlEscape(text.substr(from));
  return marked;
}

namespace {

// The line a line identifier names; none for any other text.
std::optional<std::size_t> LineOf(const std::string& entry) {
  if (entry.empty() || (entry.size() > 1 && entry[0] == '0')) return std::nullopt;
  std::size_t index = 0;
  const char* end = entry.data() + entry.size();
  const auto [stop, error] = std::from_chars(entry.data(), end, index);
  if (error != std::errc() || stop != end) return std::nullopt;
  return index;
}

}  // namespace

ChosenMarks::ChosenMarks(bool useIntervals, const std::vector<std::string>& intervals)
    : useIntervals_(useIntervals) {
  if (!useIntervals) return;
  for (const auto& entry : intervals) {
    if (const auto index = LineOf(entry)) chosen_.push_back(*index);
  }
  std::sort(chosen_.begin(), chosen_.end());
}

LinesPage::Mark ChosenMarks::For(std::size_t index) const {
  if (!useIntervals_) return LinesPage::Mark::Plain;
  const bool chosen = std::binary_search(chosen_.begin(), chosen_.end(), index);
  return chosen ? LinesPage::Mark::Chosen : LinesPage::Mark::NotChosen;
}

}  // namespace velmora
