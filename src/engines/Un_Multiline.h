#pragma once

// "Multiline": finds a block of whole lines, compared line by line (optionally ignoring leading
// and trailing white space and case), and replaces, surrounds, deletes or empties the blocks.
// No regular expressions.

#include <cstdint>
#include <string>
#include <vector>

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
  // Blocks are treated from the last to the first; one that overlaps a block already treated
  // is left alone, so no line outside the treated blocks changes.
  void Modify(const std::string& fileName);
  // The same on a file already read; a file changed since is left alone (EFileError).
  void Modify(const TextBuffer& file);

 private:
  bool Report();
};

}  // namespace velmora
