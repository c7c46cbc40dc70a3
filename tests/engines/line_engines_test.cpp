// The five line engines (phrase, regex, word-or, word-and, search engine) through one table
// per job: search, the lines page and modification.

#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engines/EngineFixture.h"
#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/Un_Multiline.h"
#include "engines/Un_MyRegExpr.h"
#include "engines/Un_Phrase.h"
#include "engines/Un_SearchEngine.h"
#include "engines/Un_wordand.h"
#include "engines/Un_wordor.h"
#include "engines/WordLists.h"

namespace velmora {
namespace {

using testing::ExpectedPage;
using testing::L;
using testing::TempFolder;
using Strings = std::vector<std::string>;
using namespace std::string_literals;

const std::string kBlueOpen = "<font color=\"#0000FF\">";
const std::string kRedPlus = "<font color=\"#FF0000\">+</font>";

enum Flags { kCase = 1, kWhole = 2, kIgnoreSpace = 4, kNoTrimLeft = 8, kNoTrimRight = 16 };

// One engine of each kind, picked by a letter: p phrase, r regex, o word-or, a word-and,
// q search engine, m multiline (its query lines written as "a|b", trimmed unless told not to).
struct Engines {
  Tmy_phrase p;
  Tmy_regexpr r;
  Tmy_wordor o;
  Tmy_wordand a;
  Tmy_searchengine q;
  Tmy_multiline m;

  template <class F>
  void With(char kind, const std::string& query, int flags, F f) {
    const auto set = [&](auto& e) {
      if constexpr (requires { e.Query; }) e.Query = query;
      if constexpr (requires { e.TrimLeft; }) {
        e.SetLines(L(query));
        e.TrimLeft = (flags & kNoTrimLeft) == 0;
        e.TrimRight = (flags & kNoTrimRight) == 0;
      }
      e.CaseSensitive = (flags & kCase) != 0;
      if constexpr (requires { e.WholeWords; }) e.WholeWords = (flags & kWhole) != 0;
      if constexpr (requires { e.IgnoreSpace; }) e.IgnoreSpace = (flags & kIgnoreSpace) != 0;
      if constexpr (requires { e.CheckQuery(query); }) {
        EXPECT_TRUE(e.CheckQuery(query));
      }
      f(e);
    };
    if (kind == 'p') return set(p);
    if (kind == 'r') return set(r);
    if (kind == 'o') return set(o);
    if (kind == 'a') return set(a);
    if (kind == 'm') return set(m);
    set(q);
  }
};

TEST(LineEngines, SearchDecidesPerEngine) {
  struct Case {
    char kind;
    std::string query;
    int flags;
    std::string text;
    bool found;
  } cases[] = {
      {'p', "tail", 0, "x\0tail"s, false},  // nothing after a NUL
      {'r', "a\\nb", 0, "a\nb", false},     // a pattern that needs a break never matches
      {'r', "a.b", 0, "a\rb", false},
      {'r', "ab\r\ncd", kIgnoreSpace, "xabcd", true},  // the memo's break is ignored space
      {'r', "ab\r\ncd", 0, "xabcd", false},
      {'r', "[", 0, "[", false},  // an invalid expression lists no file
      {'o', "red green", 0, "green\n", true},
      {'a', "red green", 0, "green\n", false},
      {'a', "red green", 0, "red\nx\ngreen", true},
      {'o', "\"x\ny\"", 0, "x\ny", false},  // a group holding a line break never matches
      // The empty word's pattern raises (not found); with whole words it is \b\b, found in
      // any line with a word character.
      {'a', "red \"\"", 0, "red", false},
      {'o', "red \"\"", 0, "red", true},
      {'o', "\"\"", kWhole, "!!\n-a-", true},
      {'a', "cat dog", 0, "Concat DOG", true},
      {'a', "cat dog", kWhole, "Concat DOG", false},
      {'q', "+apple -pie tart", 0, "apple\ncake", true},
      {'q', "+apple -pie tart", 0, "apple\npie", false},
      {'q', "+apple tart", 0, "tart", false},
      {'q', "apple tart", 0, "only tart here", true},
      {'q', "   ", 0, "anything", true},
      {'q', "apple +", 0, "apple", true},  // the empty required word takes no part
      {'m', "A|b", 0, "a\nB\n", true},
      {'m', "A|b", kCase, "a\nB\n", false},
      {'m', "  a", kNoTrimLeft, "a  \n", false},
      {'m', "  a", kNoTrimRight, "  a  \n", false},
      {'m', "c", kNoTrimRight, "  c\n", true},  // each trim from its own option
      {'m', "", 0, "a\n", false},
  };
  TempFolder dir;
  Engines engines;
  for (const auto& c : cases) {
    engines.With(c.kind, c.query, c.flags, [&](auto& e) {
      EXPECT_EQ(e.Search(dir.Write("f.txt", c.text)), c.found)
          << c.kind << " " << c.query << " in " << c.text;
      EXPECT_TRUE(e.Idle);
    });
  }
  // A file that cannot be read matches only a search-engine query without words (the others
  // are in EngineFailures).
  engines.With('q', "", 0, [&](auto& e) { EXPECT_TRUE(e.Search(dir / "no.txt")); });
}

TEST(LineEngines, ProgressAndStop) {
  TempFolder dir;
  const auto name = dir.Write("f.txt", "a\nb\nc\nneedle\n");
  Tmy_phrase phrase;
  phrase.Query = "needle";
  int calls = 0;
  phrase.OnProgress = [&](void* sender, bool& stop) {
    EXPECT_EQ(sender, &phrase);
    EXPECT_FALSE(phrase.Idle);
    ++calls;
    stop = true;
  };
  EXPECT_FALSE(phrase.Search(name));  // a stop after a line without match ends the search
  EXPECT_EQ(calls, 1);
  phrase.OnProgress = [&](void*, bool&) { ++calls; };
  phrase.Stop = false;
  // Told by runs, the lines before the match cost one call, and a stop there still ends it.
  phrase.ProgressByRuns = true;
  calls = 0;
  EXPECT_TRUE(phrase.Search(name));
  EXPECT_EQ(calls, 1);
  phrase.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(phrase.Search(name));
  phrase.ProgressByRuns = false;
  phrase.OnProgress = nullptr;
  phrase.Stop = true;  // without an event a set Stop still ends the search after a line
  EXPECT_FALSE(phrase.Search(name));

  // The "b" every match needs is on the line, so only the matcher can tell it fails.
  Tmy_regexpr regex;
  regex.Query = "(a+)+b";
  calls = 0;
  regex.OnProgress = [&](void*, bool& stop) { stop = ++calls >= 3; };
  EXPECT_FALSE(regex.Search(dir.Write("r.txt", std::string(40, 'a') + "cb\n")));
  EXPECT_GE(calls, 3);

  Tmy_wordand wordAnd;
  wordAnd.Query = "a b";
  wordAnd.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(wordAnd.Search(name));  // stopped between the words

  // A stop before a whole block is checked is no match; one while collecting ends the list.
  Tmy_multiline multiline;
  multiline.SetLines(L("a|b|c"));
  multiline.OnProgress = [](void*, bool& stop) { stop = true; };
  EXPECT_FALSE(multiline.Search(dir.Write("m.txt", "a\nb\nc\n")));  // stopped after line b
  multiline.SetLines(L("a|b"));
  EXPECT_TRUE(multiline.Search(dir.Write("m.txt", "a\nb\n")));  // stopped after the last line
  calls = 0;
  multiline.OnProgress = [&](void* sender, bool& stop) {
    EXPECT_EQ(sender, &multiline);
    EXPECT_FALSE(multiline.Idle);
    stop = ++calls == 2;
  };
  multiline.BuildLines(dir.Write("m.txt", "a\nb\na\nb\na\nb\n"));
  EXPECT_EQ(multiline.BlockStarts, L("0|2"));
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(multiline.Idle);
  multiline.SetLines({});
  multiline.BuildLines(dir.Write("m.txt", "x\n"));  // an empty query keeps the blocks
  EXPECT_EQ(multiline.BlockStarts, L("0|2"));
}

// A page body written short: [x] is x marked blue, * the red plus of a chosen line and | a line
// end.
std::string Body(const std::string& shorthand) {
  std::string out;
  for (const char c : shorthand) {
    if (c == '[')
      out += kBlueOpen;
    else if (c == ']')
      out += "</font>";
    else if (c == '*')
      out += kRedPlus;
    else if (c == '|')
      out += "\r\n";
    else
      out += c;
  }
  return out;
}

TEST(LineEngines, PageShowsTheLinesEscapedAndMarked) {
  struct Case {
    char kind;
    std::string query;
    int flags;
    std::string text;
    Strings chosen;  // marks chosen lines when given
    std::string body;
  } cases[] = {
      {'p', "b", 0, "x <b> b\nnone\nb&b\n", {}, "line 1 : x &lt;[b]&gt; [b]|line 3 : [b]&amp;[b]|"},
      // In the escaped "&lt;b&gt;" the b sits between ";" and "&".
      {'p', "b", kWhole, "x <b> b\nb&b\n", {}, "line 1 : x &lt;[b]&gt; [b]|line 2 : [b]&amp;[b]|"},
      {'p', "lt", 0, "x <b> b\n", {}, ""},  // the entity's letters are never matched
      {'p', "a<b &", 0, "if a<b && c\n", {}, "line 1 : if [a&lt;b &amp;]&amp; c|"},
      {'p', "ab", 0, "ab\nab\nx\nab\n", {"3"}, " line 1 : [ab]| line 2 : [ab]|*line 4 : [ab]|"},
      {'r',
       "<|\\d+",
       0,
       "a<b\nnone\n\"1\" & 22\n",
       {"0"},
       "*line 1 : a[&lt;]b| line 3 : &quot;[1]&quot; &amp; [22]|"},
      {'o', "b", 0, "<b>\n", {}, "line 1 : &lt;[b]&gt;|"},
      // "cat" is then marked again inside the marked "category".
      {'o', "cat category", 0, "category cat\n", {}, "line 1 : [[cat]egory] [cat]|"},
      {'a', "red green", kWhole, "red\nreds\ngreen\n", {}, "line 1 : [red]|line 3 : [green]|"},
      {'q',
       "+apple -pie tart x",
       kWhole,
       "apple pie\npie only\ntart\n<x>\ntarts\n",
       {},
       "line 1 : [apple] pie|line 3 : [tart]|line 4 : &lt;[x]&gt;|"},
      {'p',
       "cat",
       0,
       "one cat\r\ndog\rcat cat\nCAT\n",
       {},
       "line 1 : one [cat]|line 3 : [cat] [cat]|line 4 : [CAT]|"},
      // Blocks are shown without their text; later block lines need only be in the query, and
      // a block that would run past the end is none.
      {'m', "a|b", 0, "a\nb\nc\na\nb\n", {}, "[line 1 - line 2]|[line 4 - line 5]|"},
      {'m', "a|b|c", 0, "a\nc\nb", {}, "[line 1 - line 3]|"},
      {'m', "a|b", 0, "a\na\nb\n", {}, "[line 1 - line 2]|[line 2 - line 3]|"},
      {'m', "a|b", 0, "a\nb\nq\na", {}, "[line 1 - line 2]|"},
      {'m', "c", kNoTrimRight, "  c\n", {}, "[line 1]|"},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    Engines engines;
    const auto name = dir.Write("f.txt", c.text);
    engines.With(c.kind, c.query, c.flags, [&](auto& e) {
      e.BuildLines(name);
      if constexpr (requires { e.UseIntervals; }) {
        e.UseIntervals = !c.chosen.empty();
        if (e.UseIntervals) e.SetIntervals(c.chosen);
      }
      e.WriteLinesView(dir / "page.html", name);
    });
    EXPECT_EQ(TempFolder::Read(dir / "page.html"), ExpectedPage("f.txt", dir, Body(c.body)))
        << c.kind << " " << c.query;
  }
}

// Every modification replaces a stale backup, keeps the file's permission bits and ignores a
// Stop left over from a search; each case runs with the lines' own breaks kept and with CR LF.
TEST(LineEngines, ModifyAppliesEachTypeSafely) {
  // For the multiline engine: two three-line blocks in a ten-line file.
  const std::string ten = "0\na\nb\nc\n4\n5\na\nb\nc\n9\n";
  const auto lf = [](const std::string& bars) {
    std::string out;
    for (const auto& line : L(bars)) out += line + "\n";
    return out;
  };
  struct Case {
    char kind;
    std::string query;
    int modType;
    std::string replacement;
    Strings chosen;  // the found lines when empty
    std::string before;
    std::string kept;       // lines keep their breaks
    std::string crLf = "";  // CR LF after every line; when not given, the lines of kept
  } cases[] = {
      {'p', "abc", 5, "", {}, "xabcxabc\n", "x   x   \n"},
      {'p', "abc", 2, "[", {}, "abc abc\n", "[abc [abc\n"},
      {'p', "x", 1, "$1", {}, "axbx\n", "a$1b$1\n"},  // no groups in a phrase
      {'p', "ab", 4, "", {}, "xabyab\n", "xy\n"},
      {'p', "ab", 1, "-", {}, "ab\r\ncd\rab\nq", "-\r\ncd\r-\nq"},
      {'p', "ab", 1, "X", {"2", "0"}, "ab\nab\nab\n", "X\nab\nX\n"},
      {'p', "ab", 3, "!", {"0", "0"}, "ab\n", "ab!!\n"},  // listed twice, treated twice
      {'p', "ab", 4, "", {}, "ab\nxab\0ab\nab"s, "\nx\0ab\nab"s, "\r\nx\0ab\nab"s},
      {'p', "ab", 4, "", {}, "\0\0ab"s, "\0\0ab"s, "\0\0ab"s},
      // A replacement that begins with a digit or ends with "\" keeps the match.
      {'p', "abc", 3, "1", {}, "x abc y\n", "x abc1 y\n"},
      {'p', "abc", 2, "1\\", {}, "x abc y\n", "x 1\\abc y\n"},
      {'r', "b(c)", 3, "2$1", {}, "x abc y\n", "x abc2c y\n"},
      {'r', "abc", 2, "<\\", {}, "x abc y\n", "x <\\abc y\n"},
      {'r', "\\s+$", 4, "", {}, "ab \t\nc  \n", "ab\nc\n"},
      // A break in the replacement becomes the break of the line it lands in.
      {'r', "x", 1, "1\r\n2", {}, "axb\n", "a1\n2b\n"},
      {'r',
       "x",
       1,
       "1\n2\r",
       {},
       "axb\r\nx",
       "a1\r\n2\r\nb\r\n1\r\n2\r\n",
       "a1\r\n2\r\nb\r\n1\r\n2\r\n\r\n"},
      {'r', "x", 5, "", {}, "x\n", "x\n"},  // clear is no regex type
      {'r', "b", 1, "\\$1", {}, "abc\n", "a$1c\n"},
      {'r', "(a|b)*", 4, "", {}, std::string(5000, 'a') + "\n", "\n"},
      {'r', "a(", 1, "", {}, "a(\nb\n", "a(\nb\n"},  // invalid: nothing found
      {'r', "k(\\d)", 1, "<$1>", {"1"}, "k1\rk2\0k3"s, "k1\r<2>\0k3"s, "k1\r\n<2>\0k3"s},
      {'m', "a|b|c", 1, "R", {}, ten, lf("0|R|4|5|R|9")},
      {'m', "a|b|c", 2, "R|S", {}, ten, lf("0|R|S|a|b|c|4|5|R|S|a|b|c|9")},
      {'m', "a|b|c", 4, "R", {}, ten, lf("0|4|5|9")},
      {'m', "a|b|c", 5, "R", {}, ten, lf("0||||4|5||||9")},
      {'m', "a|b|c", 9, "R", {}, ten, ten},
      {'m', "a|b", 1, " R ", {}, "  keep  \n\ta \r\nb\rtail", "  keep  \n R \rtail"},  // untrimmed
      // New lines at a file's end that had no final break: it still has none.
      {'m', "b|c", 3, "R|S", {}, "a\r\nb\r\nc", "a\r\nb\r\nc\r\nR\r\nS"},
      {'m', "b|c", 2, "R", {}, "a\rb\rc", "a\rR\rb\rc"},
      // Blocks at 0 and 1 overlap: the later one is treated, the earlier one skipped, and no
      // line outside the treated ones is touched.
      {'m', "a|b", 4, "", {}, "a\na\nb\nz\n", lf("a|z")},
      {'m', "a|b", 4, "", {}, "a\nb\nc\0\r\nbinary"s, "c\0\r\nbinary"s, "c\0\r\nbinary"s},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    for (const LineBreaks breaks : {LineBreaks::Kept, LineBreaks::CrLf}) {
      Engines engines;
      const auto name = dir.Write("f.txt", c.before);
      dir.Write("f.txt.bak", "stale backup");
      ::chmod(name.c_str(), 0604);
      engines.With(c.kind, c.query, 0, [&](auto& e) {
        if constexpr (requires { e.Modify(name); }) {
          e.ModType = c.modType;
          if constexpr (requires { e.ReplaceLines; }) {
            e.SetReplaceLines(L(c.replacement));
          } else {
            e.Replacement = c.replacement;
          }
          e.MakeBackup = true;
          e.Breaks = breaks;
          e.BuildLines(name);
          if constexpr (requires { e.Intervals; }) {
            if (!c.chosen.empty()) e.SetIntervals(c.chosen);
          }
          e.Stop = true;
          e.OnProgress = [](void*, bool&) {};
          e.Modify(name);
        }
      });
      const bool kept = breaks == LineBreaks::Kept;
      const std::string label = std::string(1, c.kind) + " " + c.query + (kept ? "" : " crlf");
      std::string crLf = c.crLf;
      if (crLf.empty()) {
        for (const auto line : SplitLines(c.kept)) crLf += std::string(line) + "\r\n";
      }
      EXPECT_EQ(TempFolder::Read(name), kept ? c.kept : crLf) << label;
      EXPECT_EQ(TempFolder::Read(name + ".bak"), c.before) << label;
      EXPECT_EQ(TempFolder::Mode(name), 0604u) << label;
    }
  }
}

TEST(LineEngines, BadIntervalOrExpressionRaisesAndLeavesTheFileUnwritten) {
  struct Case {
    char kind;
    std::string query;
    Strings chosen;
    bool listError;
  } cases[] = {
      {'p', "ab", {"0", "2"}, true},  {'p', "ab", {"-1"}, true},
      {'p', "ab", {"1 "}, true},      {'p', "ab", {"99999999999999999999999"}, true},
      {'r', "ab", {"2"}, true},       {'r', "a(", {"0"}, false},  // the compile error
      {'m', "ab|ab", {"1"}, true},                                // the block runs past the end
      {'m', "ab|ab", {"zero"}, true},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    Engines engines;
    const auto name = dir.Write("f.txt", "ab\nab\n");
    engines.With(c.kind, c.query, 0, [&](auto& e) {
      if constexpr (requires { e.Modify(name); }) {
        e.ModType = 4;
        if constexpr (requires { e.BlockStarts; }) {
          e.BlockStarts = c.chosen;
        } else {
          e.SetIntervals(c.chosen);
        }
        if (c.listError) {
          EXPECT_THROW(e.Modify(name), EListError) << c.kind << " " << c.chosen[0];
        } else {
          EXPECT_THROW(e.Modify(name), std::runtime_error) << c.kind << " " << c.query;
        }
        EXPECT_TRUE(e.Idle);
      }
    });
    EXPECT_EQ(TempFolder::Read(name), "ab\nab\n");
  }
}

// The phrase engine must agree with the regex engine given the phrase's word pattern, with
// and without case and whole words, over generated files (this covers the quick whole-buffer
// rejection, which must never change a result).
TEST(PhraseAgainstRegex, AgreeOnGeneratedFiles) {
  TempFolder dir;
  std::mt19937 random(20261206);
  const std::string alphabet = "abAB_ .(\n\r\t$";
  const auto pick = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  Tmy_phrase phrase;
  Tmy_regexpr regex;
  // Both must call the progress once per line examined before the result is known, even for
  // lines they can tell cannot match.
  int calls[2] = {0, 0};
  phrase.OnProgress = [&](void*, bool&) { ++calls[0]; };
  regex.OnProgress = [&](void*, bool&) { ++calls[1]; };
  int matched = 0;
  for (int round = 0; round < 1000; ++round) {
    const auto name = dir.Write("g.txt", pick(random() % 120));
    const std::string word = pick(1 + random() % 3);
    phrase.Query = word;
    phrase.CaseSensitive = regex.CaseSensitive = round % 2 == 0;
    phrase.WholeWords = round % 3 == 0;
    regex.Query = WordPattern(word, phrase.WholeWords);
    calls[0] = calls[1] = 0;
    const bool found = phrase.Search(name);
    ASSERT_EQ(found, regex.Search(name)) << "word [" << word << "] round " << round;
    const int searchCalls[] = {calls[0], calls[1]};
    phrase.BuildLines(name);
    regex.BuildLines(name);
    ASSERT_EQ(phrase.LineNumbers, regex.LineNumbers) << "word [" << word << "]";
    ASSERT_EQ(found, !phrase.LineNumbers.empty());
    const int examined = found ? std::stoi(phrase.LineNumbers.front())
                               : static_cast<int>(SplitLines(TempFolder::Read(name)).size());
    ASSERT_EQ(searchCalls[0], examined) << "word [" << word << "] round " << round;
    ASSERT_EQ(searchCalls[1], examined) << "word [" << word << "] round " << round;
    matched += found;
  }
  EXPECT_GT(matched, 100);  // the generator must produce both outcomes
  EXPECT_LT(matched, 900);
}

TEST(SplitWordList, ReadsWordsAndQuotedGroups) {
  struct Case {
    std::string query;
    Strings words;
  } cases[] = {
      {"red \"dark blue\"", {"red", "dark blue"}},
      {"  a\t\tb \x01 c  ", {"a", "b", "c"}},
      {"\"\"", {""}},
      {"\"say \"\"hi\"\"\" x", {"say \"hi\"", "x"}},
      {"a\"b", {"a\"b"}},                   // a quote inside a word is a character
      {"x \"a\"\"b  ", {"x", "a\"\"b  "}},  // unclosed: keeps every character to the end
      {"\"ab\"cd", {"ab", "cd"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitWordList(c.query), c.words) << c.query;
}

TEST(ParseSearchQuery, ReadsSignsAndPhrases) {
  struct Case {
    std::string query;
    bool closed;
    Strings excluded, optional, required;
  } cases[] = {
      {"+apple -pie tart", true, {"pie"}, {"tart"}, {"apple"}},
      {"+\"big cat\"", true, {}, {}, {"big cat"}},
      {"e-mail -e-mail", true, {"e-mail"}, {"e-mail"}, {}},
      {"x +", true, {}, {"x"}, {""}},        // a trailing sign gives an empty word
      {"a \"b c\"d", false, {}, {"a"}, {}},  // closing quote followed by a letter
      {"a +\"b c", false, {}, {"a"}, {}},    // never closed
      {"\"x\" y", true, {}, {"x", "y"}, {}},
  };
  for (const auto& c : cases) {
    SearchQuery q;
    EXPECT_EQ(ParseSearchQuery(c.query, q), c.closed) << c.query;
    EXPECT_EQ(q.excluded, c.excluded) << c.query;
    EXPECT_EQ(q.optional, c.optional) << c.query;
    EXPECT_EQ(q.required, c.required) << c.query;
  }
}

}  // namespace
}  // namespace velmora
