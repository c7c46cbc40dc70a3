#include "platform/MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <chrono>

#include "platform/RadioGroup.h"
#include "platform/ResultModel.h"
#include "ui_frm_utama.h"

namespace velmora {

namespace {

// Each catch-up repaints the status texts and the list; four a second keep the counts current
// while drawing costs a small part of the run.
constexpr std::chrono::milliseconds kRunRefresh{250};

}  // namespace

MainWindow::MainWindow(KeyStore& keys, QtAdapters& adapters, QWidget* parent)
    : QMainWindow(parent), adapters_(adapters), ui_(std::make_unique<Ui::frm_utama>()) {
  ui_->setupUi(this);
  ui_->Splitter1->setStretchFactor(0, 1);
  ui_->Splitter1->setStretchFactor(1, 1);
  adapters_.viewer.Attach(ui_->WebBrowser1);
  controller_ = std::make_unique<Tfrm_utama>(
      TMainWindowPorts{keys, adapters_.locale, adapters_.shell, adapters_.viewer, adapters_.dialogs,
                       adapters_.forms, adapters_.pump, adapters_.folders, adapters_.environment});
  binder_ = std::make_unique<Binder>(adapters_.dialogs, *controller_);
  BindControls();
  ConnectEvents();
  controller_->OnCloseRequest = [this] { close(); };
  // During a run the widgets catch up at most every kRunRefresh; events still run every pump,
  // so Stop and row clicks are answered at once (their handlers push on return).
  pushClock_.start();
  adapters_.pump.before = [this] {
    if (pushClock_.elapsed() < kRunRefresh.count() && !model_->Stale()) return;
    controller_->ShowRunProgress();
    binder_->Push();
    pushClock_.restart();
  };

  setWindowTitle(ToQt(controller_->Caption));
  resize(controller_->Width, controller_->Height);
  binder_->Push();
  SetTabOrder();
}

void MainWindow::SetTabOrder() {
  // Path, mask, options, the page's query, type and buttons, then the list and the preview.
  Ui::frm_utama& ui = *ui_;
  QList<QWidget*> order = {ui.cmb_path,          ui.btn_browse,     ui.cmb_mask,
                           ui.is_case_sensitive, ui.is_whole_words, ui.is_search_in_result,
                           ui.PageControl1,      ui.cmb_query,      ui.Memo_Query};
  for (QAbstractButton* button : ui.RG_Type->Buttons()->buttons()) order << button;
  order << QList<QWidget*>{ui.btn_find,      ui.btn_stop,        ui.btn_regexp_phone,
                           ui.btn_regxp_url, ui.btn_regxp_email, ui.cmb_query_1,
                           ui.Memo_Query_1,  ui.cmb_replace,     ui.Memo_Replace};
  for (QAbstractButton* button : ui.RG_Type_1->Buttons()->buttons()) order << button;
  for (QAbstractButton* button : ui.RG_Mod->Buttons()->buttons()) order << button;
  order << QList<QWidget*>{ui.btn_find_1,        ui.btn_stop_1,      ui.btn_mod_slc,
                           ui.btn_mod_all,       ui.btn_undo,        ui.btn_del_items,
                           ui.btn_regxp_phone_1, ui.btn_regxp_url_1, ui.btn_regxp_email_1,
                           ui.ListView1,         ui.WebBrowser1,     ui.exec_file,
                           ui.edt_file};
  for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

MainWindow::~MainWindow() {
  adapters_.pump.before = nullptr;
  adapters_.viewer.Attach(nullptr);
  ui_->ListView1->setModel(nullptr);
}

void MainWindow::PlaceOnScreen() {
  const Tfrm_utama& c = *controller_;
  const bool kept = c.Left != -1 || c.Top != -1;
  const QSize wanted(c.Width, c.Height);
  const QScreen* screen = this->screen();
  if (const QScreen* at = kept ? QGuiApplication::screenAt(QPoint(c.Left, c.Top)) : nullptr)
    screen = at;
  if (!screen) {
    resize(wanted);
    return;
  }
  // The whole window (its frame included) stays on the available screen: where it was kept,
  // else centred. The layouts keep it from getting smaller than its controls need.
  const QRect area = screen->availableGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(wanted.boundedTo(area.size() - frame));
  QRect placed(QPoint(c.Left, c.Top), size() + frame);
  if (!kept) placed.moveCenter(area.center());
  placed.moveRight(std::min(placed.right(), area.right()));
  placed.moveBottom(std::min(placed.bottom(), area.bottom()));
  placed.moveLeft(std::max(placed.left(), area.left()));
  placed.moveTop(std::max(placed.top(), area.top()));
  move(placed.topLeft());
}

void MainWindow::PlacePanes() {
  const Tfrm_utama& c = *controller_;
  QSplitter* splitter = ui_->Splitter1;
  if (c.Splitter1.Position > 0) {
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    splitter->setSizes({c.Splitter1.Position, std::max(total - c.Splitter1.Position, 1)});
  }
  for (int i = 0; i < static_cast<int>(c.ListView1.Columns.size()); ++i)
    ui_->ListView1->setColumnWidth(i, c.ListView1.Columns[static_cast<std::size_t>(i)].Width);
}

void MainWindow::KeepPlacement() {
  Tfrm_utama& c = *controller_;
  // A maximised window keeps the place it had before.
  if (!isMaximized() && !isFullScreen()) {
    c.Left = x();
    c.Top = y();
    c.Width = width();
    c.Height = height();
  }
  c.Splitter1.Position = ui_->Splitter1->sizes().value(0, -1);
  for (int i = 0; i < static_cast<int>(c.ListView1.Columns.size()); ++i)
    c.ListView1.Columns[static_cast<std::size_t>(i)].Width = ui_->ListView1->columnWidth(i);
}

void MainWindow::BindControls() {
  Tfrm_utama& c = *controller_;
  Ui::frm_utama& ui = *ui_;
  Binder& b = *binder_;

  b.Bind(ui.cmb_path, c.cmb_path);
  b.Bind(ui.cmb_mask, c.cmb_mask);
  b.Bind(ui.btn_browse, c.btn_browse);
  b.Bind(ui.is_case_sensitive, c.is_case_sensitive);
  b.Bind(ui.is_whole_words, c.is_whole_words);
  b.Bind(ui.is_search_in_result, c.is_search_in_result);
  b.Bind(ui.exec_file, c.exec_file);
  b.Bind(ui.edt_file, c.edt_file);

  b.Bind(ui.RG_Type, c.RG_Type);
  b.Bind(ui.cmb_query, c.cmb_query);
  b.Bind(ui.Memo_Query, c.Memo_Query);
  b.Bind(ui.RegExpExample, c.RegExpExample);
  b.Bind(ui.btn_regexp_phone, c.btn_regexp_phone);
  b.Bind(ui.btn_regxp_url, c.btn_regxp_url);
  b.Bind(ui.btn_regxp_email, c.btn_regxp_email);
  b.Bind(ui.btn_find, c.btn_find);
  b.Bind(ui.btn_stop, c.btn_stop);

  b.Bind(ui.RG_Type_1, c.RG_Type_1);
  b.Bind(ui.cmb_query_1, c.cmb_query_1);
  b.Bind(ui.Memo_Query_1, c.Memo_Query_1);
  b.Bind(ui.Label5, c.Label5);
  b.Bind(ui.cmb_replace, c.cmb_replace);
  b.Bind(ui.Memo_Replace, c.Memo_Replace);
  b.Bind(ui.RG_Mod, c.RG_Mod);
  b.Bind(ui.RegExprExample_1, c.RegExprExample_1);
  b.Bind(ui.btn_regxp_phone_1, c.btn_regxp_phone_1);
  b.Bind(ui.btn_regxp_email_1, c.btn_regxp_email_1);
  b.Bind(ui.btn_regxp_url_1, c.btn_regxp_url_1);
  b.Bind(ui.btn_find_1, c.btn_find_1);
  b.Bind(ui.btn_stop_1, c.btn_stop_1);
  b.Bind(ui.btn_undo, c.btn_undo);
  b.Bind(ui.btn_mod_slc, c.btn_mod_slc);
  b.Bind(ui.btn_mod_all, c.btn_mod_all);
  b.Bind(ui.btn_del_items, c.btn_del_items);

  b.Bind([&ui, &c] {
    ui.RegExpExample->setTitle(ToQt(c.RegExpExample.Caption));
    ui.RegExprExample_1->setTitle(ToQt(c.RegExprExample_1.Caption));
    if (ui.Panel2->height() != c.Panel2.Bounds.Height)
      ui.Panel2->setFixedHeight(c.Panel2.Bounds.Height);
  });
  b.Bind(
      [&ui, &c] {
        QTabWidget* pages = ui.PageControl1;
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
      [&ui, &c] { c.PageControl1.ActivePageIndex = ui.PageControl1->currentIndex(); });

  b.BindMenu({{ui.File1->menuAction(), &c.File1},
              {ui.Report1->menuAction(), &c.Report1},
              {ui.Project1->menuAction(), &c.Project1},
              {ui.Help1->menuAction(), &c.Help1}});
  b.BindMenu({{ui.ExecuteFile1, &c.ExecuteFile1},
              {ui.EditFile1, &c.EditFile1},
              {ui.Select1, &c.Select1},
              {ui.SelectAll1, &c.SelectAll1},
              {ui.Deselect1, &c.Deselect1},
              {ui.CopyFiles1, &c.CopyFiles1},
              {ui.RenameFiles1, &c.RenameFiles1},
              {ui.DeleteFiles1, &c.DeleteFiles1},
              {ui.ModificationInterfal1, &c.ModificationInterfal1},
              {ui.EraseBackup1, &c.EraseBackup1},
              {ui.Settings1, &c.Settings1},
              {ui.Exit1, &c.Exit1}});
  b.BindMenu({{ui.SaveList1, &c.SaveList1}, {ui.SaveLines1, &c.SaveLines1}});
  b.BindMenu({{ui.Option1, &c.Option1}});
  b.BindMenu({{ui.Contents1, &c.Contents1}, {ui.About1, &c.About1}});
  b.Bind(ui.StatusBar1, c.StatusBar1);

  model_ = b.Bind(ui.ListView1, c.ListView1, c.ImageList1,
                  [this](const IconHandle& handle) { return adapters_.shell.Icon(handle); },
                  {[&c](int row, bool selected) { c.ListView1SelectItem(row, selected); }, {}});
}

void MainWindow::ConnectEvents() {
  Tfrm_utama& c = *controller_;
  Ui::frm_utama& ui = *ui_;
  Binder& b = *binder_;
  using Button = QPushButton;

  b.On(ui.btn_find, &Button::clicked, [&c] { c.btn_findClick(); });
  b.On(ui.btn_find_1, &Button::clicked, [&c] { c.btn_findClick(); });
  b.On(ui.btn_stop, &Button::clicked, [&c] { c.btn_stopClick(); });
  b.On(ui.btn_stop_1, &Button::clicked, [&c] { c.btn_stopClick(); });
  b.On(ui.exec_file, &Button::clicked, [&c] { c.exec_fileClick(); });
  b.On(ui.edt_file, &Button::clicked, [&c] { c.edt_fileClick(); });
  b.On(ui.btn_browse, &Button::clicked, [&c] { c.btn_browseClick(); });
  for (auto [button, state] : {std::pair{ui.btn_regexp_phone, &c.btn_regexp_phone},
                               {ui.btn_regxp_url, &c.btn_regxp_url},
                               {ui.btn_regxp_email, &c.btn_regxp_email}})
    b.On(button, &Button::clicked, [&c, state] { c.btn_regexp_phoneClick(*state); });
  for (auto [button, state] : {std::pair{ui.btn_regxp_phone_1, &c.btn_regxp_phone_1},
                               {ui.btn_regxp_url_1, &c.btn_regxp_url_1},
                               {ui.btn_regxp_email_1, &c.btn_regxp_email_1}})
    b.On(button, &Button::clicked, [&c, state] { c.btn_regxp_phone_1Click(*state); });

  b.On(ui.ExecuteFile1, &QAction::triggered, [&c] { c.exec_fileClick(); });
  b.On(ui.EditFile1, &QAction::triggered, [&c] { c.edt_fileClick(); });
  b.On(ui.Exit1, &QAction::triggered, [&c] { c.Exit1Click(); });
  b.On(ui.Contents1, &QAction::triggered, [&c] { c.Contents1Click(); });
  b.On(ui.About1, &QAction::triggered, [&c] { c.About1Click(); });
  b.OnQueued(ui.Option1, &QAction::triggered, [&c] { c.Option1Click(); });
  b.OnQueued(ui.Settings1, &QAction::triggered, [&c] { c.Settings1Click(); });
  b.OnQueued(ui.ModificationInterfal1, &QAction::triggered,
             [&c] { c.ModificationInterfal1Click(); });
  b.OnQueued(ui.EraseBackup1, &QAction::triggered, [&c] { c.EraseBackup1Click(); });
  b.OnQueued(ui.SaveList1, &QAction::triggered, [&c] { c.SaveList1Click(); });
  b.OnQueued(ui.SaveLines1, &QAction::triggered, [&c] { c.SaveLines1Click(); });
  b.OnQueued(ui.Select1, &QAction::triggered, [&c] { c.Select1Click(); });
  b.OnQueued(ui.Deselect1, &QAction::triggered, [&c] { c.Deselect1Click(); });
  b.On(ui.SelectAll1, &QAction::triggered, [&c] { c.SelectAll1Click(); });
  b.OnQueued(ui.CopyFiles1, &QAction::triggered, [&c] { c.CopyFiles1Click(); });
  b.OnQueued(ui.RenameFiles1, &QAction::triggered, [&c] { c.RenameFiles1Click(); });
  b.OnQueued(ui.DeleteFiles1, &QAction::triggered, [&c] { c.DeleteFiles1Click(); });
  b.On(ui.btn_mod_slc, &Button::clicked, [&c] { c.btn_mod_slcClick(); });
  b.On(ui.btn_mod_all, &Button::clicked, [&c] { c.btn_mod_allClick(); });
  b.On(ui.btn_undo, &Button::clicked, [&c] { c.btn_undoClick(); });
  b.On(ui.btn_del_items, &Button::clicked, [&c] { c.btn_del_itemsClick(); });

  b.On(ui.cmb_query, &QComboBox::editTextChanged, [&c] { c.cmb_queryChange(); });
  b.On(ui.cmb_query_1, &QComboBox::editTextChanged, [&c] { c.cmb_queryChange(); });
  b.On(ui.Memo_Query, &QPlainTextEdit::textChanged, [&c] { c.cmb_queryChange(); });
  b.On(ui.Memo_Query_1, &QPlainTextEdit::textChanged, [&c] { c.cmb_queryChange(); });
  b.OnChosen(ui.RG_Type, [&c] { c.RG_TypeClick(); });
  b.OnChosen(ui.RG_Type_1, [&c] { c.RG_Type_1Click(); });
  b.OnChosen(ui.RG_Mod, [&c] { c.RG_ModClick(); });

  // Keyboard: Return in a one-line box runs Find, Escape stops a run.
  for (QComboBox* box : {ui.cmb_path, ui.cmb_mask, ui.cmb_query, ui.cmb_query_1})
    b.On(box->lineEdit(), &QLineEdit::returnPressed, [&c] { c.btn_findClick(); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  b.On(escape, &QShortcut::activated, [&c] {
    if (c.Busy()) c.btn_stopClick();
  });
  // Rows: a double click edits the file; the right-click menu offers the File menu's row
  // commands.
  b.On(ui.ListView1, &QAbstractItemView::doubleClicked, [&c] { c.edt_fileClick(); });
  ui.ListView1->addActions({ui.ExecuteFile1, ui.EditFile1, ui.Select1, ui.SelectAll1, ui.Deselect1,
                            ui.CopyFiles1, ui.RenameFiles1, ui.DeleteFiles1});
  b.On(ui.PageControl1, &QTabWidget::currentChanged, [&c] { c.PageControl1Change(); });
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  binder_->Invoke([this] { controller_->FormShow(); });
  // Placed once shown, when the frame around the window is known, and the kept place read.
  PlaceOnScreen();
  PlacePanes();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!controller_->Closed()) {
    KeepPlacement();
    binder_->Invoke([this] { controller_->FormClose(); });
  }
  if (controller_->Busy()) {
    // The search is still on the stack below us: close once it has returned.
    controller_->WhenIdle("close", [this] { QTimer::singleShot(0, this, &QWidget::close); });
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace velmora
