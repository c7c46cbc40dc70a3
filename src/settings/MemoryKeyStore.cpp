#include "settings/MemoryKeyStore.h"

#include <algorithm>
#include <vector>

namespace velmora {

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

namespace {

// Calls visit(part) for every non-empty name of a key path, in order, until it returns false;
// false when one did.
template <typename Visit>
bool ForEachPart(std::string_view path, Visit visit) {
  while (!path.empty()) {
    const auto delim = path.find(KeyDelim);
    const auto part = path.substr(0, delim);
    if (!part.empty() && !visit(part)) return false;
    if (delim == std::string_view::npos) break;
    path.remove_prefix(delim + 1);
  }
  return true;
}

template <typename Item>
std::vector<const Item*> InOrder(const std::map<std::string, Item>& items) {
  std::vector<const Item*> ordered;
  for (const auto& entry : items) ordered.push_back(&entry.second);
  std::sort(ordered.begin(), ordered.end(),
            [](const Item* a, const Item* b) { return a->order < b->order; });
  return ordered;
}

void VisitKeys(const std::string& path, const MemoryKeyStore::Key& key,
               const std::function<void(const std::string&, const MemoryKeyStore::Key&)>& visit) {
  visit(path, key);
  std::vector<const MemoryKeyStore::Key*> children;
  for (const auto& entry : key.subkeys) children.push_back(entry.second.get());
  std::sort(children.begin(), children.end(),
            [](const auto* a, const auto* b) { return a->order < b->order; });
  for (const auto* child : children) {
    VisitKeys(path.empty() ? child->name : path + KeyDelim + child->name, *child, visit);
  }
}

}  // namespace

MemoryKeyStore::MemoryKeyStore() : root_(std::make_unique<Key>()) {}

bool MemoryKeyStore::OpenKey(std::string_view path, bool create) {
  CloseKey();
  // Options are read key by key, thousands of times a second: the same path again needs no
  // walk. Keys are never removed, so a key once found stays valid.
  if (last_key_ != nullptr && path == last_path_) {
    current_ = last_key_;
    return true;
  }
  Key* key = root_.get();
  const bool found = ForEachPart(path, [&](std::string_view part) {
    auto slot = key->subkeys.find(Folded(part));
    if (slot == key->subkeys.end()) {
      if (!create) return false;
      auto child = std::make_unique<Key>();
      child->name = std::string(part);
      child->order = next_order_++;
      slot = key->subkeys.emplace(folded_, std::move(child)).first;
      ++changes_;
    }
    key = slot->second.get();
    return true;
  });
  if (!found) return false;
  current_ = key;
  last_key_ = key;
  last_path_.assign(path);
  return true;
}

void MemoryKeyStore::CloseKey() {
  current_ = nullptr;
}

bool MemoryKeyStore::HasSubKey(std::string_view name) const {
  const Key* key = current_ != nullptr ? current_ : root_.get();
  return ForEachPart(name, [&](std::string_view part) {
    const auto found = key->subkeys.find(Folded(part));
    if (found == key->subkeys.end()) return false;
    key = found->second.get();
    return true;
  });
}

const MemoryKeyStore::Value* MemoryKeyStore::Find(std::string_view name) const {
  if (current_ == nullptr) return nullptr;
  const auto found = current_->values.find(Folded(name));
  return found == current_->values.end() ? nullptr : &found->second;
}

const std::string& MemoryKeyStore::Folded(std::string_view name) const {
  folded_.assign(name);
  for (char& c : folded_) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded_;
}

ValueKind MemoryKeyStore::GetValueKind(std::string_view name) const {
  const Value* value = Find(name);
  return value == nullptr ? ValueKind::kMissing : value->kind;
}

std::string MemoryKeyStore::ReadString(std::string_view name) const {
  const Value* value = Find(name);
  if (value == nullptr) return std::string();
  if (value->kind != ValueKind::kText) throw InvalidDataType(name);
  return value->data;
}

std::string MemoryKeyStore::ReadData(std::string_view name) const {
  const Value* value = Find(name);
  return value == nullptr ? std::string() : value->data;
}

void MemoryKeyStore::WriteString(std::string_view name, std::string_view value) {
  Store(name, ValueKind::kText, value);
}

void MemoryKeyStore::WriteOther(std::string_view name, std::string_view data) {
  Store(name, ValueKind::kOther, data);
}

void MemoryKeyStore::Store(std::string_view name, ValueKind kind, std::string_view data) {
  if (current_ == nullptr) throw FailedToSetData(name);
  auto [slot, created] = current_->values.try_emplace(FoldName(name));
  Value& value = slot->second;
  if (created) {
    value.name = std::string(name);
    value.order = next_order_++;
  }
  value.kind = kind;
  value.data = std::string(data);
  ++changes_;
}

bool MemoryKeyStore::DeleteValue(std::string_view name) {
  if (current_ == nullptr || current_->values.erase(FoldName(name)) == 0) return false;
  ++changes_;
  return true;
}

std::vector<std::string> MemoryKeyStore::ValueNames() const {
  std::vector<std::string> names;
  if (current_ == nullptr) return names;
  for (const Value* value : InOrder(current_->values)) names.push_back(value->name);
  return names;
}

void MemoryKeyStore::ForEachKey(
    const std::function<void(const std::string& path, const Key& key)>& visit) const {
  VisitKeys(std::string(), *root_, visit);
}

std::vector<const MemoryKeyStore::Value*> MemoryKeyStore::OrderedValues(const Key& key) {
  return InOrder(key.values);
}

}  // namespace velmora
