#pragma once

// Command-line arguments of one velmora-cli command: "--name", "--name VALUE" or
// "--name=VALUE" options in any order among the positional arguments; "--" ends the options.

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// Bad arguments: the caller prints the message and the usage text and exits with 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OptionSpec {
  std::string_view name;  // without the leading "--"
  bool takesValue = false;
};

class ParsedArgs {
 public:
  // Throws UsageError for an unknown option, a missing value or a value given to a flag.
  static ParsedArgs Parse(std::span<const std::string> args,
                          std::initializer_list<std::span<const OptionSpec>> specs);

  bool Has(std::string_view name) const { return values_.contains(std::string(name)); }
  // The value of the last occurrence, if the option was given.
  std::optional<std::string> Value(std::string_view name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

  // Throws UsageError when more than one of the named options was given.
  void ExpectAtMostOne(std::string_view a, std::string_view b) const;

 private:
  std::map<std::string, std::string, std::less<>> values_;
  std::vector<std::string> positional_;
};

}  // namespace velmora::cli
