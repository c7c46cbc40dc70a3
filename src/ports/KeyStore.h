#pragma once

// The per-user hierarchical key/value store the settings live in. Keys are addressed by a
// path of names joined with "\" below the per-user root (for example
// "Software\Velmora\Option"). Key names and value names compare without regard to ASCII
// case; the spelling used when a key or value was created is kept. The store has at most one
// current key: values are read, written and deleted in it.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A store operation the store refused, with the documented text as what().
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised by ReadString for a value that exists but does not hold text.
inline ERegistryException InvalidDataType(std::string_view value_name) {
  return ERegistryException("Invalid data type for '" + std::string(value_name) + "'");
}

// Raised by WriteString when the store refuses the write.
inline ERegistryException FailedToSetData(std::string_view value_name) {
  return ERegistryException("Failed to set data for '" + std::string(value_name) + "'");
}

enum class ValueKind {
  kMissing,  // no value of that name in the current key
  kText,
  kOther,  // a value of a kind this system never writes (kept untouched)
};

inline constexpr char KeyDelim = '\\';

class KeyStore {
 public:
  virtual ~KeyStore() = default;

  // Closes the current key, then opens the key at `path` (names joined with KeyDelim, below
  // the root; "" is the root itself). Missing keys on the way are created when `create` is
  // true. Returns whether the key is now the current key.
  virtual bool OpenKey(std::string_view path, bool create) = 0;
  // Leaves no key current. Closing when nothing is open does nothing.
  virtual void CloseKey() = 0;
  // Whether the current key has a subkey of that name (a relative path is allowed).
  virtual bool HasSubKey(std::string_view name) const = 0;

  virtual ValueKind GetValueKind(std::string_view name) const = 0;
  // The text of a value of the current key; a missing value (or no current key) reads as "".
  // Throws InvalidDataType for a value that is not text.
  virtual std::string ReadString(std::string_view name) const = 0;
  // Creates or replaces a text value of the current key. Throws FailedToSetData when no key
  // is open or the store refuses.
  virtual void WriteString(std::string_view name, std::string_view value) = 0;
  // Deletes a value of the current key; false when there was none.
  virtual bool DeleteValue(std::string_view name) = 0;
  // The names of the values of the current key (none when no key is open).
  virtual std::vector<std::string> ValueNames() const = 0;

  // Makes everything written so far durable. A store that keeps nothing outside memory does
  // nothing; a store that cannot save throws std::runtime_error and keeps its changes in
  // memory, so a later Flush may succeed.
  virtual void Flush() {}

  // The name under which an unreadable settings file was kept aside, so the user can be told;
  // each name is given once, "" when there is none (left).
  virtual std::string TakeKeptCopy() { return std::string(); }
};

}  // namespace velmora
