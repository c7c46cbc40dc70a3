#pragma once

// The user's locale from Qt: QLocale::system() formats (converted to the store's pattern
// letters) and QCollator for the order of the result list.

#include <QCollator>
#include <QLocale>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ports/Locale.h"

namespace velmora {

class QtLocale : public Locale {
 public:
  QtLocale();
  std::string ShortDateFormat() const override { return date_; }
  std::string ShortTimeFormat() const override { return time_; }
  char DecimalSeparator() const override { return decimal_; }
  int CompareStrings(std::string_view a, std::string_view b, bool ignore_case) const override;
  std::unique_ptr<SortKeys> NewSortKeys(bool ignore_case) const override;

  // A Qt time format without seconds and milliseconds ("HH:mm:ss" gives "HH:mm").
  static QString WithoutSeconds(QString format);

  // Sort keys kept per text; beyond this many texts the cache starts again.
  static constexpr std::size_t kMaxCachedKeys = 250000;

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };
  using KeyCache = std::unordered_map<std::string, QCollatorSortKey, Hash, std::equal_to<>>;
  const QCollatorSortKey& KeyOf(std::string_view text, bool ignore_case) const;
  QCollatorSortKey MakeKey(std::string_view text, bool ignore_case) const;

  std::string date_;
  std::string time_;
  char decimal_ = '.';
  QCollator exact_;
  QCollator folded_;
  // Sorting a long result list compares each caption many times; a cached key makes each
  // comparison a byte comparison instead of a full collation.
  mutable KeyCache exactKeys_;
  mutable KeyCache foldedKeys_;
};

}  // namespace velmora
