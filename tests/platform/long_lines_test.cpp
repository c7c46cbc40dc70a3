// A page with a line of megabytes shows a bounded document that keeps every match.

#include <gtest/gtest.h>

#include <QTextBrowser>
#include <filesystem>
#include <string>

#include "doubles/TempFolder.h"
#include "platform/QtViewer.h"

namespace velmora {
namespace {

std::string Match(const std::string& text) {
  return "<font color=\"#0000FF\">" + text + "</font>";
}

std::string Page(const std::string& body) {
  return "<html>\r\n<Title>Lines Viewer</Title>\r\n<body>\r\n<pre>\r\n"
         "<strong>     File:  big.txt      Path:  /tmp/</strong>\r\n" +
         body + "</pre>\r\n</body>\r\n</html>\r\n";
}

TEST(LongLinesTest, TheViewerShowsABoundedLineWithEveryMatch) {
  // One 6 MB line: three matches far apart, an entity in a match, text around them.
  const std::string filler(2'000'000, 'x');
  const std::string longLine = "line 1 : " + filler + Match("first") + filler + Match("a &amp; b") +
                               filler + Match("third") + "tail\r\n";
  const std::string bytes = Page(longLine + "line 2 : short " + Match("match") + "\r\n");
  const testing::TempFolder temp;
  const std::string page = temp / "page.html";
  testing::WriteWholeFile(page, bytes);

  QTextBrowser browser;
  QtViewer viewer(&browser);
  viewer.Navigate(page);
  const QString shown = browser.toPlainText();
  EXPECT_LT(shown.size(), 30000);
  for (const char* text :
       {"first", "a & b", "third", "tail", "line 1 : xxx", "line 2 : short match"})
    EXPECT_TRUE(shown.contains(QLatin1String(text))) << text;
  EXPECT_EQ(shown.count(QStringLiteral("characters not shown")), 3);
  // The head keeps 1000 characters, the first match 1000 before it: 2000009 - 2000 left out.
  EXPECT_TRUE(shown.contains(QStringLiteral("[\u2026 1998009 characters not shown \u2026]")));
  // The matches keep their colour; the page file keeps the whole line.
  EXPECT_EQ(browser.toHtml().count(QStringLiteral("#0000ff")), 4);
  EXPECT_EQ(std::filesystem::file_size(page), bytes.size());
}

TEST(LongLinesTest, ALongMatchShowsItsEndsAndShortLinesStayWhole) {
  const std::string longMatch = "line 1 : " + Match(std::string(50'000, 'm') + "END") + "\r\n";
  const QString shortened = QtViewer::ShortenLongLines(QString::fromStdString(longMatch));
  EXPECT_LT(shortened.size(), 5000);
  EXPECT_TRUE(shortened.contains(QStringLiteral("mmmEND</font>")));
  EXPECT_EQ(shortened.count(QStringLiteral("<font")), shortened.count(QStringLiteral("</font>")));

  // Many matches: the budget ends the shown ones, and the rest is left out in one piece.
  std::string many = "line 1 : ";
  for (int i = 0; i < 5000; ++i) many += std::string(3000, 'y') + Match("hit");
  const QString cut = QtViewer::ShortenLongLines(QString::fromStdString(many));
  EXPECT_LT(cut.size(), 25000);
  EXPECT_GT(cut.count(QStringLiteral("hit")), 3);
  EXPECT_EQ(cut.count(QStringLiteral("<font color=\"#0000FF\">")),
            cut.count(QStringLiteral("</font>")) - cut.count(QStringLiteral("not shown")));

  // A cut never splits an escaped character.
  std::string amps = "line 1 : ";
  for (int i = 0; i < 12000; ++i) amps += "&amp;";
  const QString cutAmps = QtViewer::ShortenLongLines(QString::fromStdString(amps + Match("hit")));
  EXPECT_LT(cutAmps.size(), 30000);
  EXPECT_EQ(cutAmps.count(QLatin1Char('&')), cutAmps.count(QStringLiteral("&amp;")));

  const QString plain = QString::fromStdString(Page("line 1 : " + std::string(9000, 'z') + "\r\n"));
  EXPECT_EQ(QtViewer::ShortenLongLines(plain), plain);
}

}  // namespace
}  // namespace velmora
