#include "platform/QtViewer.h"

#include <QStringDecoder>
#include <QTextBrowser>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace velmora {

namespace {

// Visible characters of a line at which it is shortened, shown around each match on each side,
// and shown of one line at most. Laying out a line costs time in its length, so the window
// stays responsive however long the file's lines are.
constexpr qsizetype kLongLine = 10000;
constexpr qsizetype kContext = 1000;
constexpr qsizetype kLineBudget = 20000;

enum class TokenKind { Text, Open, Close, Tag };

// One piece of a page line: a tag, an entity or one character (a surrogate pair whole).
struct Token {
  TokenKind kind;
  qsizetype end;  // index after the token
};

Token NextToken(const QString& line, qsizetype at) {
  const QChar c = line[at];
  if (c == u'<') {
    qsizetype end = line.indexOf(u'>', at);
    end = end < 0 ? line.size() : end + 1;
    const QStringView tag = QStringView(line).mid(at, end - at);
    if (tag.startsWith(u"<font", Qt::CaseInsensitive)) return {TokenKind::Open, end};
    if (tag.startsWith(u"</font", Qt::CaseInsensitive)) return {TokenKind::Close, end};
    return {TokenKind::Tag, end};
  }
  if (c == u'&') {
    const qsizetype semicolon = line.indexOf(u';', at);
    if (semicolon > at && semicolon - at <= 10) return {TokenKind::Text, semicolon + 1};
  }
  if (c.isHighSurrogate() && at + 1 < line.size() && line[at + 1].isLowSurrogate())
    return {TokenKind::Text, at + 2};
  return {TokenKind::Text, at + 1};
}

using Range = std::pair<qsizetype, qsizetype>;  // visible characters [first, second)

// The visible ranges of the top-level coloured spans (the matches) and the visible length.
std::vector<Range> Matches(const QString& line, qsizetype& visible) {
  std::vector<Range> matches;
  visible = 0;
  int depth = 0;
  for (qsizetype at = 0; at < line.size();) {
    const Token token = NextToken(line, at);
    if (token.kind == TokenKind::Text) ++visible;
    if (token.kind == TokenKind::Open && depth++ == 0) matches.push_back({visible, visible});
    if (token.kind == TokenKind::Close && depth > 0 && --depth == 0)
      matches.back().second = visible;
    at = token.end;
  }
  if (depth > 0) matches.back().second = visible;
  return matches;
}

// The ranges to show: the line's start, and context around each match while the budget lasts;
// a match longer than the context shows its start and its end.
std::vector<Range> KeptRanges(const std::vector<Range>& matches, qsizetype visible) {
  std::vector<Range> windows{{0, std::min(visible, kContext)}};
  qsizetype spent = windows.front().second;
  for (const auto& [first, last] : matches) {
    std::vector<Range> around;
    if (last - first <= 2 * kContext) {
      around.push_back({first - kContext, last + kContext});
    } else {
      around.push_back({first - kContext, first + kContext});
      around.push_back({last - kContext, last + kContext});
    }
    qsizetype cost = 0;
    for (auto& [a, b] : around) {
      a = std::max<qsizetype>(a, 0);
      b = std::min(b, visible);
      cost += b - a;
    }
    if (spent + cost > kLineBudget) break;
    spent += cost;
    windows.insert(windows.end(), around.begin(), around.end());
  }
  std::sort(windows.begin(), windows.end());
  std::vector<Range> merged;
  for (const auto& window : windows) {
    if (!merged.empty() && window.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, window.second);
    } else {
      merged.push_back(window);
    }
  }
  return merged;
}

QString Marker(qsizetype left_out) {
  return QStringLiteral(
             "<font color=\"#808080\"><i> [\u2026 %1 characters not shown \u2026] </i></font>")
      .arg(left_out);
}

// The line with only the kept ranges; tags at a kept position (ends included) stay, and every
// coloured span that is opened is closed again.
QString ShortenLine(const QString& line) {
  qsizetype visible = 0;
  const std::vector<Range> matches = Matches(line, visible);
  if (visible <= kLongLine) return line;
  const std::vector<Range> kept = KeptRanges(matches, visible);
  QString shown;
  std::vector<bool> opened;  // per open coloured span: whether its tag was shown
  std::size_t range = 0;
  qsizetype v = 0;
  auto inRange = [&](bool endIncluded) {
    while (range < kept.size() && kept[range].second < v) ++range;
    if (range >= kept.size() || kept[range].first > v) return false;
    return endIncluded || v < kept[range].second;
  };
  bool skipping = false;
  for (qsizetype at = 0; at < line.size();) {
    const Token token = NextToken(line, at);
    const QStringView piece = QStringView(line).mid(at, token.end - at);
    if (token.kind == TokenKind::Text) {
      if (inRange(false)) {
        shown += piece;
        skipping = false;
      } else if (!skipping) {
        std::size_t following = range;
        if (following < kept.size() && kept[following].second <= v) ++following;
        const qsizetype next = following < kept.size() ? kept[following].first : visible;
        shown += Marker(next - v);
        skipping = true;
      }
      ++v;
    } else if (token.kind == TokenKind::Open) {
      opened.push_back(inRange(true));
      if (opened.back()) shown += piece;
    } else if (token.kind == TokenKind::Close) {
      if (!opened.empty()) {
        if (opened.back()) shown += piece;
        opened.pop_back();
      }
    } else if (inRange(true)) {
      shown += piece;
    }
    at = token.end;
  }
  for (bool wasShown : opened)
    if (wasShown) shown += QStringLiteral("</font>");
  return shown;
}

}  // namespace

QString QtViewer::DecodePage(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  text.replace(QLatin1String("<pre>\r\n"), QLatin1String("<pre>\n"), Qt::CaseInsensitive);
  return text;
}

QString QtViewer::ShortenLongLines(const QString& page) {
  QString shown;
  qsizetype begin = 0;
  while (begin < page.size()) {
    qsizetype end = page.indexOf(u'\n', begin);
    end = end < 0 ? page.size() : end + 1;
    const QString line = page.mid(begin, end - begin);
    shown += line.size() > kLongLine ? ShortenLine(line) : line;
    begin = end;
  }
  return shown;
}

void QtViewer::Navigate(const std::string& target) {
  if (!browser_) return;
  if (target == kAboutBlank) {
    browser_->clear();
    return;
  }
  // The page's name is bytes, like every file name: read it as such.
  std::ifstream file(target, std::ios::binary);
  if (!file) {
    browser_->clear();
    return;
  }
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  browser_->setHtml(
      ShortenLongLines(DecodePage(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))));
}

}  // namespace velmora
