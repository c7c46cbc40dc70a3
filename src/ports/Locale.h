#pragma once

// The user's locale settings that texts shown or stored by the system depend on. Date and
// time formats use Qt's pattern letters: d dd ddd dddd (day), M MM MMM MMMM (month), yy yyyy
// (year), h hh H HH (hour), m mm (minute), s ss (second), z zzz (millisecond), AP ap (AM/PM),
// text in single quotes ('' is one quote). src/settings/DateFormat.h formats and parses them.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The collation keys of a growing list of texts, numbered from 0 in the order added. A key is
// made once per text, so sorting many texts compares keys instead of collating the texts anew.
class SortKeys {
 public:
  virtual ~SortKeys() = default;
  virtual void Add(std::string_view text) = 0;
  // True when text a sorts before text b, as the locale's CompareStrings(a, b) < 0.
  virtual bool Less(std::size_t a, std::size_t b) const = 0;
};

class Locale {
 public:
  virtual ~Locale() = default;
  // The short date format, for example "M/d/yy" or "yyyy-MM-dd".
  virtual std::string ShortDateFormat() const = 0;
  // The short time format: hours and minutes, no seconds, for example "HH:mm".
  virtual std::string ShortTimeFormat() const = 0;
  virtual char DecimalSeparator() const = 0;
  // Collation order of two texts: -1 when a sorts first, 0 when equal, 1 when b sorts first.
  virtual int CompareStrings(std::string_view a, std::string_view b, bool ignore_case) const = 0;
  // Keys for sorting many texts in the order of CompareStrings; by default the texts are kept
  // and compared with it.
  virtual std::unique_ptr<SortKeys> NewSortKeys(bool ignore_case) const;
};

namespace detail {
class TextSortKeys final : public SortKeys {
 public:
  TextSortKeys(const Locale& locale, bool ignore_case)
      : locale_(locale), ignoreCase_(ignore_case) {}
  void Add(std::string_view text) override { texts_.emplace_back(text); }
  bool Less(std::size_t a, std::size_t b) const override {
    return locale_.CompareStrings(texts_[a], texts_[b], ignoreCase_) < 0;
  }

 private:
  const Locale& locale_;
  bool ignoreCase_;
  std::vector<std::string> texts_;
};
}  // namespace detail

inline std::unique_ptr<SortKeys> Locale::NewSortKeys(bool ignore_case) const {
  return std::make_unique<detail::TextSortKeys>(*this, ignore_case);
}

// Fixed formats, independent of the user's settings: "yyyy-MM-dd", "HH:mm", '.', and byte
// order (ASCII letters folded when case is ignored). Used by tests and the command-line tool.
class FixedLocale final : public Locale {
 public:
  std::string ShortDateFormat() const override { return "yyyy-MM-dd"; }
  std::string ShortTimeFormat() const override { return "HH:mm"; }
  char DecimalSeparator() const override { return '.'; }
  int CompareStrings(std::string_view a, std::string_view b, bool ignore_case) const override {
    const auto size = a.size() < b.size() ? a.size() : b.size();
    for (std::string_view::size_type i = 0; i < size; ++i) {
      const auto ca = Fold(static_cast<unsigned char>(a[i]), ignore_case);
      const auto cb = Fold(static_cast<unsigned char>(b[i]), ignore_case);
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
  }

 private:
  static unsigned char Fold(unsigned char c, bool ignore_case) {
    return ignore_case && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
  }
};

}  // namespace velmora
