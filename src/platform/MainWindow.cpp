#include "platform/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <chrono>

#include "base/Paths.h"
#include "platform/RadioGroup.h"
#include "platform/ResultModel.h"
#include "settings/Un_MyRegistry.h"
#include "velmora_version.h"

namespace velmora {

namespace {

constexpr int kSplitterMinimum = 288;
constexpr std::chrono::milliseconds kRunRefresh{100};
// Column widths of the result list, wide enough for their usual texts.
constexpr int kColumnWidths[] = {160, 220, 120, 90, 60};

template <class W>
W* Make(QWidget* parent, const char* name, QRect geometry = {}) {
  auto* widget = new W(parent);
  widget->setObjectName(QLatin1String(name));
  if (geometry.isValid()) widget->setGeometry(geometry);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* text, QRect geometry) {
  auto* label = new QLabel(QLatin1String(text), parent);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, QRect geometry) {
  auto* combo = Make<QComboBox>(parent, name, geometry);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  return combo;
}

// A group of three example buttons side by side.
QGroupBox* MakeExamples(QWidget* parent, const char* name, const char* const buttons[3],
                        QRect geometry) {
  auto* group = Make<QGroupBox>(parent, name, geometry);
  for (int i = 0; i < 3; ++i) Make<QPushButton>(group, buttons[i], QRect(8 + i * 134, 20, 128, 26));
  return group;
}

}  // namespace

MainWindow::MainWindow(KeyStore& keys, QWidget* parent) : QMainWindow(parent), dialogs_(this) {
  setObjectName(QStringLiteral("frm_utama"));
  BuildWidgets();
  BuildMenu();
  viewer_ = std::make_unique<QtViewer>(browser_);
  controller_ = std::make_unique<Tfrm_utama>(TMainWindowPorts{
      keys, locale_, shell_, *viewer_, dialogs_, pump_, folders_, SystemRegistryEnvironment()});
  binder_ = std::make_unique<Binder>(dialogs_, controller_->Caption);
  model_ = new ResultModel(
      controller_->ListView1, controller_->ImageList1,
      [this](const IconHandle& handle) { return shell_.Icon(handle); }, this);
  list_->setModel(model_);
  for (int i = 0; i < static_cast<int>(std::size(kColumnWidths)); ++i)
    list_->setColumnWidth(i, kColumnWidths[i]);
  BindControls();
  ConnectEvents();
  controller_->OnCloseRequest = [this] { close(); };
  // During a run the widgets catch up at most every kRunRefresh; events still run every pump,
  // so Stop and row clicks are answered at once (their handlers push on return).
  pushClock_.start();
  pump_.before = [this] {
    if (pushClock_.elapsed() < kRunRefresh.count() && !model_->Stale()) return;
    binder_->Push();
    pushClock_.restart();
  };
  dialogs_.Register(kAboutBox, [this] {
    ShowAbout();
    return ModalResult::Ok;
  });

  setWindowTitle(ToQt(controller_->Caption));
  resize(controller_->Width, controller_->Height);
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
  binder_->Push();
}

MainWindow::~MainWindow() {
  pump_.before = nullptr;
  list_->setModel(nullptr);
}

void MainWindow::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(4, 4, 4, 0);
  column->setSpacing(4);

  // Folder, mask and options shared by both pages.
  auto* panel1 = Make<QWidget>(central, "Panel1");
  panel1->setFixedHeight(64);
  MakeLabel(panel1, "Path", QRect(8, 4, 48, 24));
  MakeCombo(panel1, "cmb_path", QRect(60, 4, 520, 24));
  Make<QPushButton>(panel1, "btn_browse", QRect(586, 3, 90, 26));
  Make<QPushButton>(panel1, "exec_file", QRect(712, 3, 118, 26));
  MakeLabel(panel1, "Mask", QRect(8, 34, 48, 24));
  MakeCombo(panel1, "cmb_mask", QRect(60, 34, 160, 24));
  Make<QCheckBox>(panel1, "is_case_sensitive", QRect(236, 34, 130, 24));
  Make<QCheckBox>(panel1, "is_whole_words", QRect(370, 34, 120, 24));
  Make<QCheckBox>(panel1, "is_search_in_result", QRect(494, 34, 150, 24));
  Make<QPushButton>(panel1, "edt_file", QRect(712, 33, 118, 26));
  column->addWidget(panel1);

  auto* panel2 = Make<QWidget>(central, "Panel2");
  auto* panel2Layout = new QVBoxLayout(panel2);
  panel2Layout->setContentsMargins(0, 0, 0, 0);
  auto* pages = Make<QTabWidget>(panel2, "PageControl1");
  panel2Layout->addWidget(pages);
  column->addWidget(panel2);

  static const char* const findExamples[3] = {"btn_regexp_phone", "btn_regxp_url",
                                              "btn_regxp_email"};
  auto* find = Make<QWidget>(nullptr, "TabSheet1");
  MakeLabel(find, "Query", QRect(8, 8, 124, 21));
  MakeCombo(find, "cmb_query", QRect(136, 8, 250, 21));
  Make<QPlainTextEdit>(find, "Memo_Query", QRect(136, 8, 250, 72));
  auto* type = new RadioGroup(find, 2);
  type->setObjectName(QStringLiteral("RG_Type"));
  type->setGeometry(392, 0, 324, 92);
  Make<QPushButton>(find, "btn_find", QRect(722, 6, 104, 28));
  Make<QPushButton>(find, "btn_stop", QRect(722, 40, 104, 28));
  MakeExamples(find, "RegExpExample", findExamples, QRect(8, 110, 412, 54));
  pages->addTab(find, QString());

  static const char* const replaceExamples[3] = {"btn_regxp_phone_1", "btn_regxp_url_1",
                                                 "btn_regxp_email_1"};
  auto* replace = Make<QWidget>(nullptr, "TabSheet2");
  MakeLabel(replace, "To Search", QRect(8, 8, 124, 21));
  MakeCombo(replace, "cmb_query_1", QRect(136, 8, 250, 21));
  Make<QPlainTextEdit>(replace, "Memo_Query_1", QRect(136, 8, 250, 72));
  Make<QLabel>(replace, "Label5", QRect(8, 80, 126, 21));
  MakeCombo(replace, "cmb_replace", QRect(136, 80, 250, 21));
  Make<QPlainTextEdit>(replace, "Memo_Replace", QRect(136, 122, 250, 72));
  auto* type1 = new RadioGroup(replace, 1);
  type1->setObjectName(QStringLiteral("RG_Type_1"));
  type1->setGeometry(392, 0, 100, 92);
  auto* mod = new RadioGroup(replace, 2);
  mod->setObjectName(QStringLiteral("RG_Mod"));
  mod->setGeometry(498, 0, 218, 92);
  Make<QPushButton>(replace, "btn_find_1", QRect(722, 6, 104, 28));
  Make<QPushButton>(replace, "btn_stop_1", QRect(722, 40, 104, 28));
  Make<QPushButton>(replace, "btn_mod_slc", QRect(392, 98, 106, 26));
  Make<QPushButton>(replace, "btn_mod_all", QRect(502, 98, 106, 26));
  Make<QPushButton>(replace, "btn_undo", QRect(612, 98, 104, 26));
  Make<QPushButton>(replace, "btn_del_items", QRect(722, 98, 104, 26));
  MakeExamples(replace, "RegExprExample_1", replaceExamples, QRect(8, 180, 412, 54));
  pages->addTab(replace, QString());

  auto* splitter = Make<QSplitter>(central, "Splitter1");
  splitter->setOrientation(Qt::Horizontal);
  splitter->setChildrenCollapsible(false);
  list_ = Make<QTreeView>(splitter, "ListView1");
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setIconSize(QSize(16, 16));
  list_->setAllColumnsShowFocus(true);
  list_->setMinimumWidth(kSplitterMinimum);
  browser_ = Make<QTextBrowser>(splitter, "WebBrowser1");
  browser_->setOpenLinks(false);
  browser_->setMinimumWidth(kSplitterMinimum);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  column->addWidget(splitter, 1);
  setCentralWidget(central);

  auto* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  const int widths[] = {150, 400, 50};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
    panel->setMinimumWidth(widths[i]);
    bar->addWidget(panel, i == 1 ? 1 : 0);
  }
}

void MainWindow::BuildMenu() {
  struct Item {
    const char* menu;
    const char* name;
  };
  static const Item items[] = {
      {"File1", "ExecuteFile1"}, {"File1", "EditFile1"},    {"File1", "Select1"},
      {"File1", "SelectAll1"},   {"File1", "Deselect1"},    {"File1", "CopyFiles1"},
      {"File1", "RenameFiles1"}, {"File1", "DeleteFiles1"}, {"File1", "ModificationInterfal1"},
      {"File1", "EraseBackup1"}, {"File1", "Settings1"},    {"File1", "Exit1"},
      {"Report1", "SaveList1"},  {"Report1", "SaveLines1"}, {"Project1", "Option1"},
      {"Help1", "Contents1"},    {"Help1", "About1"}};
  auto* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  for (const char* name : {"File1", "Report1", "Project1", "Help1"}) {
    auto* menu = bar->addMenu(QString());
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
  }
  for (const Item& item : items) {
    auto* menu = bar->findChild<QMenu*>(QLatin1String(item.menu));
    if (QLatin1String(item.name) == QLatin1String("Exit1")) menu->addSeparator();
    auto* action = menu->addAction(QString());
    action->setObjectName(QLatin1String(item.name));
  }
}

void MainWindow::BindControls() {
  Tfrm_utama& c = *controller_;
  Binder& b = *binder_;
  auto child = [this](const char* name) -> QWidget* {
    auto* widget = findChild<QWidget*>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
  };
  auto combo = [&](const char* name) { return static_cast<QComboBox*>(child(name)); };
  auto memo = [&](const char* name) { return static_cast<QPlainTextEdit*>(child(name)); };
  auto button = [&](const char* name) { return static_cast<QPushButton*>(child(name)); };
  auto check = [&](const char* name) { return static_cast<QCheckBox*>(child(name)); };
  auto radio = [&](const char* name) { return static_cast<RadioGroup*>(child(name)); };

  b.Bind(combo("cmb_path"), c.cmb_path);
  b.Bind(combo("cmb_mask"), c.cmb_mask);
  b.Bind(button("btn_browse"), c.btn_browse);
  b.Bind(check("is_case_sensitive"), c.is_case_sensitive);
  b.Bind(check("is_whole_words"), c.is_whole_words);
  b.Bind(check("is_search_in_result"), c.is_search_in_result);
  b.Bind(button("exec_file"), c.exec_file);
  b.Bind(button("edt_file"), c.edt_file);

  b.Bind(radio("RG_Type"), c.RG_Type);
  b.Bind(combo("cmb_query"), c.cmb_query);
  b.Bind(memo("Memo_Query"), c.Memo_Query);
  b.Bind(child("RegExpExample"), c.RegExpExample);
  b.Bind(button("btn_regexp_phone"), c.btn_regexp_phone);
  b.Bind(button("btn_regxp_url"), c.btn_regxp_url);
  b.Bind(button("btn_regxp_email"), c.btn_regxp_email);
  b.Bind(button("btn_find"), c.btn_find);
  b.Bind(button("btn_stop"), c.btn_stop);

  b.Bind(radio("RG_Type_1"), c.RG_Type_1);
  b.Bind(combo("cmb_query_1"), c.cmb_query_1);
  b.Bind(memo("Memo_Query_1"), c.Memo_Query_1);
  b.Bind(static_cast<QLabel*>(child("Label5")), c.Label5);
  b.Bind(combo("cmb_replace"), c.cmb_replace);
  b.Bind(memo("Memo_Replace"), c.Memo_Replace);
  b.Bind(radio("RG_Mod"), c.RG_Mod);
  b.Bind(child("RegExprExample_1"), c.RegExprExample_1);
  b.Bind(button("btn_regxp_phone_1"), c.btn_regxp_phone_1);
  b.Bind(button("btn_regxp_email_1"), c.btn_regxp_email_1);
  b.Bind(button("btn_regxp_url_1"), c.btn_regxp_url_1);
  for (auto [name, state] : {std::pair{"btn_find_1", &c.btn_find_1},
                             {"btn_stop_1", &c.btn_stop_1},
                             {"btn_undo", &c.btn_undo},
                             {"btn_mod_slc", &c.btn_mod_slc},
                             {"btn_mod_all", &c.btn_mod_all},
                             {"btn_del_items", &c.btn_del_items}})
    b.Bind(button(name), *state);

  auto* examples = static_cast<QGroupBox*>(child("RegExpExample"));
  auto* examples1 = static_cast<QGroupBox*>(child("RegExprExample_1"));
  b.Bind([examples, examples1, &c] {
    examples->setTitle(ToQt(c.RegExpExample.Caption));
    examples1->setTitle(ToQt(c.RegExprExample_1.Caption));
  });

  auto* panel2 = child("Panel2");
  b.Bind([panel2, &c] {
    if (panel2->height() != c.Panel2.Bounds.Height) panel2->setFixedHeight(c.Panel2.Bounds.Height);
  });

  auto* pages = static_cast<QTabWidget*>(child("PageControl1"));
  b.Bind(
      [pages, &c] {
        const QSignalBlocker block(pages);
        const TTabSheet* sheets[] = {&c.PageControl1.TabSheet1, &c.PageControl1.TabSheet2};
        for (int i = 0; i < 2; ++i) {
          pages->setTabText(i, ToQt(sheets[i]->Caption));
          if (pages->isTabVisible(i) != sheets[i]->TabVisible)
            pages->setTabVisible(i, sheets[i]->TabVisible);
        }
        if (pages->currentIndex() != c.PageControl1.ActivePageIndex)
          pages->setCurrentIndex(c.PageControl1.ActivePageIndex);
      },
      [pages, &c] { c.PageControl1.ActivePageIndex = pages->currentIndex(); });

  for (const char* name : {"File1", "Report1", "Project1", "Help1"}) {
    auto* menu = menuBar()->findChild<QMenu*>(QLatin1String(name));
    TMenuItem* state = name == std::string("File1")      ? &c.File1
                       : name == std::string("Report1")  ? &c.Report1
                       : name == std::string("Project1") ? &c.Project1
                                                         : &c.Help1;
    b.Bind(menu->menuAction(), *state);
  }
  const std::pair<const char*, TMenuItem*> actions[] = {
      {"ExecuteFile1", &c.ExecuteFile1},
      {"EditFile1", &c.EditFile1},
      {"Select1", &c.Select1},
      {"SelectAll1", &c.SelectAll1},
      {"Deselect1", &c.Deselect1},
      {"CopyFiles1", &c.CopyFiles1},
      {"RenameFiles1", &c.RenameFiles1},
      {"DeleteFiles1", &c.DeleteFiles1},
      {"ModificationInterfal1", &c.ModificationInterfal1},
      {"EraseBackup1", &c.EraseBackup1},
      {"Settings1", &c.Settings1},
      {"Exit1", &c.Exit1},
      {"SaveList1", &c.SaveList1},
      {"SaveLines1", &c.SaveLines1},
      {"Option1", &c.Option1},
      {"Contents1", &c.Contents1},
      {"About1", &c.About1}};
  for (const auto& [name, state] : actions)
    b.Bind(menuBar()->findChild<QAction*>(QLatin1String(name)), *state);

  QList<QLabel*> panels;
  for (int i = 0; i < 3; ++i)
    panels << statusBar()->findChild<QLabel*>(QStringLiteral("StatusBar1Panel%1").arg(i));
  b.Bind([panels, &c] {
    for (int i = 0; i < panels.size(); ++i) {
      const QString text = ToQt(c.StatusBar1.Panels[static_cast<std::size_t>(i)].Text);
      if (panels[i]->text() != text) panels[i]->setText(text);
    }
  });

  b.Bind([this] { SyncList(); });
}

void MainWindow::SyncList() {
  model_->Sync();
  PushSelection();
  Tfrm_utama& c = *controller_;
  if (c.ListView1.Focused) {
    c.ListView1.Focused = false;
    list_->setFocus();
    const int first = c.ListView1.SelectedIndex();
    if (first >= 0) list_->scrollTo(model_->index(first, 0));
  }
}

void MainWindow::PushSelection() {
  const auto& items = controller_->ListView1.Items;
  QItemSelectionModel* selection = list_->selectionModel();
  const int rows = std::min(model_->rowCount(), static_cast<int>(items.size()));
  auto isSelected = [&items](int row) { return items[static_cast<std::size_t>(row)].Selected; };

  // Nothing to do when the view already shows the controller's selection.
  const QModelIndexList current = selection->selectedRows();
  int wantedCount = 0;
  for (int i = 0; i < rows; ++i) wantedCount += isSelected(i) ? 1 : 0;
  bool same = current.size() == wantedCount;
  for (const QModelIndex& index : current)
    same = same && index.row() < rows && isSelected(index.row());
  if (same) return;

  QItemSelection wanted;
  const int last = model_->columnCount() - 1;
  int start = -1;
  for (int i = 0; i <= rows; ++i) {
    const bool selected = i < rows && isSelected(i);
    if (selected && start < 0) start = i;
    if (!selected && start >= 0) {
      wanted.select(model_->index(start, 0), model_->index(i - 1, last));
      start = -1;
    }
  }
  {
    const QSignalBlocker block(selection);
    selection->select(wanted, QItemSelectionModel::ClearAndSelect);
    const int first = controller_->ListView1.SelectedIndex();
    if (first >= 0 && first < rows)
      selection->setCurrentIndex(model_->index(first, 0), QItemSelectionModel::NoUpdate);
  }
  list_->viewport()->update();
}

void MainWindow::OnListSelection(const QItemSelection& selected, const QItemSelection& deselected) {
  // One user action may change many rows (a range click, select all). The rows take their new
  // state and the list's selection event runs once, for the last row that changed: a range of
  // a thousand rows writes one preview (and shows a warning once), not a thousand.
  Run([this, selected, deselected] {
    auto& items = controller_->ListView1.Items;
    int last = -1;
    bool lastState = false;
    auto apply = [&](const QItemSelection& ranges, bool state) {
      for (const QItemSelectionRange& range : ranges) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
          if (row < 0 || static_cast<std::size_t>(row) >= items.size()) continue;
          items[static_cast<std::size_t>(row)].Selected = state;
          last = row;
          lastState = state;
        }
      }
    };
    apply(deselected, false);
    apply(selected, true);
    if (last >= 0) controller_->ListView1SelectItem(last, lastState);
  });
}

void MainWindow::Run(const std::function<void()>& handler) {
  binder_->Invoke(handler);
  if (closePending_ && !controller_->Running()) {
    closePending_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void MainWindow::ConnectEvents() {
  Tfrm_utama& c = *controller_;
  auto clicked = [this](const char* name, std::function<void()> handler) {
    auto* button = findChild<QPushButton*>(QLatin1String(name));
    connect(button, &QPushButton::clicked, this, [this, handler] { Run(handler); });
  };
  clicked("btn_find", [&c] { c.btn_findClick(); });
  clicked("btn_find_1", [&c] { c.btn_findClick(); });
  clicked("btn_stop", [&c] { c.btn_stopClick(); });
  clicked("btn_stop_1", [&c] { c.btn_stopClick(); });
  clicked("exec_file", [&c] { c.exec_fileClick(); });
  clicked("edt_file", [&c] { c.edt_fileClick(); });
  clicked("btn_browse", [&c] { c.btn_browseClick(); });
  clicked("btn_regexp_phone", [&c] { c.btn_regexp_phoneClick(c.btn_regexp_phone); });
  clicked("btn_regxp_url", [&c] { c.btn_regexp_phoneClick(c.btn_regxp_url); });
  clicked("btn_regxp_email", [&c] { c.btn_regexp_phoneClick(c.btn_regxp_email); });
  clicked("btn_regxp_phone_1", [&c] { c.btn_regxp_phone_1Click(c.btn_regxp_phone_1); });
  clicked("btn_regxp_url_1", [&c] { c.btn_regxp_phone_1Click(c.btn_regxp_url_1); });
  clicked("btn_regxp_email_1", [&c] { c.btn_regxp_phone_1Click(c.btn_regxp_email_1); });

  auto action = [this](const char* name, std::function<void()> handler) {
    auto* item = menuBar()->findChild<QAction*>(QLatin1String(name));
    connect(item, &QAction::triggered, this, [this, handler] { Run(handler); });
  };
  action("ExecuteFile1", [&c] { c.exec_fileClick(); });
  action("EditFile1", [&c] { c.edt_fileClick(); });
  action("Exit1", [&c] { c.Exit1Click(); });
  action("Contents1", [&c] { c.Contents1Click(); });
  action("About1", [&c] { c.About1Click(); });

  for (const char* name : {"cmb_query", "cmb_query_1"}) {
    connect(findChild<QComboBox*>(QLatin1String(name)), &QComboBox::editTextChanged, this,
            [this, &c] { Run([&c] { c.cmb_queryChange(); }); });
  }
  for (const char* name : {"Memo_Query", "Memo_Query_1"}) {
    connect(findChild<QPlainTextEdit*>(QLatin1String(name)), &QPlainTextEdit::textChanged, this,
            [this, &c] { Run([&c] { c.cmb_queryChange(); }); });
  }
  auto group = [this](const char* name, std::function<void()> handler) {
    auto* radio = findChild<RadioGroup*>(QLatin1String(name));
    connect(radio->Buttons(), &QButtonGroup::idClicked, this, [this, handler] { Run(handler); });
  };
  group("RG_Type", [&c] { c.RG_TypeClick(); });
  group("RG_Type_1", [&c] { c.RG_Type_1Click(); });
  group("RG_Mod", [&c] { c.RG_ModClick(); });
  connect(findChild<QTabWidget*>(QStringLiteral("PageControl1")), &QTabWidget::currentChanged, this,
          [this, &c] { Run([&c] { c.PageControl1Change(); }); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::OnListSelection);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  Run([this] { controller_->FormShow(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!controller_->Closed()) binder_->Invoke([this] { controller_->FormClose(); });
  if (controller_->Running()) {
    // The search is still on the stack below us: close once it has unwound.
    closePending_ = true;
    event->ignore();
    return;
  }
  event->accept();
}

void MainWindow::ShowAbout() {
  QDialog box(this);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setWindowTitle(QStringLiteral("About"));
  auto* layout = new QVBoxLayout(&box);
  auto* product = new QLabel(QStringLiteral("<b><big>Velmora</big></b>"), &box);
  product->setObjectName(QStringLiteral("ProductName"));
  auto* version =
      new QLabel(QStringLiteral("Version %1").arg(QLatin1String(VersionString())), &box);
  version->setObjectName(QStringLiteral("Version"));
  auto* link = new QLabel(QStringLiteral("<a href=\"help\">User guide</a>"), &box);
  link->setObjectName(QStringLiteral("HelpLink"));
  connect(link, &QLabel::linkActivated, &box,
          [this] { Run([this] { controller_->Contents1Click(); }); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  for (QWidget* w : {static_cast<QWidget*>(product), static_cast<QWidget*>(version),
                     static_cast<QWidget*>(link), static_cast<QWidget*>(buttons)})
    layout->addWidget(w);
  box.exec();
}

}  // namespace velmora
