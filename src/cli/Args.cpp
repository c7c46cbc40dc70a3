#include "cli/Args.h"

namespace velmora::cli {

namespace {

const OptionSpec* FindSpec(std::string_view name,
                           std::initializer_list<std::span<const OptionSpec>> specs) {
  for (const auto& group : specs) {
    for (const OptionSpec& spec : group) {
      if (spec.name == name) return &spec;
    }
  }
  return nullptr;
}

}  // namespace

ParsedArgs ParsedArgs::Parse(std::span<const std::string> args,
                             std::initializer_list<std::span<const OptionSpec>> specs) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg[1] != '-') throw UsageError("unknown option " + arg);
    const std::string_view body = std::string_view(arg).substr(2);
    const std::size_t eq = body.find('=');
    const std::string_view name = body.substr(0, eq);
    const OptionSpec* spec = FindSpec(name, specs);
    if (spec == nullptr) throw UsageError("unknown option --" + std::string(name));
    std::string value;
    if (eq != std::string_view::npos) {
      if (!spec->takesValue) throw UsageError("option --" + std::string(name) + " takes no value");
      value = body.substr(eq + 1);
    } else if (spec->takesValue) {
      if (i + 1 >= args.size())
        throw UsageError("option --" + std::string(name) + " needs a value");
      value = args[++i];
    }
    parsed.values_[std::string(name)] = std::move(value);
  }
  return parsed;
}

std::optional<std::string> ParsedArgs::Value(std::string_view name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void ParsedArgs::ExpectAtMostOne(std::string_view a, std::string_view b) const {
  if (Has(a) && Has(b)) {
    throw UsageError("options --" + std::string(a) + " and --" + std::string(b) +
                     " exclude each other");
  }
}

}  // namespace velmora::cli
