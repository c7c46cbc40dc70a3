// Printable form of a compiled program: one node per line, in program order.

#include <cstdio>
#include <cstring>
#include <string>

#include "regex/Regex.h"
#include "regex/RegexProgram.h"

namespace velmora {

namespace regex_program {

const char* OpcodeName(std::uint8_t op) {
  if (IsOpen(op)) return "OPEN";
  if (IsClose(op)) return "CLOSE";
  switch (op) {
    case OP_END:
      return "END";
    case OP_INPUT_START:
      return "INPUT_START";
    case OP_INPUT_END:
      return "INPUT_END";
    case OP_ANY_CHAR:
      return "ANY_CHAR";
    case OP_BRANCH:
      return "BRANCH";
    case OP_BACK:
      return "BACK";
    case OP_LITERAL:
      return "LITERAL";
    case OP_EMPTY:
      return "EMPTY";
    case OP_STAR:
      return "STAR";
    case OP_PLUS:
      return "PLUS";
    case OP_DIGIT:
      return "DIGIT";
    case OP_NON_DIGIT:
      return "NON_DIGIT";
    case OP_BRACES:
      return "BRACES";
    case OP_COMMENT:
      return "COMMENT";
    case OP_LITERAL_CI:
      return "LITERAL_CI";
    case OP_LOOP_ENTRY:
      return "LOOP_ENTRY";
    case OP_LOOP:
      return "LOOP";
    case OP_IN_SMALL_SET:
      return "IN_SMALL_SET";
    case OP_NOT_IN_SMALL_SET:
      return "NOT_IN_SMALL_SET";
    case OP_IN_SET:
      return "IN_SET";
    case OP_BACKREF:
      return "BACKREF";
    case OP_BACKREF_CI:
      return "BACKREF_CI";
    case OP_STAR_LAZY:
      return "STAR_LAZY";
    case OP_PLUS_LAZY:
      return "PLUS_LAZY";
    case OP_BRACES_LAZY:
      return "BRACES_LAZY";
    case OP_LOOP_LAZY:
      return "LOOP_LAZY";
    case OP_LINE_START:
      return "LINE_START";
    case OP_LINE_END:
      return "LINE_END";
    case OP_ANY_BUT_LINE_SEP:
      return "ANY_BUT_LINE_SEP";
    case OP_WORD_BOUNDARY:
      return "WORD_BOUNDARY";
    case OP_NOT_WORD_BOUNDARY:
      return "NOT_WORD_BOUNDARY";
    default:
      return "?";
  }
}

}  // namespace regex_program

namespace {

using namespace regex_program;

// Printable ASCII stays, except the characters that delimit the dump's own notation.
void AppendByte(std::string& out, std::uint8_t c, const char* special) {
  if (c >= 0x20 && c < 0x7F && std::strchr(special, c) == nullptr) {
    out.push_back(static_cast<char>(c));
    return;
  }
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", c);
  out += buf;
}

std::string BitmapText(const std::uint8_t* bitmap) {
  std::string out = "[";
  int c = 0;
  while (c < 256) {
    if (!SetHas(bitmap, static_cast<std::uint8_t>(c))) {
      ++c;
      continue;
    }
    int last = c;
    while (last + 1 < 256 && SetHas(bitmap, static_cast<std::uint8_t>(last + 1))) ++last;
    AppendByte(out, static_cast<std::uint8_t>(c), "\\]-^");
    if (last > c) {
      if (last > c + 1) out.push_back('-');
      AppendByte(out, static_cast<std::uint8_t>(last), "\\]-^");
    }
    c = last + 1;
  }
  return out + "]";
}

// Operand text and the node's full size (head, operand; the operand node of a repeat is a
// node of its own and is printed on the next line).
std::size_t DescribeNode(const std::uint8_t* node, const std::uint8_t* base, std::string& text) {
  const std::uint8_t op = Opcode(node);
  const std::uint8_t* operand = Operand(node);
  if (IsOpen(op) || IsClose(op)) {
    text = std::to_string(IsOpen(op) ? OpenIndex(op) : CloseIndex(op));
    return NODE_HEAD_SIZE;
  }
  switch (op) {
    case OP_LITERAL:
    case OP_LITERAL_CI: {
      const std::size_t len = std::strlen(LiteralText(node));
      text = "\"";
      for (std::size_t i = 0; i < len; ++i) AppendByte(text, operand[i], "\\\"");
      text += "\"";
      return NODE_HEAD_SIZE + len + 1;
    }
    case OP_IN_SMALL_SET:
    case OP_NOT_IN_SMALL_SET:
      text = "\"";
      for (int i = 0; i < SMALL_SET_SIZE; ++i) AppendByte(text, operand[i], "\\\"");
      text += "\"";
      return NODE_HEAD_SIZE + SMALL_SET_SIZE;
    case OP_IN_SET:
      text = BitmapText(operand);
      return NODE_HEAD_SIZE + SET_BITMAP_SIZE;
    case OP_BACKREF:
    case OP_BACKREF_CI:
      text = "\\" + std::to_string(operand[0]);
      return NODE_HEAD_SIZE + 1;
    case OP_BRACES:
    case OP_BRACES_LAZY:
      text = "{" + std::to_string(BracesMin(node)) + "," + std::to_string(BracesMax(node)) + "}";
      return BRACES_HEAD_SIZE;
    case OP_LOOP:
    case OP_LOOP_LAZY:
      text = "{" + std::to_string(LoopMin(node)) + "," + std::to_string(LoopMax(node)) + "} body " +
             std::to_string(LoopBody(node) - base);
      return LOOP_NODE_SIZE;
    default:
      text.clear();
      return NODE_HEAD_SIZE;
  }
}

}  // namespace

std::string TRegex::Dump() {
  PrepareProgram();
  const std::uint8_t* base = Program.data();
  std::string out;
  std::size_t pos = 1;  // after the magic byte
  while (pos < Program.size()) {
    const std::uint8_t* node = base + pos;
    std::string operand;
    const std::size_t size = DescribeNode(node, base, operand);
    out += std::to_string(pos) + ": " + OpcodeName(Opcode(node));
    if (!operand.empty()) out += " " + operand;
    const std::int32_t next = NextOffset(node);
    out += next == 0 ? std::string(" -> none")
                     : " -> " + std::to_string(static_cast<std::ptrdiff_t>(pos) + next);
    out += "\n";
    pos += size;
  }
  return out;
}

}  // namespace velmora
