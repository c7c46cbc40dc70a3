// Fuzzes the two query syntaxes of the word engines and the word pattern: no crash, nothing
// read outside the query, words never longer than the query, and every word's pattern finds
// the word itself (plainly, and as a whole word between blanks).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engines/LineModify.h"
#include "engines/LineSearch.h"
#include "engines/WordLists.h"
#include "regex/Regex.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::size_t TotalLength(const std::vector<std::string>& words) {
  std::size_t total = 0;
  for (const auto& w : words) total += w.size();
  return total;
}

void CheckPatternFindsWord(const std::string& word) {
  if (word.empty() || word.find('\0') != std::string::npos) return;
  for (const bool whole : {false, true}) {
    velmora::TRegex regex;
    regex.SetExpression(velmora::WordPattern(word, whole));
    Check(regex.Exec(whole ? " " + word + " " : word));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view query(reinterpret_cast<const char*>(data), size);

  const auto words = velmora::SplitWordList(query);
  Check(TotalLength(words) <= size);
  for (const auto& word : words) CheckPatternFindsWord(word);

  velmora::SearchQuery parsed;
  velmora::ParseSearchQuery(query, parsed);
  Check(TotalLength(parsed.excluded) + TotalLength(parsed.optional) +
            TotalLength(parsed.required) <=
        size);
  for (const auto& word : parsed.required) CheckPatternFindsWord(word);
  return 0;
}
