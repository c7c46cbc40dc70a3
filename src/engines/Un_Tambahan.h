#pragma once

// What the six search engines share: reading a file into lines, writing it back safely, the
// backup rule, the "Lines Viewer" page, HTML escaping, the word pattern, the progress call
// and the file-type icon.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ports/Shell.h"

namespace velmora {

// Progress callback of an engine: the engine itself and a reference to its own Stop flag.
using TProgressEvent = std::function<void(void* sender, bool& stop)>;

// Wraps the whole match in blue; used with ReplaceAll on already escaped text.
inline constexpr const char* HIGHLIGHT_TEMPLATE = "<font color=\"#0000FF\">$0</font>";

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

// Replaces the file's content without ever leaving it half-written: the content goes to a
// temporary file in the same folder, is flushed to disk and renamed over the target, keeping
// the target's permission bits. A symbolic link stays a link: the file it points to is
// rewritten, in that file's folder. A file with several hard links is rewritten in place once
// the complete content is safely on disk, so all its names keep sharing it. A file the user
// may not write is refused. EFileError on failure; the target is then as it was.
void WriteFileSafely(const std::string& fileName, std::string_view content);

// Copies fileName to fileName + ".bak", replacing an older backup. Raises EFileError when the
// copy cannot be made: a modification must not go on believing it has a backup.
void BackupFile(const std::string& fileName);

// "&" "<" ">" and the double quote as HTML entities; nothing else changes.
std::string HtmlEscape(std::string_view text);

// The pattern that finds word literally; with wholeWords it may not touch a word character
// on a side where the word itself has one (\b), or must touch a non-word character (\B).
std::string WordPattern(const std::string& word, bool wholeWords);

// The icon of the file's type, by the name's extension alone.
IconHandle GetFileIcon(Shell& shell, const std::string& path, bool small);

// Calls the progress event when assigned and tells whether a stop was requested.
inline bool ProgressSaysStop(const TProgressEvent& onProgress, void* sender, bool& stop) {
  if (onProgress) onProgress(sender, stop);
  return stop;
}

// Keeps an engine's Idle false for the lifetime of the guard, then puts back what it was
// (an operation nested in another leaves Idle false for the outer one).
class BusyScope {
 public:
  explicit BusyScope(bool& idle) : idle_(idle), before_(idle) { idle_ = false; }
  ~BusyScope() { idle_ = before_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& idle_;
  bool before_;
};

// The "Lines Viewer" page of one file: the fixed head, the body lines added, the fixed tail.
class LinesPage {
 public:
  enum class Mark { Plain, Chosen, NotChosen };

  explicit LinesPage(const std::string& fileName);
  // "line N : text" in the given form; N is the 0-based index entry + 1.
  void AddLine(const std::string& indexEntry, std::string_view markedText, Mark mark = Mark::Plain);
  // A multiline block of the 1-based lines first to last ("line A" when they are equal).
  void AddBlock(std::size_t first, std::size_t last);
  // Appends the tail and writes the page, replacing any file of that name.
  void Save(const std::string& pageFileName);

 private:
  void Append(std::string_view line);
  std::string text_;
};

// Case-sensitive or case-folding search for a literal over a whole buffer: the quick test that
// rejects a file, or skips lines, before the lines are matched. It jumps with memchr to the
// literal's rarest byte. toggleCase gives a byte's other-case form, as the matcher folds it.
class LiteralScanner {
 public:
  LiteralScanner(std::string_view literal, bool caseSensitive,
                 unsigned char (*toggleCase)(unsigned char));
  bool FoundIn(std::string_view text) const { return Find(text, 0) != std::string_view::npos; }
  // The position of the first occurrence at or after from; npos when there is none.
  std::size_t Find(std::string_view text, std::size_t from) const;

 private:
  bool MatchesAt(const unsigned char* t) const;

  std::string literal_;
  std::size_t rare_ = 0;  // index of the literal byte searched for first
  std::string other_;     // the other-case form of each literal byte (itself when case-sensitive)
};

}  // namespace velmora
