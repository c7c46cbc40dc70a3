#pragma once

// Layout of a compiled regular-expression program, shared by the compiler and the matcher.
//
// The program is one byte array: byte 0 is PROGRAM_MAGIC, then nodes. Every node starts with
// a 5-byte head: the opcode, then a signed 32-bit little-endian offset from the node's own first
// byte to the node that follows it in sequence (0 = no next node). Operands follow the head.
// Offsets are relative, so a program can be moved as a block.

#include <cstdint>
#include <cstring>
#include <utility>

namespace velmora::regex_program {

inline constexpr std::uint8_t PROGRAM_MAGIC = 216;

// Opcodes. Values are part of the program format; never renumber.
inline constexpr std::uint8_t OP_END = 0;                 // success
inline constexpr std::uint8_t OP_INPUT_START = 1;         // empty, at the input start
inline constexpr std::uint8_t OP_INPUT_END = 2;           // empty, at the input end
inline constexpr std::uint8_t OP_ANY_CHAR = 3;            // any one character
inline constexpr std::uint8_t OP_BRANCH = 6;              // alternative starts at node + 5
inline constexpr std::uint8_t OP_BACK = 7;                // empty; negative next, loops back
inline constexpr std::uint8_t OP_LITERAL = 8;             // NUL-terminated string
inline constexpr std::uint8_t OP_EMPTY = 9;               // empty
inline constexpr std::uint8_t OP_STAR = 10;               // single-char node at node + 5
inline constexpr std::uint8_t OP_PLUS = 11;               // single-char node at node + 5
inline constexpr std::uint8_t OP_DIGIT = 12;              // "0".."9"
inline constexpr std::uint8_t OP_NON_DIGIT = 13;          // not "0".."9"
inline constexpr std::uint8_t OP_BRACES = 18;             // min, max, single-char node at + 13
inline constexpr std::uint8_t OP_COMMENT = 19;            // empty
inline constexpr std::uint8_t OP_LITERAL_CI = 20;         // NUL-terminated string, any case
inline constexpr std::uint8_t OP_LOOP_ENTRY = 23;         // next is its OP_LOOP
inline constexpr std::uint8_t OP_LOOP = 24;               // min, max, body offset (17 bytes)
inline constexpr std::uint8_t OP_IN_SMALL_SET = 25;       // 3 bytes
inline constexpr std::uint8_t OP_NOT_IN_SMALL_SET = 26;   // 3 bytes
inline constexpr std::uint8_t OP_IN_SET = 27;             // 32-byte bitmap
inline constexpr std::uint8_t OP_BACKREF = 28;            // 1 byte: capture 1..9
inline constexpr std::uint8_t OP_BACKREF_CI = 29;         // 1 byte
inline constexpr std::uint8_t OP_STAR_LAZY = 30;          // as OP_STAR
inline constexpr std::uint8_t OP_PLUS_LAZY = 31;          // as OP_PLUS
inline constexpr std::uint8_t OP_BRACES_LAZY = 32;        // as OP_BRACES
inline constexpr std::uint8_t OP_LOOP_LAZY = 33;          // as OP_LOOP
inline constexpr std::uint8_t OP_LINE_START = 34;         // empty, at a line start
inline constexpr std::uint8_t OP_LINE_END = 35;           // empty, at a line end
inline constexpr std::uint8_t OP_ANY_BUT_LINE_SEP = 36;   // one non-separator character
inline constexpr std::uint8_t OP_WORD_BOUNDARY = 37;      // empty
inline constexpr std::uint8_t OP_NOT_WORD_BOUNDARY = 38;  // empty
inline constexpr std::uint8_t OP_OPEN_FIRST = 40;         // OP_OPEN n = 39 + n, n = 1..14
inline constexpr std::uint8_t OP_OPEN_LAST = 53;
inline constexpr std::uint8_t OP_CLOSE_FIRST = 55;  // OP_CLOSE n = 54 + n, n = 1..14
inline constexpr std::uint8_t OP_CLOSE_LAST = 68;

inline constexpr std::uint8_t OpOpen(int n) {
  return static_cast<std::uint8_t>(39 + n);
}
inline constexpr std::uint8_t OpClose(int n) {
  return static_cast<std::uint8_t>(54 + n);
}
inline constexpr bool IsOpen(std::uint8_t op) {
  return op >= OP_OPEN_FIRST && op <= OP_OPEN_LAST;
}
inline constexpr bool IsClose(std::uint8_t op) {
  return op >= OP_CLOSE_FIRST && op <= OP_CLOSE_LAST;
}
inline constexpr int OpenIndex(std::uint8_t op) {
  return op - 39;
}
inline constexpr int CloseIndex(std::uint8_t op) {
  return op - 54;
}

// Sizes.
inline constexpr int NODE_HEAD_SIZE = 5;     // opcode + next
inline constexpr int BRACES_HEAD_SIZE = 13;  // head + min + max
inline constexpr int LOOP_NODE_SIZE = 17;    // head + min + max + body offset
inline constexpr int SMALL_SET_SIZE = 3;
inline constexpr int SET_BITMAP_SIZE = 32;

inline constexpr std::int32_t MAX_BRACES_ARG = 2147483646;
inline constexpr std::int32_t MAX_REPEAT = 2147483647;  // max of the star and plus nodes
inline constexpr int CAPTURE_COUNT = 15;                // capture 0 plus groups 1..14
inline constexpr int MAX_CAPTURE_GROUP = 14;
inline constexpr int LOOP_STACK_DEPTH = 10;

// Compile flags reported by every parsed item.
inline constexpr int FLAG_HAS_WIDTH = 1;
inline constexpr int FLAG_SINGLE_CHAR = 2;
inline constexpr int FLAG_REPEAT_START = 4;

// Little-endian 32-bit fields, independent of host byte order and alignment.
inline std::int32_t ReadInt32(const std::uint8_t* p) {
  const std::uint32_t v =
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  return static_cast<std::int32_t>(v);
}

inline void WriteInt32(std::uint8_t* p, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

// Node accessors. `node` points at a node's opcode byte inside a program.
inline std::uint8_t Opcode(const std::uint8_t* node) {
  return node[0];
}
inline std::int32_t NextOffset(const std::uint8_t* node) {
  return ReadInt32(node + 1);
}
// The node that follows in sequence, or nullptr when there is none.
inline const std::uint8_t* NextNode(const std::uint8_t* node) {
  const std::int32_t offset = NextOffset(node);
  return offset == 0 ? nullptr : node + offset;
}
// First operand byte: the alternative of OP_BRANCH, the string of a literal, the set bytes,
// the capture number of a back-reference, the operand node of OP_STAR / OP_PLUS and lazy forms.
inline const std::uint8_t* Operand(const std::uint8_t* node) {
  return node + NODE_HEAD_SIZE;
}
inline const char* LiteralText(const std::uint8_t* node) {
  return reinterpret_cast<const char*>(node + NODE_HEAD_SIZE);
}

// OP_BRACES / OP_BRACES_LAZY.
inline std::int32_t BracesMin(const std::uint8_t* node) {
  return ReadInt32(node + 5);
}
inline std::int32_t BracesMax(const std::uint8_t* node) {
  return ReadInt32(node + 9);
}
inline const std::uint8_t* BracesOperand(const std::uint8_t* node) {
  return node + BRACES_HEAD_SIZE;
}

// OP_LOOP / OP_LOOP_LAZY.
inline std::int32_t LoopMin(const std::uint8_t* node) {
  return ReadInt32(node + 5);
}
inline std::int32_t LoopMax(const std::uint8_t* node) {
  return ReadInt32(node + 9);
}
inline const std::uint8_t* LoopBody(const std::uint8_t* node) {
  return node + ReadInt32(node + 13);
}

// OP_IN_SET bitmap test: character c is bit (c mod 8) of byte (c div 8).
inline bool SetHas(const std::uint8_t* bitmap, std::uint8_t c) {
  return (bitmap[c >> 3] >> (c & 7)) & 1u;
}

// Whether a node always matches exactly one character by itself (a back-reference does not:
// its capture may have any length).
inline bool IsSingleWidth(const std::uint8_t* node) {
  switch (Opcode(node)) {
    case OP_ANY_CHAR:
    case OP_ANY_BUT_LINE_SEP:
    case OP_DIGIT:
    case OP_NON_DIGIT:
    case OP_IN_SMALL_SET:
    case OP_NOT_IN_SMALL_SET:
    case OP_IN_SET:
      return true;
    case OP_LITERAL:
    case OP_LITERAL_CI:
      return LiteralText(node)[0] != 0 && LiteralText(node)[1] == 0;
    default:
      return false;
  }
}

// The item of a greedy loop over one single-width node, as the compiler builds "x*", and the
// tail of "x+", for an x that is no repeat operand of its own ("." without s):
//   x*: B1 -> (x -> BACK -> B1) | B2 -> EMPTY        x+: x -> B1 -> (BACK -> x) | B2 -> EMPTY
// `branch` is B1; returns x and sets `exit` to the EMPTY where the match goes on, or returns
// nullptr for any other branch.
inline const std::uint8_t* SingleWidthLoopItem(const std::uint8_t* branch,
                                               const std::uint8_t*& exit) {
  // Most branches are alternations: the cheapest tests come first.
  const std::uint8_t* first = Operand(branch);
  const std::uint8_t* item = first;
  const std::uint8_t* back = NextNode(first);
  if (Opcode(first) == OP_BACK) std::swap(item, back);
  if (item == nullptr || back == nullptr || Opcode(back) != OP_BACK) return nullptr;
  const std::uint8_t* last = NextNode(branch);
  if (last == nullptr || Opcode(last) != OP_BRANCH) return nullptr;
  const std::uint8_t* empty = Operand(last);
  if (Opcode(empty) != OP_EMPTY || NextNode(last) != empty) return nullptr;
  const bool star = Opcode(first) != OP_BACK && NextNode(back) == branch;
  const bool plus = Opcode(first) == OP_BACK && NextNode(item) == branch;
  if (!(star || plus) || !IsSingleWidth(item)) return nullptr;
  exit = empty;
  return item;
}

// Name of an opcode for dumps ("LITERAL", "OPEN"...); "?" for a code that is never emitted.
const char* OpcodeName(std::uint8_t op);

}  // namespace velmora::regex_program
