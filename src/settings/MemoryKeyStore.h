#pragma once

// A KeyStore held in memory: the store of the tests, and the tree FileKeyStore loads into
// and saves from. Keys and values keep the order in which they were created.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ports/KeyStore.h"

namespace velmora {

class MemoryKeyStore final : public KeyStore {
 public:
  struct Value {
    std::string name;  // spelling at creation
    ValueKind kind = ValueKind::kText;
    std::string data;  // the text, or the stored form of a value of another kind
    std::uint64_t order = 0;
  };
  struct Key {
    std::string name;  // spelling at creation
    std::uint64_t order = 0;
    std::map<std::string, Value> values;                  // by folded name
    std::map<std::string, std::unique_ptr<Key>> subkeys;  // by folded name
  };

  MemoryKeyStore();

  bool OpenKey(std::string_view path, bool create) override;
  void CloseKey() override;
  bool HasSubKey(std::string_view name) const override;
  ValueKind GetValueKind(std::string_view name) const override;
  std::string ReadString(std::string_view name) const override;
  void WriteString(std::string_view name, std::string_view value) override;
  bool DeleteValue(std::string_view name) override;
  std::vector<std::string> ValueNames() const override;

  // Stores a value of a kind other than text in the current key (`data` is its stored
  // form, e.g. "dword:00000001"). Throws FailedToSetData when no key is open.
  void WriteOther(std::string_view name, std::string_view data);
  // The stored form of any value of the current key ("" when missing).
  std::string ReadData(std::string_view name) const;

  // Grows by one with every change of keys or values; a saver compares it to know whether
  // anything is unsaved.
  std::uint64_t ChangeCount() const { return changes_; }

  // Visits every key below the root depth first, parents before children, in creation
  // order, with its path ("" for the root).
  void ForEachKey(const std::function<void(const std::string& path, const Key& key)>& visit) const;
  // The values of a key in creation order.
  static std::vector<const Value*> OrderedValues(const Key& key);

 private:
  void Store(std::string_view name, ValueKind kind, std::string_view data);
  // The value of the current key, or null.
  const Value* Find(std::string_view name) const;
  // FoldName into a buffer kept for the next call.
  const std::string& Folded(std::string_view name) const;

  std::unique_ptr<Key> root_;
  Key* current_ = nullptr;
  // The key the last OpenKey found, and its path as given.
  Key* last_key_ = nullptr;
  std::string last_path_;
  mutable std::string folded_;
  std::uint64_t next_order_ = 0;
  std::uint64_t changes_ = 0;
};

// ASCII case folding used for key and value names.
std::string FoldName(std::string_view name);

}  // namespace velmora
