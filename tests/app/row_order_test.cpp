// The order a run builds while its rows arrive must be exactly a stable sort of the captions by
// the locale's comparison: ties in arrival order, across the chunks and merges of the build.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "app/RowOrder.h"

namespace velmora {
namespace {

// Sorts by the first letter only, case ignored, so most captions tie with many others.
class FirstLetterLocale : public Locale {
 public:
  std::string ShortDateFormat() const override { return {}; }
  std::string ShortTimeFormat() const override { return {}; }
  char DecimalSeparator() const override { return '.'; }
  int CompareStrings(std::string_view a, std::string_view b, bool) const override {
    const auto key = [](std::string_view s) { return s.empty() ? 0 : std::tolower(s[0]); };
    return key(a) < key(b) ? -1 : (key(a) > key(b) ? 1 : 0);
  }
};

std::vector<std::size_t> StableSorted(const Locale& locale,
                                      const std::vector<std::string>& captions) {
  std::vector<std::size_t> order(captions.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return locale.CompareStrings(captions[a], captions[b], false) < 0;
  });
  return order;
}

std::vector<std::string> MixedCaptions(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  const std::string letters = "aAbBzZ_1";
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < count; ++i) {
    std::string caption;
    for (auto n = random() % 4; n > 0; --n) caption += letters[random() % letters.size()];
    captions.push_back(caption);
  }
  return captions;
}

TEST(RowOrder, EqualsAStableSortAcrossChunksAndMerges) {
  const FixedLocale bytes;
  const FirstLetterLocale firstLetter;
  const Locale* locales[] = {&bytes, &firstLetter};
  const std::size_t counts[] = {0,
                                1,
                                RowOrder::kChunk - 1,
                                RowOrder::kChunk,
                                RowOrder::kChunk + 1,
                                3 * RowOrder::kChunk + 7,
                                20 * RowOrder::kChunk + 3};
  for (const Locale* locale : locales) {
    for (std::size_t count : counts) {
      const auto captions = MixedCaptions(count, static_cast<unsigned>(count));
      RowOrder order;
      order.Start(*locale);
      for (const auto& caption : captions) order.Add(caption);
      EXPECT_EQ(order.Size(), count);
      EXPECT_EQ(order.Finish(), StableSorted(*locale, captions)) << count << " rows";
      EXPECT_FALSE(order.Active());
      std::vector<std::string_view> views(captions.begin(), captions.end());
      EXPECT_EQ(SortedOrder(*locale, views), StableSorted(*locale, captions)) << count << " rows";
    }
  }
}

TEST(RowOrder, AClearedOrderTakesNoRows) {
  const FixedLocale locale;
  RowOrder order;
  order.Start(locale);
  order.Add("b");
  order.Clear();
  order.Add("a");
  EXPECT_EQ(order.Size(), 0u);
  EXPECT_TRUE(order.Finish().empty());
}

}  // namespace
}  // namespace velmora
