#pragma once

// Tfrm_utama: the main window as a controller. It holds the state of every control as plain
// members named like the controls and implements the window's handlers: the search run and
// result list, the preview of a row, the window's layout rules and what it keeps between runs.
// It never draws; the view copies these members to its widgets after each handler and calls
// the handlers on user input. Everything outside goes through the ports.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/Form.h"
#include "app/RowOrder.h"
#include "app/RunFilters.h"
#include "base/DateTime.h"
#include "engines/ActiveEngine.h"
#include "modify/ModificationDriver.h"
#include "modify/Un_BackUp_Manager.h"
#include "modify/Un_Copy_Msg.h"
#include "modify/Un_Mod.h"
#include "modify/Un_Rename_Files.h"
#include "ports/Dialogs.h"
#include "ports/EventPump.h"
#include "ports/KeyStore.h"
#include "ports/KnownFolders.h"
#include "ports/Locale.h"
#include "ports/Shell.h"
#include "ports/Viewer.h"
#include "settings/Un_MyRegistry.h"

namespace velmora {

class TMyFindFile;
class TSearchRec;

// Everything the window reaches outside itself. All must outlive the window.
struct TMainWindowPorts {
  KeyStore& keys;
  const Locale& locale;
  Shell& shell;
  Viewer& viewer;
  Dialogs& dialogs;
  Forms& forms;
  EventPump& pump;
  KnownFolders& folders;
  RegistryEnvironment environment;
};

// Pages of PageControl1.
inline constexpr int kPageFind = 0;
inline constexpr int kPageReplace = 1;

// The preview page written into data_folder.
inline constexpr const char* kPreviewFileName = "List_View.html";
// The user guide beside the executable, or in this folder relative to it once installed.
inline constexpr const char* kHelpFileName = "Help.html";
inline constexpr const char* kInstalledHelpFolder = "../share/velmora/";

// Patterns of the regular-expression example buttons, by caption.
inline constexpr const char* kPhoneCaption = "Phone Number";
inline constexpr const char* kUrlCaption = "Internet Url";
inline constexpr const char* kEmailCaption = "e-Mail Address";
inline constexpr const char* kPhonePattern = R"((\+\d *)?(\(\d+\) *)?(\d+(-\d*)*))";
inline constexpr const char* kUrlPattern =
    R"((FTP|HTTP)://([_a-z\d\-]+(\.[_a-z\d\-]+)+)((/[ _a-z\d\-\\\.]+)+)*)";
inline constexpr const char* kEmailPattern =
    R"([_a-zA-Z\d\-\.]+@([_a-zA-Z\d\-]+(\.[_a-zA-Z\d\-]+)+))";

struct TPageControl : TControl {
  TTabSheet TabSheet1{"Find", true};
  TTabSheet TabSheet2{"Search and Replace", true};
  int ActivePageIndex = kPageFind;
};

class Tfrm_utama : public TForm {
 public:
  explicit Tfrm_utama(TMainWindowPorts ports);
  ~Tfrm_utama() override;
  Tfrm_utama(const Tfrm_utama&) = delete;
  Tfrm_utama& operator=(const Tfrm_utama&) = delete;

  // ---- Controls shared by both pages ----
  TComboBox cmb_path;
  TComboBox cmb_mask;
  TButton btn_browse;
  TCheckBox is_case_sensitive;
  TCheckBox is_whole_words;
  TCheckBox is_search_in_result;
  TPanel Panel2;
  TPageControl PageControl1;
  TSplitter Splitter1;
  TListView ListView1;
  TImageList ImageList1;
  TStatusBar StatusBar1;

  // ---- Page "Find" ----
  TRadioGroup RG_Type;
  TComboBox cmb_query;
  TMemo Memo_Query;
  TGroupBox RegExpExample;
  TButton btn_regexp_phone;
  TButton btn_regxp_url;
  TButton btn_regxp_email;
  TButton btn_find;
  TButton btn_stop;

  // ---- Page "Search and Replace" ----
  TRadioGroup RG_Type_1;
  TComboBox cmb_query_1;
  TMemo Memo_Query_1;
  TLabel Label5;
  TComboBox cmb_replace;
  TMemo Memo_Replace;
  TRadioGroup RG_Mod;
  TGroupBox RegExprExample_1;
  TButton btn_regxp_phone_1;
  TButton btn_regxp_email_1;
  TButton btn_regxp_url_1;
  TButton btn_find_1;
  TButton btn_stop_1;
  TButton btn_undo;
  TButton btn_mod_slc;
  TButton btn_mod_all;
  TButton btn_del_items;

  // ---- Row commands ----
  TButton exec_file;
  TButton edt_file;

  // ---- MainMenu1 ----
  TMenuItem File1{"File"};
  TMenuItem ExecuteFile1{"Execute File"};
  TMenuItem EditFile1{"Edit File"};
  TMenuItem Select1{"Select"};
  TMenuItem SelectAll1{"Select All"};
  TMenuItem Deselect1{"Deselect"};
  TMenuItem CopyFiles1{"Copy Files"};
  TMenuItem RenameFiles1{"Rename Files"};
  TMenuItem DeleteFiles1{"Delete Files"};
  TMenuItem ModificationInterfal1{"Modification Interfal"};
  TMenuItem EraseBackup1{"Backups Manager "};
  TMenuItem Settings1{"Settings"};
  TMenuItem Exit1{"Exit"};
  TMenuItem Report1{"Report"};
  TMenuItem SaveList1{"Save List"};
  TMenuItem SaveLines1{"Save Lines"};
  TMenuItem Project1{"Project"};
  TMenuItem Option1{"Option"};
  TMenuItem Help1{"Help"};
  TMenuItem Contents1{"Contents"};
  TMenuItem About1{"About"};

  // ---- Members created by FormShow ----
  std::string program_folder;
  std::string personal_folder;
  std::string data_folder;
  std::unique_ptr<TMy_Registry> registry;
  std::unique_ptr<TMyFindFile> finder;
  std::unique_ptr<Tmy_phrase> phrase;
  std::unique_ptr<Tmy_wordor> wordor;
  std::unique_ptr<Tmy_wordand> wordand;
  std::unique_ptr<Tmy_searchengine> searchengine;
  std::unique_ptr<Tmy_multiline> multiline;
  std::unique_ptr<Tmy_regexpr> regexpr;
  std::vector<std::string> last_backups;
  std::int32_t found_count = 0;
  // The modal windows opened from the menu "File" (made once the store exists).
  std::unique_ptr<Tfrm_mod> frm_mod;
  std::unique_ptr<TFrm_BackUp_Manager> Frm_BackUp_Manager;
  std::unique_ptr<Tfrm_copy_msg> frm_copy_msg;
  std::unique_ptr<Tfrm_ren_files> frm_ren_files;
  // The answer of frm_copy_msg, read by the copy loop.
  TCopyAnswer copy_answer;

  // The clock of the date filter; the local time by default.
  std::function<TDateTime()> Now;
  // A steady clock in seconds, for the time a run takes.
  std::function<double()> Seconds;

  // ---- Handlers: window ----
  void FormShow() override;
  // Runs once however often the window is closed; also during a run (the run then ends).
  void FormClose() override;
  void Exit1Click();
  void Contents1Click();
  void About1Click();
  // The Option and Settings dialogs, shown modally over the settings store.
  void Option1Click();
  void Settings1Click();

  // ---- Handlers: search run ----
  void btn_findClick();
  void btn_stopClick();
  void FileFound(TMyFindFile& sender, const std::string& path, const TSearchRec& rec, bool& stop);
  bool PassesFilters(const std::string& path, const TSearchRec& rec);
  // path: the file's folder, ending with the delimiter; fullName: path and the name.
  void AddResultRow(const std::string& path, const std::string& fullName, const TSearchRec& rec);
  void SearchFinished(TMyFindFile& sender);
  void EnableInputs(bool flag);
  static bool InComboList(const std::vector<std::string>& items, const std::string& text);
  void ProcessPending();
  // Panel 2 during a run: the files examined and the whole seconds so far. The view calls it
  // when it brings the widgets up to date, so the text costs nothing per file or line.
  void ShowRunProgress();

  // ---- Handlers: result list and preview ----
  void ListView1SelectItem(int item, bool selected);
  // The order of two rows: the locale's collation of their captions, case-sensitive.
  int ListView1Compare(const TListItem& item1, const TListItem& item2) const;
  void exec_fileClick();
  void edt_fileClick();
  void cmb_queryChange();

  // ---- Handlers: layout ----
  void RG_TypeClick();
  void RG_Type_1Click();
  void PageControl1Change();
  void RG_ModClick();
  void btn_browseClick();
  void btn_regexp_phoneClick(const TButton& sender);
  void btn_regxp_phone_1Click(const TButton& sender);

  // ---- Handlers: modification ----
  void btn_mod_slcClick() { ModifySelected(); }
  void btn_mod_allClick() { ModifyAll(); }
  void btn_undoClick() { Undo(); }
  void btn_del_itemsClick() { DeleteItems(); }
  void ModifySelected();
  void ModifyAll();
  void Undo();
  void DeleteItems();
  void ModificationInterfal1Click();
  void EraseBackup1Click();

  // ---- Handlers: reports and list selection ----
  void SaveList1Click();
  void SaveLines1Click();
  void Select1Click();
  void SelectAll1Click();
  void Deselect1Click();
  // The list file of the rows in list order: a header and one line per row, columns padded
  // to a common width, every line ended by CR LF.
  std::string ListFileText() const;

  // ---- Handlers: file operations on the selected rows ----
  void CopyFiles1Click();
  void RenameFiles1Click();
  // Sends the selected rows' files to the trash after a confirmation; a row goes only when its
  // file reached the trash, and the files that did not are named in one message.
  void DeleteFiles1Click();
  // True while a modification run or an Undo is in progress.
  bool Modifying() const { return modifying_; }

  // Changes the selection state of one row as a click would: the list's selection-change
  // event (ListView1SelectItem) runs when the state changed.
  void SelectRow(int item, bool selected);
  // The full name of a row: its folder with a trailing "/" and its caption.
  static std::string FullName(const TListItem& item);
  // True once FormClose has run.
  bool Closed() const { return closed_; }
  // The full name of the preview page.
  std::string PreviewFile() const;
  // Texts of a row.
  std::string TimeText(std::int32_t file_date) const;
  std::string SizeText(std::int64_t size) const;
  // value in a printf format with one "%f", the point as the user's decimal separator.
  std::string LocaleNumber(const char* format, double value) const;

 private:
  void CreateMembers();
  void RestoreState();
  void StoreState();
  // The window's place, the splitter and the column widths, kept as extra values of the store.
  void RestorePlacement();
  void StorePlacement();
  // A number kept by its stored name; `positive`: other stored values are not taken.
  struct KeptNumber {
    std::string name;
    int* value;
    bool positive;
  };
  std::vector<KeptNumber> PlacementValues();
  void SetAllStops(bool value);
  void RememberText(TComboBox& combo);
  bool StartRun();
  void RunOnce();
  void RestoreAfterRun();
  void EnableRowCommands();
  // Sets the enabled state of every row and list command from commands_.
  void UpdateCommands();
  bool QueryEmpty(int page, int type) const;
  void TakeRunSnapshot();
  bool SearchWithEngine(const std::string& fileName);
  void FolderNotRead(const std::string& folder, int error);
  std::string RunTotalText() const;
  // The search type of an item of the page's type group; none for an item out of range.
  static std::optional<SearchType> SearchTypeOf(int page, int type);
  ActiveEngine EngineOf(SearchType type);
  // The query and options of the page's boxes and the stored options, as the engine takes them.
  EngineOptions CurrentEngineOptions(int page, SearchType type) const;
  void ApplySelectedRowIntervals(ActiveEngine& engine);
  void Preview(int item);
  void SortRows();
  void StartRowOrder();
  void SetEditBoxState(TComboBox& combo, TMemo& memo, bool enabled);
  void FinishTypeChange();
  void ShowMissingQuote();
  void RunModification(bool selectedOnly);
  void UpdateBackupsMenu();
  void RefreshPreview();
  bool CommandsBusy() const { return Busy(); }
  // Selects (or deselects) every row whose caption matches a mask asked of the user.
  void SelectByMask(bool select);
  // Asks whether dst may be replaced by src unless "Yes to All" was given; false when the
  // copy loop is to stop.
  bool MayReplace(const std::string& src, bool& replace);

  TMainWindowPorts ports_;
  // What a run uses, taken once when it starts (the inputs and option menus are disabled
  // while it runs). The engine is filled at its first file.
  struct RunSnapshot {
    RunFilters filters;
    std::optional<SearchType> type;
    EngineOptions engine;
    bool queryEmpty = true;
    bool engineFilled = false;
  };
  RunSnapshot run_;
  // What panel 2 tells of the current or last run.
  struct RunProgress {
    bool running = false;
    bool searchingFile = false;   // inside the run's engine call (not a preview)
    std::int64_t examined = 0;    // files the finder reported
    std::int64_t unreadable = 0;  // folders and files that could not be read
    double started = 0;
    std::string startFolderError;  // why the start folder could not be walked
    std::string fileName;          // the reported file's full name, its buffer kept
  };
  RunProgress progress_;
  // What the enabling of the row and list commands follows.
  struct CommandState {
    bool rowShown = false;        // a row was previewed since the last run or type change
    bool selectCommands = false;  // "Select" and "Select All"
    bool listSaved = false;       // "Save List"
    bool deleteItems = false;     // "Delete Items"
  };
  CommandState commands_;
  TModificationDriver modification_;
  bool modifying_ = false;  // a modification run or an Undo, its preview included
  bool closed_ = false;
  bool shown_ = false;

  // The sorted order of the rows of the current run, kept while the rows are added so that
  // the end of a run (a Stop included) need not sort them all at once.
  RowOrder order_;
  std::uint64_t orderGeneration_ = 0;
};

}  // namespace velmora
