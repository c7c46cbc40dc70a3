// The main window's reports ("Save List", "Save Lines") and its selection of rows by mask.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <exception>

#include "app/Un_Utama.h"
#include "engines/Un_Tambahan.h"
#include "find/Masks.h"
#include "modify/BackupFiles.h"

namespace velmora {

namespace {

constexpr std::array<const char*, 4> kListColumns = {"Name", "Path", "Time", "Size"};
constexpr const char* kColumnGap = "  ";
constexpr const char* kLineBreak = "\r\n";

// The texts of the four listed columns of a row: caption and the first three sub-items.
std::array<std::string, 4> ColumnTexts(const TListItem& item) {
  std::array<std::string, 4> texts{item.Caption};
  for (std::size_t i = 0; i < 3 && i < item.SubItems.size(); ++i) texts[i + 1] = item.SubItems[i];
  return texts;
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string ListLine(const std::array<std::string, 4>& cells) {
  std::string line = cells[0];
  for (std::size_t i = 1; i < cells.size(); ++i) line += kColumnGap + cells[i];
  return line + kLineBreak;
}

// Makes sure the list file can be created where the user chose, with the system's message.
void CheckCreatable(const std::string& fileName, bool& created) {
  created = ::access(fileName.c_str(), F_OK) != 0;
  const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    throw EFileError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
  }
  ::close(fd);
}

}  // namespace

std::string Tfrm_utama::ListFileText() const {
  std::array<std::size_t, 4> widths{1, 1, 1, 1};
  for (const TListItem& item : ListView1.Items) {
    const auto texts = ColumnTexts(item);
    for (std::size_t i = 0; i < texts.size(); ++i)
      widths[i] = std::max(widths[i], texts[i].size() + 1);
  }
  std::array<std::string, 4> header;
  for (std::size_t i = 0; i < header.size(); ++i) header[i] = Padded(kListColumns[i], widths[i]);
  std::string text = ListLine(header);
  for (const TListItem& item : ListView1.Items) {
    auto cells = ColumnTexts(item);
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = Padded(cells[i], widths[i]);
    text += ListLine(cells);
  }
  return text;
}

void Tfrm_utama::SaveList1Click() {
  if (CommandsBusy()) return;
  const std::string text = ListFileText();
  std::string chosen;
  if (!ports_.dialogs.SaveFile("Save List", "File List (*.lst)", personal_folder, "lst", chosen))
    return;
  bool created = false;
  try {
    CheckCreatable(chosen, created);
    WriteFileSafely(chosen, text);
  } catch (const EFileError& error) {
    // A list file that could not be written is not left behind empty.
    if (created) ::unlink(chosen.c_str());
    ports_.dialogs.MessageBox(error.what(), Caption, MsgKind::Error, MsgButtons::Ok);
  }
}

void Tfrm_utama::SaveLines1Click() {
  if (CommandsBusy()) return;
  std::string chosen;
  if (!ports_.dialogs.SaveFile("Save Lines", "HTML File (*.html)", personal_folder, "html", chosen))
    return;
  // A complete copy replaces the chosen file in one step; without a page to copy, or when the
  // copy fails, the chosen file stays as it was. Failures are not reported.
  CopyFileOver(PreviewFile(), chosen);
}

void Tfrm_utama::SelectByMask(bool select) {
  if (CommandsBusy()) return;
  std::string mask;
  if (!ports_.dialogs.InputQuery("Mask", "Please specify the mask", mask) || mask.empty()) return;
  try {
    const TMask compiled(mask);
    for (std::size_t i = 0; i < ListView1.Items.size(); ++i) {
      if (compiled.Matches(ListView1.Items[i].Caption)) SelectRow(static_cast<int>(i), select);
    }
  } catch (const EMaskError& error) {
    ports_.dialogs.MessageBox(error.what(), Caption, MsgKind::Error, MsgButtons::Ok);
  }
}

void Tfrm_utama::Select1Click() {
  SelectByMask(true);
}

void Tfrm_utama::Deselect1Click() {
  SelectByMask(false);
}

void Tfrm_utama::SelectAll1Click() {
  if (CommandsBusy()) return;
  for (std::size_t i = 0; i < ListView1.Items.size(); ++i) SelectRow(static_cast<int>(i), true);
}

}  // namespace velmora
