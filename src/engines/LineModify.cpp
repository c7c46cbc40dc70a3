#include "engines/LineModify.h"

#include "engines/TextBuffer.h"
#include "modify/SafeWrite.h"

namespace velmora {

namespace {

// What one match becomes. The replacement is a template only where it may be one: it is
// expanded by itself, so its end cannot swallow the match reference ("$0" after a "1", or
// after a "\").
std::string ModifiedMatch(TRegex& regex, std::string_view match, std::int32_t modType,
                          const std::string& replacement, bool literal) {
  if (modType == 4) return {};
  const std::string inserted = literal ? replacement : regex.ExpandTemplate(replacement);
  if (modType == 2) return inserted + std::string(match);
  if (modType == 3) return std::string(match) + inserted;
  return inserted;
}

}  // namespace

std::string ModifyLine(TRegex& regex, std::string_view line, std::int32_t modType,
                       const std::string& replacement, bool literal) {
  if (modType < 1 || modType > 4 || !regex.ExecView(line)) return std::string(line);
  std::string out;
  std::size_t from = 0;
  do {
    const auto start = static_cast<std::size_t>(regex.MatchStart(0) - 1);
    const auto length = static_cast<std::size_t>(regex.MatchLength(0));
    out.append(line.substr(from, start - from));
    out += ModifiedMatch(regex, line.substr(start, length), modType, replacement, literal);
    from = start + length;
  } while (regex.ExecNext());
  out.append(line.substr(from));
  return out;
}

void ModifyChosenLines(const TextBuffer& file, bool makeBackup, LineBreaks breaks,
                       const std::vector<std::string>& intervals, TRegex& regex,
                       std::int32_t modType, const std::string& replacement, bool literal) {
  if (makeBackup) BackupFile(file);
  LineEditor editor(file, breaks);
  for (const auto& entry : intervals) {
    const std::size_t index = editor.IndexOf(entry);
    if (modType >= 1 && modType <= 4) {
      editor.SetText(index, ModifyLine(regex, editor.Text(index), modType, replacement, literal));
    }
  }
  WriteFileSafely(file.FileName(), editor.Compose(), &file.Identity());
}

}  // namespace velmora
