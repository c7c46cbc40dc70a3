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

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const auto delim = path.find(KeyDelim);
    const auto part = path.substr(0, delim);
    if (!part.empty()) parts.push_back(part);
    if (delim == std::string_view::npos) break;
    path.remove_prefix(delim + 1);
  }
  return parts;
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
  Key* key = root_.get();
  for (const auto part : SplitPath(path)) {
    const auto folded = FoldName(part);
    auto found = key->subkeys.find(folded);
    if (found == key->subkeys.end()) {
      if (!create) return false;
      auto child = std::make_unique<Key>();
      child->name = std::string(part);
      child->order = next_order_++;
      found = key->subkeys.emplace(folded, std::move(child)).first;
      ++changes_;
    }
    key = found->second.get();
  }
  current_ = key;
  return true;
}

void MemoryKeyStore::CloseKey() {
  current_ = nullptr;
}

bool MemoryKeyStore::HasSubKey(std::string_view name) const {
  const Key* key = current_ != nullptr ? current_ : root_.get();
  for (const auto part : SplitPath(name)) {
    const auto found = key->subkeys.find(FoldName(part));
    if (found == key->subkeys.end()) return false;
    key = found->second.get();
  }
  return true;
}

ValueKind MemoryKeyStore::GetValueKind(std::string_view name) const {
  if (current_ == nullptr) return ValueKind::kMissing;
  const auto found = current_->values.find(FoldName(name));
  return found == current_->values.end() ? ValueKind::kMissing : found->second.kind;
}

std::string MemoryKeyStore::ReadString(std::string_view name) const {
  switch (GetValueKind(name)) {
    case ValueKind::kMissing:
      return std::string();
    case ValueKind::kText:
      return ReadData(name);
    case ValueKind::kOther:
      break;
  }
  throw InvalidDataType(name);
}

std::string MemoryKeyStore::ReadData(std::string_view name) const {
  if (current_ == nullptr) return std::string();
  const auto found = current_->values.find(FoldName(name));
  return found == current_->values.end() ? std::string() : found->second.data;
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

void MemoryKeyStore::ForEachKey(
    const std::function<void(const std::string& path, const Key& key)>& visit) const {
  VisitKeys(std::string(), *root_, visit);
}

std::vector<const MemoryKeyStore::Value*> MemoryKeyStore::OrderedValues(const Key& key) {
  return InOrder(key.values);
}

}  // namespace velmora
