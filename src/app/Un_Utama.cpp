#include "app/Un_Utama.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <span>
#include <system_error>

#include "app/AboutBox.h"
#include "base/Paths.h"
#include "engines/ActiveEngine.h"
#include "engines/Un_Tambahan.h"
#include "find/DosDateTime.h"
#include "find/Masks.h"
#include "find/Un_MyFindFile.h"
#include "settings/DateFormat.h"
#include "settings/Un_Option.h"
#include "settings/Un_Settings.h"

namespace velmora {

namespace {

// Raises a flag for the life of the scope, also when the command throws.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

// Search types of RG_Type ("Find") and RG_Type_1 ("Search and Replace").
enum FindType {
  kPhrase = 0,
  kWordOr = 1,
  kWordAnd = 2,
  kSearchEngine = 3,
  kMultiline = 4,
  kRegExpr = 5
};
enum ReplaceType { kReplacePhrase = 0, kReplaceMultiline = 1, kReplaceRegExpr = 2 };
// Modification types of RG_Mod.
enum ModType { kModNone = 0, kModReplace = 1, kModInsertAfter = 3, kModClear = 5 };

const std::vector<std::string> kFindTypes = {"Phrase",        "Word: or",  "Word: and",
                                             "Search Engine", "Multiline", "Reg Expr"};
const std::vector<std::string> kReplaceTypes = {"Phrase", "Multiline", "Reg Expr"};
const std::vector<std::string> kModTypes = {"None",         "Replace", "Insert Before",
                                            "Insert After", "Delete",  "Clear"};

// Recently used lists: control and stored prefix, in the order they are restored and stored.
struct MruBinding {
  TComboBox Tfrm_utama::*combo;
  const char* prefix;
};
constexpr MruBinding kMruLists[] = {{&Tfrm_utama::cmb_path, "ComboBoxPath"},
                                    {&Tfrm_utama::cmb_mask, "MasksComboBox"},
                                    {&Tfrm_utama::cmb_query, "FindEditComboBox"},
                                    {&Tfrm_utama::cmb_query_1, "SearchEdit"},
                                    {&Tfrm_utama::cmb_replace, "Edit2"}};

// The user guide beside the executable (a build folder), else in the data folder of the
// installed prefix; the name beside the executable when neither exists.
std::string HelpFileIn(const std::string& program_folder) {
  const std::string beside = program_folder + kHelpFileName;
  const std::string installed =
      std::filesystem::path(program_folder + kInstalledHelpFolder + kHelpFileName)
          .lexically_normal()
          .string();
  std::error_code error;
  if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error)) {
    return installed;
  }
  return beside;
}

// Layout of the page "Find" by search type.
struct FindLayout {
  bool memo;
  int panelHeight;
  bool examples;
};
constexpr FindLayout kFindLayouts[] = {{false, 130, false}, {false, 130, false},
                                       {false, 130, false}, {false, 130, false},
                                       {true, 170, false},  {true, 220, true}};

// Layout of the page "Search and Replace" by search type.
struct ReplaceLayout {
  bool memo;
  int panelHeight;
  bool examples;
  bool clearItem;
};
constexpr ReplaceLayout kReplaceLayouts[] = {
    {false, 170, false, true}, {true, 240, false, true}, {true, 300, true, false}};

constexpr int kFindExamplesTop = 110;
constexpr int kReplaceExamplesTop = 180;
constexpr int kReplaceLabelTop = 80;
constexpr int kMemoGap = 50;

// Why a start folder could not be walked, as panel 2 shows it.
std::string FolderErrorText(int error) {
  if (error == ENOENT || error == ENOTDIR) return "Folder does not exist";
  if (error == EACCES || error == EPERM) return "Permission denied";
  return std::strerror(error);
}

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void PlaceMemoOver(TMemo& memo, const TComboBox& combo) {
  memo.Bounds.Left = combo.Bounds.Left;
  memo.Bounds.Top = combo.Bounds.Top;
  memo.Bounds.Width = combo.Bounds.Width;
  memo.Bounds.Height = combo.Bounds.Height * 3;
}

}  // namespace

Tfrm_utama::Tfrm_utama(TMainWindowPorts ports)
    : TForm("Velmora", 850, 723), ports_(std::move(ports)) {
  Now = [] { return velmora::Now(); };
  Seconds = SteadySeconds;

  cmb_path.Text = "C:\\";
  cmb_mask.Text = "*.*";
  btn_browse.Caption = "Browse";
  is_case_sensitive.Caption = "Case Sensitive";
  is_whole_words.Caption = "Whole Words";
  is_search_in_result.Caption = "Search in Results";
  is_search_in_result.Enabled = false;

  RG_Type.Caption = "Search Type";
  RG_Type.Items = kFindTypes;
  RG_Type.ItemIndex = 0;
  RG_Type_1.Caption = "Search Type";
  RG_Type_1.Items = kReplaceTypes;
  RG_Type_1.ItemIndex = 0;
  RG_Mod.Caption = "Modification Type";
  RG_Mod.Items = kModTypes;
  RG_Mod.ItemIndex = 0;

  // Form positions of the boxes the layout rules move (inside their page).
  cmb_query.Bounds = {136, 8, 250, 21};
  cmb_query_1.Bounds = {136, 8, 250, 21};
  cmb_replace.Bounds = {136, kReplaceLabelTop, 250, 21};
  Label5.Caption = "To Replace or Insert";
  Label5.Bounds.Top = kReplaceLabelTop;
  Memo_Query.Visible = false;
  Memo_Query_1.Visible = false;
  Memo_Replace.Visible = false;
  PlaceMemoOver(Memo_Query, cmb_query);
  PlaceMemoOver(Memo_Query_1, cmb_query_1);
  Panel2.Bounds.Height = 130;

  RegExpExample.Caption = "Examples";
  RegExpExample.Visible = false;
  RegExprExample_1.Caption = "Examples";
  RegExprExample_1.Visible = false;
  btn_regexp_phone.Caption = btn_regxp_phone_1.Caption = kPhoneCaption;
  btn_regxp_url.Caption = btn_regxp_url_1.Caption = kUrlCaption;
  btn_regxp_email.Caption = btn_regxp_email_1.Caption = kEmailCaption;

  cmb_replace.Enabled = false;
  cmb_replace.InactiveColor = true;
  Memo_Replace.Enabled = false;
  Memo_Replace.InactiveColor = true;

  btn_find.Caption = btn_find_1.Caption = "Find";
  btn_stop.Caption = btn_stop_1.Caption = "Stop";
  btn_stop.Enabled = false;
  btn_undo.Caption = "Undo";
  btn_mod_slc.Caption = "Modify Selected";
  btn_mod_all.Caption = "Modify All";
  btn_del_items.Caption = "Delete Items";
  exec_file.Caption = "Execute File";
  edt_file.Caption = "Edit File";
  for (TButton* b : {&btn_undo, &btn_mod_slc, &btn_mod_all}) b->Enabled = false;
  ModificationInterfal1.Enabled = EraseBackup1.Enabled = false;
  UpdateCommands();

  ListView1.Columns = {{"Name", 160}, {"Path", 220}, {"Time", 120}, {"Size", 90}, {"Mod", 60}};
  StatusBar1.Panels = {{"", 150}, {"", 400}, {"", 50}};
}

Tfrm_utama::~Tfrm_utama() = default;

// ---------------------------------------------------------------- window

void Tfrm_utama::FormShow() {
  if (shown_) return;
  shown_ = true;
  program_folder = WithTrailingDelim(ports_.folders.ProgramFolder());
  personal_folder = WithTrailingDelim(ports_.folders.PersonalFolder());
  data_folder = WithTrailingDelim(ports_.folders.AppDataFolder()) + "Velmora";
  // Missing parents are made too (a fresh account may have no data folder at all); a folder
  // that cannot be made only makes previews fail.
  std::error_code ignored;
  std::filesystem::create_directories(data_folder, ignored);
  CreateMembers();
  RestoreState();
  PageControl1.ActivePageIndex = kPageFind;
  RG_TypeClick();
  found_count = 0;
  if (const std::string kept = ports_.keys.TakeKeptCopy(); !kept.empty()) {
    ports_.dialogs.MessageBox("The settings file could not be read. It was kept as \"" + kept +
                                  "\" and the settings start anew.",
                              Caption, MsgKind::Warning, MsgButtons::Ok);
  }
}

void Tfrm_utama::CreateMembers() {
  registry = std::make_unique<TMy_Registry>(ports_.keys, ports_.locale, ports_.environment);
  finder = std::make_unique<TMyFindFile>();
  finder->OnFileFound = [this](TMyFindFile& sender, const std::string& path, const TSearchRec& rec,
                               bool& stop) { FileFound(sender, path, rec, stop); };
  finder->OnFinish = [this](TMyFindFile& sender) { SearchFinished(sender); };
  finder->OnFolderError = [this](TMyFindFile&, const std::string& folder, int error) {
    FolderNotRead(folder, error);
  };
  phrase = std::make_unique<Tmy_phrase>();
  wordor = std::make_unique<Tmy_wordor>();
  wordand = std::make_unique<Tmy_wordand>();
  searchengine = std::make_unique<Tmy_searchengine>();
  multiline = std::make_unique<Tmy_multiline>();
  regexpr = std::make_unique<Tmy_regexpr>();
  const TProgressEvent progress = [this](void*, bool&) { ProcessPending(); };
  phrase->OnProgress = progress;
  wordor->OnProgress = progress;
  wordand->OnProgress = progress;
  searchengine->OnProgress = progress;
  multiline->OnProgress = progress;
  regexpr->OnProgress = progress;
  // The handler only lets messages run, at most every few milliseconds: lines that cannot
  // match need not call it one by one.
  phrase->ProgressByRuns = wordor->ProgressByRuns = wordand->ProgressByRuns = true;
  searchengine->ProgressByRuns = regexpr->ProgressByRuns = true;
  // Counted only for the run's own engine calls: a preview of an unreadable row is no part of it.
  const TFileErrorEvent fileError = [this](const EFileError&) {
    if (progress_.searchingFile) ++progress_.unreadable;
  };
  phrase->OnFileError = wordor->OnFileError = wordand->OnFileError = fileError;
  searchengine->OnFileError = multiline->OnFileError = regexpr->OnFileError = fileError;
  last_backups.clear();
  frm_mod = std::make_unique<Tfrm_mod>(ports_.locale);
  Frm_BackUp_Manager = std::make_unique<TFrm_BackUp_Manager>(
      TBackupManagerPorts{*registry, ports_.shell, ports_.dialogs, ports_.folders});
  frm_copy_msg = std::make_unique<Tfrm_copy_msg>(copy_answer);
  frm_ren_files = std::make_unique<Tfrm_ren_files>(
      TRenameFilesPorts{ports_.shell, ports_.dialogs, ports_.forms});
}

void Tfrm_utama::RestoreState() {
  for (const auto& mru : kMruLists) {
    TComboBox& combo = this->*mru.combo;
    combo.Text = registry->ReadMru(mru.prefix, combo.Items);
  }
  EraseBackup1.Enabled = registry->PurgeBackups() > 0;

  const int findType = registry->ReadInt("FindSearchType");
  if (findType != RG_Type.ItemIndex) {
    RG_Type.ItemIndex = findType;
    RG_TypeClick();
  }
  const int replaceType = registry->ReadInt("SearchSearchType");
  if (replaceType != RG_Type_1.ItemIndex) {
    RG_Type_1.ItemIndex = replaceType;
    RG_Type_1Click();
  }
  const int modType = registry->ReadInt("SearchModType");
  if (modType != RG_Mod.ItemIndex) {
    RG_Mod.ItemIndex = modType;
    RG_ModClick();
  }
  is_case_sensitive.Checked = registry->ReadBool("SensitiveCheckBox");
  is_whole_words.Checked = registry->ReadBool("WholeWordsCheckBox");
  RestorePlacement();
}

std::vector<Tfrm_utama::KeptNumber> Tfrm_utama::PlacementValues() {
  // A place may be anywhere (the view keeps the window on the screen); sizes are positive.
  std::vector<KeptNumber> values = {{"frm_utamaLeft", &Left, false},
                                    {"frm_utamaTop", &Top, false},
                                    {"frm_utamaWidth", &Width, true},
                                    {"frm_utamaHeight", &Height, true},
                                    {"Splitter1Position", &Splitter1.Position, true}};
  for (std::size_t i = 0; i < ListView1.Columns.size(); ++i)
    values.push_back(
        {"ListView1Column" + std::to_string(i) + "Width", &ListView1.Columns[i].Width, true});
  return values;
}

void Tfrm_utama::RestorePlacement() {
  for (const KeptNumber& kept : PlacementValues()) {
    const std::optional<int> stored = registry->ReadExtraInt(kept.name);
    if (stored && (!kept.positive || *stored > 0)) *kept.value = *stored;
  }
}

void Tfrm_utama::StorePlacement() {
  registry->WriteTogether([this] {
    for (const KeptNumber& kept : PlacementValues())
      registry->WriteExtraInt(kept.name, *kept.value);
  });
}

void Tfrm_utama::FormClose() {
  if (closed_) return;
  closed_ = true;
  SetAllStops(true);
  if (registry) StoreState();
  ports_.pump.ProcessPending();
}

void Tfrm_utama::StoreState() {
  for (const auto& mru : kMruLists) {
    const TComboBox& combo = this->*mru.combo;
    registry->WriteMru(mru.prefix, combo.Items, combo.Text);
  }
  registry->WriteInt("FindSearchType", RG_Type.ItemIndex);
  registry->WriteInt("SearchSearchType", RG_Type_1.ItemIndex);
  registry->WriteInt("SearchModType", RG_Mod.ItemIndex);
  registry->WriteBool("SensitiveCheckBox", is_case_sensitive.Checked);
  registry->WriteBool("WholeWordsCheckBox", is_whole_words.Checked);
  registry->AddBackups(last_backups);
  StorePlacement();
}

void Tfrm_utama::Exit1Click() {
  Close();
}

void Tfrm_utama::Contents1Click() {
  ports_.shell.OpenFile(HelpFileIn(program_folder));
}

void Tfrm_utama::Option1Click() {
  Tfrm_option option(*registry, ports_.dialogs, ports_.locale);
  ports_.forms.ShowModal(option);
}

void Tfrm_utama::Settings1Click() {
  Tfrm_settings settings(*registry, ports_.dialogs, ports_.forms, ports_.folders);
  ports_.forms.ShowModal(settings);
}

void Tfrm_utama::About1Click() {
  TAboutBox about;
  about.OnHelp = [this] { Contents1Click(); };
  ports_.forms.ShowModal(about);
}

// ---------------------------------------------------------------- search run

bool Tfrm_utama::InComboList(const std::vector<std::string>& items, const std::string& text) {
  return std::find(items.begin(), items.end(), text) != items.end();
}

void Tfrm_utama::RememberText(TComboBox& combo) {
  if (!combo.Text.empty() && !InComboList(combo.Items, combo.Text))
    combo.Items.push_back(combo.Text);
}

void Tfrm_utama::ShowMissingQuote() {
  ports_.dialogs.MessageBox("Missing \"", Caption, MsgKind::Warning, MsgButtons::Ok);
}

void Tfrm_utama::SetAllStops(bool value) {
  if (finder) finder->Stop = value;
  if (phrase) {
    phrase->Stop = value;
    wordor->Stop = value;
    wordand->Stop = value;
    searchengine->Stop = value;
    multiline->Stop = value;
    regexpr->Stop = value;
  }
}

void Tfrm_utama::btn_findClick() {
  if (closed_ || !finder || modifying_) return;
  if (Busy()) {
    // Stop re-enables Find while the stopped walk is still unwinding: start the new run once
    // that walk has returned, never a second walk on top of it.
    if (finder->Stop) WhenIdle("btn_findClick", [this] { btn_findClick(); });
    return;
  }
  RunOnce();
  RunDeferred();
}

void Tfrm_utama::RunOnce() {
  try {
    if (!StartRun()) return;
    const BusyScope busy(*this);
    finder->Execute();
  } catch (const std::exception& error) {
    // The walk ended by an error (an invalid mask, an option that is not a number, a file
    // that could not be searched for want of memory): show it once and leave the window as
    // a finished run would. Memory that ran out outside a file's search is told as plainly.
    const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
    ports_.dialogs.MessageBox(outOfMemory ? "Out of memory" : error.what(), Caption, MsgKind::Error,
                              MsgButtons::Ok);
    SearchFinished(*finder);
  }
}

bool Tfrm_utama::StartRun() {
  RememberText(cmb_path);
  RememberText(cmb_mask);
  if (PageControl1.ActivePageIndex == kPageFind) {
    if (!cmb_query.Text.empty()) {
      RememberText(cmb_query);
      if (RG_Type.ItemIndex == kSearchEngine && !searchengine->CheckQuery(cmb_query.Text)) {
        ShowMissingQuote();
        return false;
      }
      PageControl1.TabSheet2.TabVisible = false;
    }
  } else if (!cmb_query_1.Text.empty()) {
    RememberText(cmb_query_1);
    PageControl1.TabSheet1.TabVisible = false;
  }

  SetAllStops(false);

  btn_find.Enabled = btn_find_1.Enabled = false;
  btn_stop.Enabled = btn_stop_1.Enabled = true;
  commands_ = CommandState{};
  UpdateCommands();
  EnableInputs(false);
  btn_undo.Enabled = false;

  found_count = 0;
  StatusBar1.Panels[0].Text = "Found : ";
  StatusBar1.Panels[2].Text.clear();
  progress_ = RunProgress{};
  progress_.running = true;
  progress_.started = Seconds();

  finder->SearchInList = is_search_in_result.Checked;
  if (finder->SearchInList) {
    std::vector<std::string> names;
    names.reserve(ListView1.Items.size());
    for (const auto& item : ListView1.Items) names.push_back(FullName(item));
    finder->SetFileList(names);
  }

  ListView1.Clear();
  modification_.Listed.Clear();
  ListView1.Sorted = false;
  StartRowOrder();
  btn_mod_slc.Enabled = btn_mod_all.Enabled = false;
  ImageList1.Clear();
  ports_.viewer.Navigate(kAboutBlank);

  finder->Path = cmb_path.Text;
  finder->Mask = cmb_mask.Text;
  finder->Recursive = registry->ReadBool("IncludeSubdirectoriesCheckBox");
  TakeRunSnapshot();
  return true;
}

void Tfrm_utama::btn_stopClick() {
  SetAllStops(true);
  btn_stop.Enabled = btn_stop_1.Enabled = false;
  btn_find.Enabled = btn_find_1.Enabled = true;
}

void Tfrm_utama::ProcessPending() {
  ports_.pump.ProcessPending();
}

void Tfrm_utama::FileFound(TMyFindFile&, const std::string& path, const TSearchRec& rec, bool&) {
  // The finder's folder ends with the delimiter; the name is built without a new string per file.
  std::string& fullName = progress_.fileName;
  fullName.assign(path).append(rec.Name);
  StatusBar1.Panels[1].Text.assign(fullName);
  ++progress_.examined;
  ProcessPending();
  if (!PassesFilters(path, rec)) return;
  if (run_.queryEmpty || SearchWithEngine(fullName)) AddResultRow(path, fullName, rec);
}

bool Tfrm_utama::QueryEmpty(int page, int type) const {
  if (page == kPageFind)
    return type <= kSearchEngine ? cmb_query.Text.empty() : Memo_Query.Text().empty();
  return type == kReplacePhrase ? cmb_query_1.Text.empty() : Memo_Query_1.Text().empty();
}

std::optional<SearchType> Tfrm_utama::SearchTypeOf(int page, int type) {
  constexpr SearchType kFind[] = {SearchType::Phrase, SearchType::WordOr,    SearchType::WordAnd,
                                  SearchType::Query,  SearchType::Multiline, SearchType::Regex};
  constexpr SearchType kReplace[] = {SearchType::Phrase, SearchType::Multiline, SearchType::Regex};
  const std::span<const SearchType> types = page == kPageFind
                                                ? std::span<const SearchType>(kFind)
                                                : std::span<const SearchType>(kReplace);
  if (type < 0 || static_cast<std::size_t>(type) >= types.size()) return std::nullopt;
  return types[static_cast<std::size_t>(type)];
}

ActiveEngine Tfrm_utama::EngineOf(SearchType type) {
  return SelectEngine(type, *phrase, *wordor, *wordand, *searchengine, *multiline, *regexpr);
}

EngineOptions Tfrm_utama::CurrentEngineOptions(int page, SearchType type) const {
  const TComboBox& box = page == kPageFind ? cmb_query : cmb_query_1;
  const TMemo& memo = page == kPageFind ? Memo_Query : Memo_Query_1;
  EngineOptions options;
  options.type = type;
  options.caseSensitive = is_case_sensitive.Checked;
  options.wholeWords = is_whole_words.Checked;
  if (type == SearchType::Multiline) {
    options.query = memo.Text();
    options.queryLines = memo.Lines;
    options.trimRight = registry->ReadBool("TrimRightCheckBox");
    options.trimLeft = registry->ReadBool("TrimLeftCheckBox");
  } else if (type == SearchType::Regex) {
    options.query = memo.Text();
    options.dotAll = registry->ReadBool("ExpPointCheckBox");
    options.ignoreSpace = registry->ReadBool("ExpSpaceCheckBox");
  } else {
    options.query = box.Text;
  }
  return options;
}

void Tfrm_utama::TakeRunSnapshot() {
  const int page = PageControl1.ActivePageIndex;
  const int type = page == kPageFind ? RG_Type.ItemIndex : RG_Type_1.ItemIndex;
  run_ = RunSnapshot{};
  run_.filters = RunFilters::Read(*registry, is_search_in_result.Checked, page == kPageReplace);
  run_.queryEmpty = QueryEmpty(page, type);
  run_.type = SearchTypeOf(page, type);
  if (!run_.type || run_.queryEmpty) return;
  run_.engine = CurrentEngineOptions(page, *run_.type);
  if (page == kPageReplace) {
    // The run on this page decides whether the page marks chosen lines.
    if (*run_.type == SearchType::Phrase) {
      run_.engine.useIntervals = registry->ReadBool("PhraseXPCheckBox");
    } else if (*run_.type == SearchType::Regex) {
      run_.engine.useIntervals =
          registry->ReadBool("RegExprXPCheckBox") && registry->ReadBool("ModifyXPCheckBox");
    }
  }
  // A query the engine cannot compile would fail every file: say why instead.
  CheckQueryCompiles(run_.engine);
}

bool Tfrm_utama::SearchWithEngine(const std::string& fileName) {
  if (!run_.type) return false;
  ActiveEngine engine = EngineOf(*run_.type);
  if (!run_.engineFilled) {
    engine.Fill(run_.engine);
    if (PageControl1.ActivePageIndex == kPageReplace)
      ModificationInterfal1.Enabled = run_.engine.useIntervals.value_or(false);
    run_.engineFilled = true;
  }
  const FlagScope searching(progress_.searchingFile);
  return engine.Search(fileName);
}

void Tfrm_utama::FolderNotRead(const std::string& folder, int error) {
  if (progress_.examined == 0 && folder == WithTrailingDelim(finder->Path)) {
    progress_.startFolderError = FolderErrorText(error);
  } else {
    ++progress_.unreadable;
  }
}

void Tfrm_utama::ShowRunProgress() {
  if (!progress_.running) return;
  const auto seconds = static_cast<long long>(Seconds() - progress_.started);
  StatusBar1.Panels[2].Text =
      std::to_string(progress_.examined) + " files examined, " + std::to_string(seconds) + " s";
}

std::string Tfrm_utama::RunTotalText() const {
  std::string text = std::to_string(progress_.examined) + " files examined in " +
                     LocaleNumber("%.1f", Seconds() - progress_.started) + " s";
  if (progress_.unreadable > 0) text += ", " + std::to_string(progress_.unreadable) + " unreadable";
  return text;
}

bool Tfrm_utama::PassesFilters(const std::string& path, const TSearchRec& rec) {
  const RunFilters& filters = run_.filters;
  const TDateTime now = filters.dateFilter && filters.daysAgo ? Now() : 0;
  return filters.Passes(path, rec, now);
}

std::string Tfrm_utama::TimeText(std::int32_t file_date) const {
  TDateTime t = 0;
  try {
    t = FileDateToDateTime(file_date);
  } catch (const EFileDateError&) {
    return {};
  }
  return FormatDateTime(ports_.locale.ShortDateFormat(), t) + " " +
         FormatDateTime(ports_.locale.ShortTimeFormat(), t);
}

std::string Tfrm_utama::SizeText(std::int64_t size) const {
  return LocaleNumber("%.4f KB", static_cast<double>(size) / 1024.0);
}

std::string Tfrm_utama::LocaleNumber(const char* format, double value) const {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  std::string text = buffer;
  const auto point = text.find('.');
  if (point != std::string::npos) text[point] = ports_.locale.DecimalSeparator();
  return text;
}

void Tfrm_utama::AddResultRow(const std::string& path, const std::string& fullName,
                              const TSearchRec& rec) {
  TListItem item;
  item.Caption = NameOf(rec.Name);
  item.SubItems = {path, TimeText(rec.Time()), SizeText(rec.Size()), "No"};
  item.ImageIndex = ImageList1.Add(GetFileIcon(ports_.shell, fullName, true));
  ListView1.Items.push_back(std::move(item));
  // The status just read for the row's time and size: no second look at the file.
  modification_.Listed.Note(fullName, rec.Identity());
  // Rows removed or reordered since the run began end the running order (a full sort follows).
  if (ListView1.Generation == orderGeneration_) {
    order_.Add(ListView1.Items.back().Caption);
  } else {
    order_.Clear();
  }
  ++found_count;
  StatusBar1.Panels[0].Text = "Found : " + std::to_string(found_count);
}

int Tfrm_utama::ListView1Compare(const TListItem& item1, const TListItem& item2) const {
  return ports_.locale.CompareStrings(item1.Caption, item2.Caption, false);
}

void Tfrm_utama::StartRowOrder() {
  order_.Start(ports_.locale);
  orderGeneration_ = ListView1.Generation;
}

void Tfrm_utama::SortRows() {
  // The order kept during the run holds when the rows are still exactly the run's rows;
  // otherwise the rows are sorted anew. Equal captions keep their order either way.
  std::vector<std::size_t> order;
  if (ListView1.Generation == orderGeneration_ && order_.Active() &&
      order_.Size() == ListView1.Items.size()) {
    order = order_.Finish();
  } else {
    order_.Clear();
    std::vector<std::string_view> captions;
    captions.reserve(ListView1.Items.size());
    for (const TListItem& item : ListView1.Items) captions.emplace_back(item.Caption);
    order = SortedOrder(ports_.locale, captions);
  }
  std::vector<TListItem> sorted;
  sorted.reserve(ListView1.Items.size());
  for (std::size_t index : order) sorted.push_back(std::move(ListView1.Items[index]));
  ListView1.Items = std::move(sorted);
  ListView1.Sorted = true;
  ListView1.Touch();
}

void Tfrm_utama::SearchFinished(TMyFindFile&) {
  StatusBar1.Panels[1].Text.clear();
  progress_.running = false;
  StatusBar1.Panels[2].Text =
      progress_.startFolderError.empty() ? RunTotalText() : progress_.startFolderError;
  if (found_count > 0) {
    SortRows();
    commands_.selectCommands = commands_.listSaved = true;
    UpdateCommands();
    if (!closed_ && !ListView1.Items.empty()) {
      for (auto& item : ListView1.Items) item.Selected = false;
      SelectRow(0, true);
      ListView1.Focused = true;
    }
  } else {
    StatusBar1.Panels[0].Text = "Not Found";
    commands_.selectCommands = commands_.listSaved = commands_.deleteItems = false;
    UpdateCommands();
  }
  EnableInputs(true);
  RestoreAfterRun();
}

void Tfrm_utama::RestoreAfterRun() {
  btn_find.Enabled = btn_find_1.Enabled = true;
  btn_stop.Enabled = btn_stop_1.Enabled = false;
  PageControl1.TabSheet1.TabVisible = PageControl1.TabSheet2.TabVisible = true;
}

void Tfrm_utama::EnableInputs(bool flag) {
  for (TMenuItem* m : {&File1, &Report1, &Project1, &Help1}) m->Enabled = flag;
  for (TControl* c : std::initializer_list<TControl*>{&RG_Type,
                                                      &cmb_query,
                                                      &Memo_Query,
                                                      &RegExpExample,
                                                      &btn_regexp_phone,
                                                      &btn_regxp_url,
                                                      &btn_regxp_email,
                                                      &RG_Type_1,
                                                      &cmb_query_1,
                                                      &Memo_Query_1,
                                                      &RG_Mod,
                                                      &cmb_replace,
                                                      &Memo_Replace,
                                                      &RegExprExample_1,
                                                      &btn_regxp_phone_1,
                                                      &btn_regxp_email_1,
                                                      &btn_regxp_url_1,
                                                      &cmb_path,
                                                      &cmb_mask,
                                                      &btn_browse,
                                                      &is_case_sensitive,
                                                      &is_whole_words,
                                                      &is_search_in_result})
    c->Enabled = flag;
}

// ---------------------------------------------------------------- list and preview

std::string Tfrm_utama::FullName(const TListItem& item) {
  const std::string folder = item.SubItems.empty() ? std::string() : item.SubItems[0];
  return WithTrailingDelim(folder) + item.Caption;
}

std::string Tfrm_utama::PreviewFile() const {
  return WithTrailingDelim(data_folder) + kPreviewFileName;
}

void Tfrm_utama::SelectRow(int item, bool selected) {
  if (item < 0 || item >= static_cast<int>(ListView1.Items.size())) return;
  TListItem& row = ListView1.Items[static_cast<std::size_t>(item)];
  if (row.Selected == selected) return;
  row.Selected = selected;
  ListView1SelectItem(item, selected);
}

void Tfrm_utama::ListView1SelectItem(int item, bool) {
  if (item < 0 || item >= static_cast<int>(ListView1.Items.size()) || !phrase) return;
  try {
    Preview(item);
  } catch (const EFileError&) {
    // A page that cannot be written leaves the window as it was.
  } catch (const EListError&) {
    // So does a "Mod" value that is no list of lines.
  }
}

void Tfrm_utama::Preview(int item) {
  const std::string fullName = FullName(ListView1.Items[static_cast<std::size_t>(item)]);
  const int page = PageControl1.ActivePageIndex;
  const auto type = SearchTypeOf(page, page == kPageFind ? RG_Type.ItemIndex : RG_Type_1.ItemIndex);
  if (!type) return;
  ActiveEngine engine = EngineOf(*type);
  // A run inside this engine: leave it untouched, its query and stop request included.
  if (!engine.Idle()) return;
  if (!engine.CheckQuery(cmb_query.Text)) {
    ShowMissingQuote();
    return;
  }
  engine.SetStop(false);
  engine.Fill(CurrentEngineOptions(page, *type));
  engine.BuildLines(fullName);
  modification_.Listed.Note(fullName);
  if (page == kPageReplace && engine.HasIntervals()) ApplySelectedRowIntervals(engine);
  const std::string pageFile = PreviewFile();
  engine.WriteLinesView(pageFile, fullName);
  EnableRowCommands();
  ports_.viewer.Navigate(pageFile);
}

void Tfrm_utama::ApplySelectedRowIntervals(ActiveEngine& engine) {
  const int selected = ListView1.SelectedIndex();
  if (selected < 0) return;
  const auto& subItems = ListView1.Items[static_cast<std::size_t>(selected)].SubItems;
  if (subItems.size() > 3 && subItems[3] != "No") engine.SetIntervals(ParseIntervals(subItems[3]));
}

void Tfrm_utama::EnableRowCommands() {
  commands_ = {true, true, true, true};
  UpdateCommands();
  if (RG_Mod.ItemIndex != kModNone) btn_mod_slc.Enabled = btn_mod_all.Enabled = true;
}

void Tfrm_utama::exec_fileClick() {
  const int selected = ListView1.SelectedIndex();
  if (selected < 0) return;
  ports_.shell.OpenFile(FullName(ListView1.Items[static_cast<std::size_t>(selected)]));
}

void Tfrm_utama::edt_fileClick() {
  const int selected = ListView1.SelectedIndex();
  if (selected < 0 || !registry) return;
  // The name goes to the editor as one argument, so no quoting is needed or wanted.
  ports_.shell.StartProgram(registry->ReadStr("Editor"),
                            FullName(ListView1.Items[static_cast<std::size_t>(selected)]));
}

void Tfrm_utama::cmb_queryChange() {
  ProcessPending();
  ports_.viewer.Navigate(kAboutBlank);
  if (phrase) phrase->UseIntervals = false;
  ModificationInterfal1.Enabled = false;
}

// ---------------------------------------------------------------- modification

void Tfrm_utama::ModifySelected() {
  RunModification(true);
}

void Tfrm_utama::ModifyAll() {
  RunModification(false);
}

void Tfrm_utama::RunModification(bool selectedOnly) {
  // A click that reaches the window while a run lets messages run starts nothing.
  if (CommandsBusy() || !registry) return;
  const BusyScope busy(*this);
  const FlagScope modifying(modifying_);
  last_backups.clear();
  RememberText(cmb_replace);
  std::vector<TModificationRow> rows;
  for (const TListItem& item : ListView1.Items) {
    if (selectedOnly && !item.Selected) continue;
    rows.push_back({FullName(item), item.SubItems.size() > 3 ? item.SubItems[3] : kAllLines});
  }
  const auto type = SearchTypeOf(kPageReplace, RG_Type_1.ItemIndex);
  if (type) {
    ModificationOptions modification;
    modification.modType = RG_Mod.ItemIndex;
    modification.replacement = *type == SearchType::Phrase ? cmb_replace.Text : Memo_Replace.Text();
    modification.makeBackup = registry->ReadBool("CreateBackupCheckBox");
    modification.breaks = registry->ReadBool("CrLfCheckBox") ? LineBreaks::CrLf : LineBreaks::Kept;
    modification_.Run(EngineOf(*type), modification, rows, last_backups);
  }
  ProcessPending();
  registry->AddBackups(last_backups);
  UpdateBackupsMenu();
  btn_undo.Enabled = registry->ReadBool("CreateBackupCheckBox");
  RefreshPreview();
}

void Tfrm_utama::Undo() {
  if (CommandsBusy() || !registry) return;
  const BusyScope busy(*this);
  const FlagScope modifying(modifying_);
  modification_.Undo(last_backups);
  UpdateBackupsMenu();
  last_backups.clear();
  btn_undo.Enabled = false;
  RefreshPreview();
}

void Tfrm_utama::UpdateBackupsMenu() {
  EraseBackup1.Enabled = !is_search_in_result.Checked && registry->PurgeBackups() > 0;
}

void Tfrm_utama::RefreshPreview() {
  const int selected = ListView1.SelectedIndex();
  if (selected >= 0) ListView1SelectItem(selected, true);
}

void Tfrm_utama::DeleteItems() {
  if (CommandsBusy()) return;
  auto& rows = ListView1.Items;
  int lowest = -1;
  for (auto i = rows.size(); i-- > 0;) {
    if (!rows[i].Selected) continue;
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
    lowest = static_cast<int>(i);
  }
  if (lowest < 0) return;
  ListView1.Touch();
  commands_.deleteItems = !rows.empty();
  UpdateCommands();
  if (rows.empty()) {
    ports_.viewer.Navigate(kAboutBlank);
    return;
  }
  const int count = static_cast<int>(rows.size());
  SelectRow(lowest == count ? lowest - 1 : lowest, true);
}

void Tfrm_utama::ModificationInterfal1Click() {
  if (CommandsBusy() || !frm_mod) return;
  // The chooser shows the lists of the engine that the last preview filled.
  frm_mod->Source = {false, {}, {}, &ListView1};
  const auto type = SearchTypeOf(kPageReplace, RG_Type_1.ItemIndex);
  if (type && *type != SearchType::Multiline) {
    const ActiveEngine engine = EngineOf(*type);
    frm_mod->Source = {true, engine.LineNumbers(), engine.Intervals(), &ListView1};
  }
  ports_.forms.ShowModal(*frm_mod);
  RefreshPreview();
}

void Tfrm_utama::EraseBackup1Click() {
  if (CommandsBusy() || !Frm_BackUp_Manager) return;
  ports_.forms.ShowModal(*Frm_BackUp_Manager);
}

// ---------------------------------------------------------------- layout

void Tfrm_utama::UpdateCommands() {
  for (TMenuItem* m : {&ExecuteFile1, &EditFile1, &Deselect1, &CopyFiles1, &RenameFiles1,
                       &DeleteFiles1, &SaveLines1})
    m->Enabled = commands_.rowShown;
  exec_file.Enabled = edt_file.Enabled = commands_.rowShown;
  Select1.Enabled = SelectAll1.Enabled = commands_.selectCommands;
  SaveList1.Enabled = commands_.listSaved;
  btn_del_items.Enabled = commands_.deleteItems;
}

void Tfrm_utama::FinishTypeChange() {
  commands_.rowShown = false;
  commands_.selectCommands = true;
  UpdateCommands();
  ports_.viewer.Navigate(kAboutBlank);
}

void Tfrm_utama::RG_TypeClick() {
  const int type = std::clamp(RG_Type.ItemIndex, 0, static_cast<int>(std::size(kFindLayouts)) - 1);
  const FindLayout& layout = kFindLayouts[type];
  cmb_query.Visible = !layout.memo;
  Memo_Query.Visible = layout.memo;
  if (layout.memo) PlaceMemoOver(Memo_Query, cmb_query);
  Panel2.Bounds.Height = layout.panelHeight;
  RegExpExample.Visible = layout.examples;
  if (layout.examples) RegExpExample.Bounds.Top = kFindExamplesTop;
  is_whole_words.Visible = !layout.memo;
  FinishTypeChange();
}

void Tfrm_utama::RG_Type_1Click() {
  const int type =
      std::clamp(RG_Type_1.ItemIndex, 0, static_cast<int>(std::size(kReplaceLayouts)) - 1);
  const ReplaceLayout& layout = kReplaceLayouts[type];
  cmb_query_1.Visible = !layout.memo;
  Memo_Query_1.Visible = layout.memo;
  cmb_replace.Visible = !layout.memo;
  Memo_Replace.Visible = layout.memo;
  PlaceMemoOver(Memo_Query_1, cmb_query_1);
  if (layout.memo) {
    Memo_Replace.Bounds = {cmb_query_1.Bounds.Left, Memo_Query_1.Bounds.Height + kMemoGap,
                           cmb_query_1.Bounds.Width, cmb_query_1.Bounds.Height * 3};
    Label5.Bounds.Top = Memo_Replace.Bounds.Top;
  } else {
    Label5.Bounds.Top = kReplaceLabelTop;
  }
  Panel2.Bounds.Height = layout.panelHeight;
  RegExprExample_1.Visible = layout.examples;
  if (layout.examples) RegExprExample_1.Bounds.Top = kReplaceExamplesTop;
  is_whole_words.Visible = !layout.memo;

  const bool hasClear = RG_Mod.Items.size() > kModClear;
  if (layout.clearItem && !hasClear) {
    RG_Mod.Items.push_back(kModTypes[kModClear]);
  } else if (!layout.clearItem && hasClear) {
    RG_Mod.Items.erase(RG_Mod.Items.begin() + kModClear);
    if (RG_Mod.ItemIndex == kModClear) RG_Mod.ItemIndex = -1;
  }
  RG_ModClick();
  FinishTypeChange();
}

void Tfrm_utama::SetEditBoxState(TComboBox& combo, TMemo& memo, bool enabled) {
  combo.Enabled = memo.Enabled = enabled;
  combo.InactiveColor = memo.InactiveColor = !enabled;
}

void Tfrm_utama::RG_ModClick() {
  const int index = RG_Mod.ItemIndex;
  if (index == kModNone) {
    SetEditBoxState(cmb_replace, Memo_Replace, false);
    btn_mod_slc.Enabled = btn_mod_all.Enabled = false;
  } else if (index >= kModReplace && index <= kModInsertAfter) {
    SetEditBoxState(cmb_replace, Memo_Replace, true);
    btn_mod_all.Enabled = !ListView1.Items.empty();
  } else {
    SetEditBoxState(cmb_replace, Memo_Replace, false);
  }
}

void Tfrm_utama::PageControl1Change() {
  if (PageControl1.ActivePageIndex == kPageFind) {
    RG_TypeClick();
  } else {
    RG_Type_1Click();
  }
  if (phrase) phrase->UseIntervals = false;
  if (regexpr) regexpr->UseIntervals = false;
  ModificationInterfal1.Enabled = false;
  ports_.viewer.Navigate(kAboutBlank);
}

void Tfrm_utama::btn_browseClick() {
  // The picker starts in the folder typed in Path when there is one, and gives back a folder
  // that the walk and the recently used list take as typed: with its trailing delimiter.
  std::error_code error;
  const bool typed = !cmb_path.Text.empty() && std::filesystem::is_directory(cmb_path.Text, error);
  const std::string initial = typed ? cmb_path.Text : ports_.folders.CurrentFolder();
  std::string chosen;
  if (!ports_.dialogs.PickFolder("Select the directory", initial, chosen)) return;
  cmb_path.Text = WithTrailingDelim(chosen);
  ports_.folders.SetCurrentFolder(chosen);
}

namespace {
const char* ExamplePattern(const std::string& caption) {
  if (caption == kPhoneCaption) return kPhonePattern;
  if (caption == kUrlCaption) return kUrlPattern;
  if (caption == kEmailCaption) return kEmailPattern;
  return nullptr;
}
}  // namespace

void Tfrm_utama::btn_regexp_phoneClick(const TButton& sender) {
  if (const char* pattern = ExamplePattern(sender.Caption)) {
    Memo_Query.SetText(pattern);
    cmb_queryChange();
  }
}

void Tfrm_utama::btn_regxp_phone_1Click(const TButton& sender) {
  if (const char* pattern = ExamplePattern(sender.Caption)) {
    Memo_Query_1.SetText(pattern);
    cmb_queryChange();
  }
}

}  // namespace velmora
