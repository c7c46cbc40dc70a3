#include "platform/QtLocale.h"

#include <QFile>
#include <QRegularExpression>
#include <functional>

namespace velmora {

QtLocale::QtLocale() {
  const QLocale locale = QLocale::system();
  date_ = locale.dateFormat(QLocale::ShortFormat).toStdString();
  time_ = WithoutSeconds(locale.timeFormat(QLocale::ShortFormat)).toStdString();
  const QString decimal = locale.decimalPoint();
  // A separator outside single bytes cannot be written into the size text; keep the point.
  decimal_ = decimal.size() == 1 && decimal.at(0).unicode() < 0x80
                 ? static_cast<char>(decimal.at(0).unicode())
                 : '.';
  exact_ = QCollator(locale);
  exact_.setCaseSensitivity(Qt::CaseSensitive);
  folded_ = QCollator(locale);
  folded_.setCaseSensitivity(Qt::CaseInsensitive);
}

QString QtLocale::WithoutSeconds(QString format) {
  // Drop seconds and milliseconds with the separator before them (":ss", ".zzz").
  static const QRegularExpression seconds(QStringLiteral("[^A-Za-z']?(s{1,2}|z{1,3})"));
  format.remove(seconds);
  return format.trimmed();
}

const QCollatorSortKey& QtLocale::KeyOf(std::string_view text, bool ignore_case) const {
  KeyCache& cache = ignore_case ? foldedKeys_ : exactKeys_;
  auto found = cache.find(text);
  if (found != cache.end()) return found->second;
  return cache.emplace(std::string(text), MakeKey(text, ignore_case)).first->second;
}

QCollatorSortKey QtLocale::MakeKey(std::string_view text, bool ignore_case) const {
  QString decoded = QFile::decodeName(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  // Not every collator folds case in its keys (the C locale's does not); fold first.
  if (ignore_case) decoded = decoded.toCaseFolded();
  const QCollator& collator = ignore_case ? folded_ : exact_;
  return collator.sortKey(decoded);
}

namespace {

// One key per text in a plain list: no cache lookup per comparison.
class CollatorSortKeys final : public SortKeys {
 public:
  using Maker = std::function<QCollatorSortKey(std::string_view)>;
  explicit CollatorSortKeys(Maker make) : make_(std::move(make)) {}
  void Add(std::string_view text) override { keys_.push_back(make_(text)); }
  bool Less(std::size_t a, std::size_t b) const override { return keys_[a].compare(keys_[b]) < 0; }

 private:
  Maker make_;
  std::vector<QCollatorSortKey> keys_;
};

}  // namespace

std::unique_ptr<SortKeys> QtLocale::NewSortKeys(bool ignore_case) const {
  return std::make_unique<CollatorSortKeys>(
      [this, ignore_case](std::string_view text) { return MakeKey(text, ignore_case); });
}

int QtLocale::CompareStrings(std::string_view a, std::string_view b, bool ignore_case) const {
  KeyCache& cache = ignore_case ? foldedKeys_ : exactKeys_;
  if (cache.size() + 2 > kMaxCachedKeys) cache.clear();  // before taking references into it
  const QCollatorSortKey& keyA = KeyOf(a, ignore_case);
  const QCollatorSortKey& keyB = KeyOf(b, ignore_case);
  const int result = keyA.compare(keyB);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

}  // namespace velmora
