// Shared by the regex tests.

#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "regex/Regex.h"

namespace velmora {

// "i", "-g", "m-s": letters switch a modifier on, letters after "-" switch it off.
inline void SetMods(TRegex& re, std::string_view mods) {
  bool on = true;
  for (const char c : mods) {
    if (c == '-') {
      on = false;
      continue;
    }
    const auto index = std::string_view("irsgmx").find(c);
    ASSERT_NE(index, std::string_view::npos) << mods;
    re.SetModifier(static_cast<std::int32_t>(index) + 1, on);
  }
}

// Runs `action`, which must raise; returns the error.
template <typename F>
ERegexError ErrorOf(F action) {
  try {
    action();
  } catch (const ERegexError& e) {
    return e;
  }
  ADD_FAILURE() << "no error";
  return ERegexError("", 0, 0);
}

}  // namespace velmora
