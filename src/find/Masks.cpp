#include "find/Masks.h"

#include <cstddef>

namespace velmora {

namespace {

unsigned char UpperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

std::string MaskErrorText(std::string_view mask, int position) {
  // Built by appending: GCC 12 at -O3 flags the operator+ chain with a false -Wrestrict.
  std::string text = "'";
  text.append(mask).append("' is an invalid mask at (").append(std::to_string(position)).append(")");
  return text;
}

}  // namespace

EMaskError::EMaskError(std::string_view mask, int position)
    : std::runtime_error(MaskErrorText(mask, position)), position_(position) {}

// Turns the mask text into states, left to right. `pos_` is where the scan stands; an error
// reports it 1-based.
class TMask::Compiler {
 public:
  Compiler(std::string_view mask, LeadByteTest is_lead_byte, std::vector<State>& states)
      : mask_(mask), is_lead_byte_(is_lead_byte), states_(states) {}

  void Run() {
    while (pos_ < mask_.size()) {
      const auto c = Current();
      if (c == '*') {
        pending_skip_ = true;
      } else if (c == '?') {
        if (!pending_skip_) Add(State{.kind = Kind::Any});
      } else if (c == '[') {
        ParseSet();
      } else if (IsDoubleByteAt(pos_)) {
        Add(State{.kind = Kind::DoubleByte, .ch = c, .trail = Byte(pos_ + 1)});
        ++pos_;
      } else {
        Add(State{.kind = Kind::Literal, .ch = UpperAscii(c)});
      }
      ++pos_;
    }
    Add(State{.kind = Kind::End});
  }

 private:
  unsigned char Byte(std::size_t at) const { return static_cast<unsigned char>(mask_[at]); }
  unsigned char Current() const { return Byte(pos_); }
  bool AtEnd() const { return pos_ >= mask_.size(); }
  bool IsDoubleByteAt(std::size_t at) const {
    return is_lead_byte_ != nullptr && at + 1 < mask_.size() && is_lead_byte_(Byte(at));
  }
  [[noreturn]] void Fail() const { throw EMaskError(mask_, static_cast<int>(pos_) + 1); }

  // On return the scan stands on the closing "]".
  void ParseSet() {
    State state{.kind = Kind::Set};
    ++pos_;
    if (!AtEnd() && Current() == '!') {
      state.negate = true;
      ++pos_;
    }
    bool has_previous = false;
    unsigned char previous = 0;
    bool empty = true;
    while (!AtEnd() && Current() != ']') {
      const auto c = Current();
      if (c == '-') {
        if (!has_previous) Fail();
        ++pos_;
        if (AtEnd()) break;
        // The upper end is consumed, "]" included, but does not become the previous character.
        const unsigned upper = UpperAscii(Current());
        for (unsigned code = previous; code <= upper; ++code) state.set.set(code);
      } else if (IsDoubleByteAt(pos_)) {
        ++pos_;
      } else {
        previous = UpperAscii(c);
        has_previous = true;
        state.set.set(previous);
        empty = false;
      }
      ++pos_;
    }
    if (AtEnd() || empty) Fail();
    Add(state);
  }

  void Add(State state) {
    state.skip_to = pending_skip_;
    pending_skip_ = false;
    if (state.skip_to && ++skip_states_ > kMaxSkipStates) Fail();
    states_.push_back(state);
  }

  std::string_view mask_;
  LeadByteTest is_lead_byte_;
  std::vector<State>& states_;
  std::size_t pos_ = 0;
  bool pending_skip_ = false;
  int skip_states_ = 0;
};

TMask::TMask(std::string_view mask, LeadByteTest is_lead_byte) {
  states_.reserve(mask.size() + 1);
  Compiler(mask, is_lead_byte, states_).Run();
}

bool TMask::Passes(const State& state, std::string_view name, std::size_t pos) const {
  const bool present = pos < name.size();
  const auto c = present ? static_cast<unsigned char>(name[pos]) : 0;
  switch (state.kind) {
    case Kind::Literal:
      return present && UpperAscii(c) == state.ch;
    case Kind::Any:
      return present;
    case Kind::Set:
      return present && state.set.test(UpperAscii(c)) != state.negate;
    case Kind::DoubleByte:
      return pos + 1 < name.size() && c == state.ch &&
             static_cast<unsigned char>(name[pos + 1]) == state.trail;
    case Kind::End:
      return !present;
  }
  return false;
}

bool TMask::Matches(std::string_view name) const {
  // A failed attempt resumes from the most recent "*" only, one character further on. Every
  // state matches a fixed number of characters, so moving an earlier "*" on can never make a
  // match that moving the later one on missed: the answer is that of a full backtracking
  // search over all "*" points, in time linear in the name for each state.
  struct Backtrack {
    std::size_t pos = 0;
    std::size_t state = 0;
    bool held = false;
  } point;

  std::size_t pos = 0;
  std::size_t index = 0;
  while (index < states_.size()) {
    const State& state = states_[index];
    if (state.skip_to) {
      if (state.kind == Kind::End) {
        pos = name.size();
      } else {
        while (pos < name.size() && !Passes(state, name, pos)) ++pos;
        point = pos < name.size() ? Backtrack{pos + 1, index, true} : Backtrack{};
      }
    }
    if (Passes(state, name, pos)) {
      pos += Width(state);
      ++index;
    } else if (point.held) {
      pos = point.pos;
      index = point.state;
    } else {
      return false;
    }
  }
  return true;
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  return TMask(mask).Matches(name);
}

}  // namespace velmora
