#pragma once

// Wildcard masks: "*" any run of characters, "?" one character, "[...]" one character of a
// set ("[!...]" not of it, "a-z" ranges), ASCII letters without regard to case, the whole
// name covered. No escape character and no list separator: one mask is one pattern.
// Used for the ignored-file masks, the finder's list mode and selecting rows by mask.

#include <bitset>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Raised when a mask text cannot be compiled. Position is 1-based in the mask text (one past
// its end when the text ended first).
class EMaskError : public std::runtime_error {
 public:
  EMaskError(std::string_view mask, int position);
  int Position() const { return position_; }

 private:
  int position_;
};

// Tells whether a byte is the lead byte of a double-byte character. Single-byte text (all of
// Linux) has none; the hook lets a double-byte code page be added without touching the masks.
using LeadByteTest = bool (*)(unsigned char);

// One compiled mask. Compiling may throw EMaskError; matching never allocates.
class TMask {
 public:
  // At most this many states may follow a "*" (the end state included when "*" stands last).
  static constexpr int kMaxSkipStates = 30;

  explicit TMask(std::string_view mask, LeadByteTest is_lead_byte = nullptr);

  bool Matches(std::string_view name) const;

 private:
  enum class Kind : std::uint8_t { Literal, Any, Set, DoubleByte, End };

  struct State {
    Kind kind = Kind::End;
    bool skip_to = false;     // one or more "*" stood directly before this state
    bool negate = false;      // sets: "[!...]"
    unsigned char ch = 0;     // literal (upper-cased) or double-byte lead byte
    unsigned char trail = 0;  // double-byte trail byte
    std::bitset<256> set{};   // sets: upper-cased members
  };

  class Compiler;

  bool Passes(const State& state, std::string_view name, std::size_t pos) const;
  static std::size_t Width(const State& state) { return state.kind == Kind::DoubleByte ? 2 : 1; }

  std::vector<State> states_;
};

// Compiles Mask and matches Name against it. An invalid mask raises EMaskError before
// anything is matched.
bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace velmora
