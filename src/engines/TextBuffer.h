#pragma once

// A file's text in one buffer and the lines of a text: how every engine reads a file and
// splits it into lines.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/FileIdentity.h"
struct stat;

namespace velmora {

// A file that cannot be opened, read or written. FileName and Reason are filled when known,
// so that a caller can report "NAME: REASON" as command-line tools do.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  EFileError(const std::string& message, std::string fileName, std::string reason)
      : std::runtime_error(message), FileName(std::move(fileName)), Reason(std::move(reason)) {}

  std::string FileName;
  std::string Reason;
};

// A list index (line number) that does not fit the file, or a list entry that is not a number.
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raises EFileError: what, the quoted file name and the system's message for error.
[[noreturn]] void RaiseFileError(const char* what, const std::string& fileName, int error);

// Opens a regular file for reading, without blocking on a FIFO; fills info. Anything else (a
// folder, a FIFO, a device) raises EFileError, so that nothing waits on a file that never ends.
int OpenRegularFile(const std::string& fileName, struct stat& info);

// The content of a file in one buffer. Text() is what matching sees (up to the first NUL
// byte); Tail() is everything from that NUL on, kept so that a rewrite loses nothing.
// Whole reads the file at once. OnDemand reads a first chunk and more on ReadMore(), and stops
// at a NUL, so a search that decides early need not read a large file to its end; views taken
// before ReadMore(), Release() or Rewind() are then no longer valid. OnDemand keeps a window:
// the text the reader has released is dropped, so a file of any size is read in a buffer of
// about two chunks, or twice its longest line. No copy or move, so views stay valid otherwise.
class TextBuffer {
 public:
  enum class Mode { Whole, OnDemand };
  // Large reads: the kernel copies a file out of its cache faster in fewer calls.
  static constexpr std::size_t kChunk = std::size_t{1024} << 10;

  explicit TextBuffer(const std::string& fileName, Mode mode = Mode::Whole,
                      std::size_t chunk = kChunk);
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  const std::string& FileName() const { return fileName_; }
  // The file as it was opened: a rewrite checks it is still the same before replacing it.
  const FileIdentity& Identity() const { return identity_; }
  unsigned Permissions() const { return permissions_; }

  std::string_view Text() const { return text_; }
  // Meaningful once the whole file was read (always in Whole mode).
  std::string_view Tail() const { return tail_; }
  // True when Text() is final: the end of the file or a NUL byte was reached.
  bool TextComplete() const { return done_ || nul_ != std::string_view::npos; }
  // Reads one more chunk; false when the text was already complete. EFileError on failure.
  bool ReadMore();
  // OnDemand: drops the first `count` bytes of Text(); the text then begins at what was offset
  // count, and reading goes on from where it was.
  void Release(std::size_t count);
  // OnDemand: makes Text() begin at the file's first byte again, reading the start anew when
  // it was released (one more pass over the file). EFileError on failure.
  void Rewind();

 private:
  void Grow();
  // Moves bytes_[from, used_) to target, placed so that the next read lands aligned.
  void MoveKept(char* target, std::size_t from);
  void UpdateViews();

  std::string fileName_;
  FileIdentity identity_;
  unsigned permissions_ = 0;
  int fd_ = -1;
  std::size_t chunk_;
  std::uint64_t offset_ = 0;       // bytes read from the file since its start
  std::unique_ptr<char[]> bytes_;  // not zero-filled: every byte used is read from the file
  std::size_t capacity_ = 0;
  std::size_t start_ = 0;  // where Text() begins in bytes_
  std::size_t used_ = 0;
  std::size_t nul_ = std::string_view::npos;
  bool done_ = false;      // end of file reached
  bool released_ = false;  // the start of the file is no longer in the buffer
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
  // The break that ended the line Next gave last: CR LF, CR, LF, or empty at the text's end.
  std::string_view Break() const { return break_; }

 private:
  std::string_view rest_;
  std::string_view break_;
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

// How a rewritten file ends its lines.
enum class LineBreaks {
  Kept,  // each line keeps its own break; a break brought in by new text takes the line's
  CrLf,  // every line ends with CR LF
};

// The break a line without one of its own takes when no line above it has one.
std::string_view DefaultBreak(LineBreaks breaks);

// text with each of its line breaks made lineBreak; a break at its very end stays one.
std::string WithLineBreak(std::string_view text, std::string_view lineBreak);

// Parses a 0-based line index held as decimal text (no sign, no blanks); EListError otherwise.
std::size_t ParseLineIndex(std::string_view entry);

}  // namespace velmora
