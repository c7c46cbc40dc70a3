#pragma once

// A file's text in one buffer, the lines of a text, and the line list that a modification
// edits: how every engine reads a file and splits it into lines.

#include <cstddef>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A file that cannot be opened, read or written.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A list index (line number) that does not fit the file, or a list entry that is not a number.
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raises EFileError: what, the quoted file name and the system's message for error.
[[noreturn]] void RaiseFileError(const char* what, const std::string& fileName, int error);

// The content of a file in one buffer. Text() is what matching sees (up to the first NUL
// byte); Tail() is everything from that NUL on, kept so that a rewrite loses nothing.
// Whole reads the file at once. OnDemand reads a first chunk and more on ReadMore(), and stops
// at a NUL, so a search that decides early need not read a large file to its end; views taken
// before ReadMore() are then no longer valid. No copy or move, so views stay valid otherwise.
class TextBuffer {
 public:
  enum class Mode { Whole, OnDemand };
  static constexpr std::size_t kChunk = std::size_t{256} << 10;

  explicit TextBuffer(const std::string& fileName, Mode mode = Mode::Whole,
                      std::size_t chunk = kChunk);
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  std::string_view Text() const { return text_; }
  // Meaningful once the whole file was read (always in Whole mode).
  std::string_view Tail() const { return tail_; }
  // True when Text() is final: the end of the file or a NUL byte was reached.
  bool TextComplete() const { return done_ || nul_ != std::string_view::npos; }
  // Reads one more chunk; false when the text was already complete. EFileError on failure.
  bool ReadMore();

 private:
  void Grow();

  std::string fileName_;
  int fd_ = -1;
  std::size_t chunk_;
  std::unique_ptr<char[]> bytes_;  // not zero-filled: every byte used is read from the file
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  std::size_t nul_ = std::string_view::npos;
  bool done_ = false;  // end of file reached
  std::string_view text_;
  std::string_view tail_;
};

// Walks the lines of a text one by one: breaks are CR LF, a lone CR or a lone LF; a break at
// the very end gives no extra line.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : rest_(text) {}
  // The next line, or false when the text is used up.
  bool Next(std::string_view& line);

 private:
  std::string_view rest_;
  bool done_ = false;
  // The next LF and the next CR at or after the current line, or the end of the text; looked
  // up with memchr and kept until passed, so a text with only one kind of break stays linear.
  const char* nextLf_ = nullptr;
  const char* nextCr_ = nullptr;
};

std::vector<std::string_view> SplitLines(std::string_view text);

// How many lines LineCursor gives for text, counted without walking them one by one.
std::size_t CountLines(std::string_view text);

// True when the text ends with a line break (an empty text does not).
bool EndsWithLineBreak(std::string_view text);

// The lines of a file while Modify changes them. Unchanged lines stay views into the buffer;
// new texts are kept here. Compose() gives the bytes to write back.
class LineEditor {
 public:
  explicit LineEditor(const TextBuffer& file);
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  std::vector<std::string_view>& Lines() { return lines_; }
  // Keeps text alive for the editor's lifetime and returns a view of it.
  std::string_view Keep(std::string text);
  // The line at a 0-based index given as decimal text; EListError when it does not fit.
  std::size_t IndexOf(const std::string& entry) const;
  // Every line followed by CR LF, then the bytes from the first NUL on. The line that the NUL
  // cut short (the text did not end with a break) gets no CR LF of its own.
  std::string Compose() const;

 private:
  std::vector<std::string_view> lines_;
  std::deque<std::string> kept_;
  std::string_view tail_;
  bool openEnd_ = false;
};

// Parses a 0-based line index held as decimal text (no sign, no blanks); EListError otherwise.
std::size_t ParseLineIndex(const std::string& entry);

}  // namespace velmora
