#pragma once

// "Multiline": finds a block of whole lines, compared line by line (optionally ignoring leading
// and trailing white space and case), and replaces, surrounds, deletes or empties the blocks.
// No regular expressions.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engines/LineModify.h"
#include "engines/Un_Tambahan.h"

namespace velmora {

class Tmy_multiline {
 public:
  bool CaseSensitive = false;
  bool MakeBackup = false;
  LineBreaks Breaks = LineBreaks::Kept;  // how Modify ends the lines it writes
  bool TrimLeft = false;
  bool TrimRight = false;
  std::int32_t ModType =
      0;  // 0 None, 1 Replace, 2 Insert Before, 3 Insert After, 4 Delete, 5 Clear
  std::vector<std::string> QueryLines;
  std::vector<std::string> ReplaceLines;
  std::vector<std::string> BlockStarts;  // 0-based first line of every block, ascending
  bool Stop = false;
  bool Idle = true;
  TProgressEvent OnProgress;
  TFileErrorEvent OnFileError;  // a file that could not be read

  void SetLines(const std::vector<std::string>& lines) { QueryLines = lines; }
  void SetReplaceLines(const std::vector<std::string>& lines) { ReplaceLines = lines; }

  bool Search(const std::string& fileName);
  // True when the first occurrence of the block's first line is followed by the rest of the
  // block and no later block line occurs above its place. Any error gives false.
  bool FindInFile(const std::vector<std::string>& query, const std::string& fileName,
                  bool caseSensitive);
  void BuildLines(const std::string& fileName);
  // The same from a file already read (a modification reads each file once).
  void BuildLines(const TextBuffer& file);
  void WriteLinesView(const std::string& pageFileName, const std::string& fileName);
  // A modification's listing: marks the blocks BuildLines would list, which Modify then
  // treats, without filling BlockStarts (emptied here), so that a large file is modified in
  // little more memory than its size. Nothing happens for empty QueryLines.
  void MarkLines(const TextBuffer& file);
  // Blocks are treated from the last to the first; one that overlaps a block already treated
  // is left alone, so no line outside the treated blocks changes.
  void Modify(const std::string& fileName);
  // The same on a file already read; a file changed since is left alone (EFileError).
  void Modify(const TextBuffer& file);

 private:
  bool Report();
  // The blocks of the file, in order, for BuildLines and MarkLines.
  void CollectBlocks(const TextBuffer& file, const std::function<void(std::size_t start)>& collect);
  // One mark per block start, from the marks a listing left (emptied: they serve one Modify)
  // or from BlockStarts; EListError for an entry that is no number or a block past the end.
  std::vector<bool> TakeStarts(std::size_t lineCount);
  // The starts of the blocks Modify treats.
  std::vector<bool> TreatedBlocks(const std::vector<bool>& starts) const;
  // The file with the treated blocks changed, line by line.
  void WriteModified(const TextBuffer& file, std::size_t lineCount,
                     const std::vector<bool>& treated, ContentSink& sink) const;

  LineMarks marks_;
};

}  // namespace velmora
