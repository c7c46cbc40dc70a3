// The real window as a user meets it: what is typed is what runs, keyboard, screen, names for
// assistive technology, the rows' double click and menu.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>

#include "platform/ModalViewFixture.h"
#include "platform/RealWindowFixture.h"

namespace velmora {
namespace {

class WindowUserTest : public RealWindowTest {
 protected:
  void WriteTree() override {
    temp.File("a.txt", "a needle here\n");
    temp.File("b.txt", "mutex condition\n");
  }
  static void Key(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
  }
  static void Type(QWidget* widget, const QString& text) {
    for (const QChar ch : text) Key(widget, 0, QString(ch));
  }
  // What a screen reader calls a control: its label when it has one, else its name.
  static std::string Chain(const std::vector<QWidget*>& chain) {
    std::string names;
    for (QWidget* w : chain) names += (w ? w->objectName().toStdString() : "-") + ",";
    return names;
  }
  // Runs a search of the tree for `query` by typing it and pressing Return.
  void TypeQueryAndReturn(const QString& query) {
    Get<QComboBox>("cmb_path")->setEditText(QString::fromStdString(tree.string()));
    QLineEdit* edit = Get<QComboBox>("cmb_query")->lineEdit();
    edit->clear();
    Type(edit, query);
    Key(edit, Qt::Key_Return);
  }
};

TEST_F(WindowUserTest, TypedTextRunsAsTypedWhateverTheHistoryHolds) {
  TypeQueryAndReturn(QStringLiteral("needle"));
  TypeQueryAndReturn(QStringLiteral("mutex condition"));
  Get<QCheckBox>("is_case_sensitive")->click();
  for (const QString& typed : {QStringLiteral("NEEDLE"), QStringLiteral("Mutex")}) {
    TypeQueryAndReturn(typed);
    EXPECT_EQ(Get<QComboBox>("cmb_query")->currentText(), typed);
    EXPECT_EQ(window->Controller().cmb_query.Text, typed.toStdString());
    EXPECT_EQ(window->Controller().StatusBar1.Panels[0].Text, "Not Found");
  }
}

TEST_F(WindowUserTest, AMemoKeepsExactlyWhatIsTyped) {
  Get<QRadioButton>("RG_Type5")->click();
  auto* memo = Get<QPlainTextEdit>("Memo_Query");
  Type(memo, QStringLiteral("abc"));
  Key(memo, Qt::Key_Return, QStringLiteral("\r"));
  Type(memo, QStringLiteral("def"));
  Key(memo, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("abc\ndef\n"));
  EXPECT_EQ(window->Controller().Memo_Query.Text(), "abc\ndef\n");
}

TEST_F(WindowUserTest, KeyboardRunsStopsOpensMenusAndTabsInLayoutOrder) {
  TypeQueryAndReturn(QStringLiteral("needle"));
  EXPECT_EQ(window->Controller().found_count, 1);
  // Every item of the menu bar and of each menu has a mnemonic no other item there has.
  QList<QList<QAction*>> menus = {window->menuBar()->actions()};
  for (QAction* top : menus.first()) menus << top->menu()->actions();
  for (const QList<QAction*>& items : menus) {
    QStringList keys;
    for (QAction* item : items)
      if (!item->isSeparator()) keys << QKeySequence::mnemonic(item->text()).toString();
    EXPECT_FALSE(keys.contains(QString())) << keys.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(keys.removeDuplicates(), 0) << keys.join(QLatin1Char(' ')).toStdString();
  }

  // Escape is the window's shortcut for Stop.
  auto* escape = window->findChild<QShortcut*>();
  ASSERT_NE(escape, nullptr);
  EXPECT_EQ(escape->key(), QKeySequence(Qt::Key_Escape));
  EXPECT_EQ(escape->context(), Qt::WindowShortcut);

  // Tab walks the controls in the order they are laid out.
  window->activateWindow();
  Get<QWidget>("cmb_path")->setFocus();
  std::vector<QWidget*> chain;
  for (int i = 0; i < 60; ++i) {
    chain.push_back(QApplication::focusWidget());
    Key(QApplication::focusWidget(), Qt::Key_Tab);
  }
  auto at = [&chain](QWidget* w) {
    return std::find_if(chain.begin(), chain.end(),
                        [w](QWidget* f) { return f == w || (f && f->parentWidget() == w); }) -
           chain.begin();
  };
  const char* order[] = {"cmb_path", "cmb_mask", "is_case_sensitive", "cmb_query",
                         "RG_Type0", "btn_find", "ListView1",         "WebBrowser1"};
  for (std::size_t i = 1; i < std::size(order); ++i)
    EXPECT_LT(at(Get<QWidget>(order[i - 1])), at(Get<QWidget>(order[i])))
        << order[i] << " " << Chain(chain);
}

TEST_F(WindowUserTest, PlaceSplitterAndColumnsComeBackAndStayOnTheScreen) {
  EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
  EXPECT_FALSE(window->minimumSize().isEmpty());
  window->setGeometry(10, 20, 760, 500);
  Get<QSplitter>("Splitter1")->setSizes({400, 300});
  const int listWidth = Get<QSplitter>("Splitter1")->sizes().value(0);
  Get<QTreeView>("ListView1")->setColumnWidth(0, 123);
  window->close();
  window = std::make_unique<MainWindow>(keys, adapters);
  window->show();
  QApplication::processEvents();
  EXPECT_EQ(window->geometry(), QRect(10, 20, 760, 500));
  EXPECT_EQ(Get<QSplitter>("Splitter1")->sizes().value(0), listWidth);
  EXPECT_EQ(Get<QTreeView>("ListView1")->columnWidth(0), 123);

  // A place and size kept on a larger screen come back inside this one.
  window->close();
  keys.OpenKey("Software\\Velmora", true);
  for (const auto& [name, value] : {std::pair{"frm_utamaLeft", "5000"},
                                    {"frm_utamaTop", "-300"},
                                    {"frm_utamaWidth", "5000"},
                                    {"frm_utamaHeight", "4000"}})
    keys.WriteString(name, value);
  window = std::make_unique<MainWindow>(keys, adapters);
  window->show();
  QApplication::processEvents();
  EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
}

TEST_F(WindowUserTest, AtItsSmallestEveryControlIsWholeAndTheBoxesStretchWithTheWidth) {
  auto* pages = Get<QTabWidget>("PageControl1");
  const std::pair<int, const char*> layouts[] = {{0, "RG_Type0"},   {0, "RG_Type4"},
                                                 {0, "RG_Type5"},   {1, "RG_Type_10"},
                                                 {1, "RG_Type_11"}, {1, "RG_Type_12"}};
  for (const auto& [page, type] : layouts) {
    pages->setCurrentIndex(page);
    Get<QRadioButton>(type)->click();
    // The new layout settles in two turns: the group's own, then the window's.
    QApplication::processEvents();
    window->resize(1, 1);
    QApplication::processEvents();
    QWidget* sheet = pages->currentWidget();
    for (QWidget* control : sheet->findChildren<QWidget*>()) {
      if (!control->isVisible() || control->objectName().isEmpty()) continue;
      const QRect place(control->mapTo(sheet, QPoint()), control->size());
      EXPECT_TRUE(sheet->rect().contains(place))
          << type << " " << control->objectName().toStdString();
      EXPECT_GE(control->width(), control->minimumSizeHint().width())
          << type << " " << control->objectName().toStdString();
    }
  }
  const char* boxes[] = {"cmb_path", "cmb_mask", "Memo_Query_1", "Memo_Replace"};
  std::vector<int> narrow;
  for (const char* box : boxes) narrow.push_back(Get<QWidget>(box)->width());
  window->resize(window->width() + 200, window->height());
  QApplication::processEvents();
  for (std::size_t i = 0; i < std::size(boxes); ++i)
    EXPECT_GT(Get<QWidget>(boxes[i])->width(), narrow[i]) << boxes[i];
}

TEST_F(WindowUserTest, AssistiveTechnologyFindsAndWorksEveryControl) {
  // Every control a user can reach by keyboard is announced: by its label or its own caption.
  for (QWidget* control : window->findChildren<QWidget*>())
    EXPECT_FALSE(testing::AnnouncedName(control).trimmed().isEmpty())
        << control->objectName().toStdString();

  // "Multiline" chosen by the radio button's accessibility action lays the page out.
  QAccessibleInterface* radio = QAccessible::queryAccessibleInterface(Get<QWidget>("RG_Type4"));
  ASSERT_NE(radio->actionInterface(), nullptr);
  const QStringList actions = radio->actionInterface()->actionNames();
  radio->actionInterface()->doAction(actions.contains(QAccessibleActionInterface::toggleAction())
                                         ? QAccessibleActionInterface::toggleAction()
                                         : actions.first());
  EXPECT_TRUE(Get<QPlainTextEdit>("Memo_Query")->isVisible());
  EXPECT_EQ(window->Controller().RG_Type.ItemIndex, 4);

  // The rows expose their cells.
  Get<QRadioButton>("RG_Type0")->click();
  TypeQueryAndReturn(QString());
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Get<QWidget>("ListView1"));
  ASSERT_NE(list->tableInterface(), nullptr);
  QAccessibleInterface* cell = list->tableInterface()->cellAt(0, 0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("a.txt"));
  EXPECT_EQ(list->tableInterface()->cellAt(0, 1)->text(QAccessible::Name),
            QString::fromStdString(tree.string() + "/"));
}

TEST_F(WindowUserTest, ARowsDoubleClickEditsItAndItsMenuOffersTheRowCommands) {
  const std::string recorder = temp / "record-argv";
  WriteArgumentRecorder(recorder);
  keys.OpenKey("Software\\Velmora\\Option", true);
  keys.WriteString("Editor", recorder);
  TypeQueryAndReturn(QStringLiteral("needle"));
  auto* list = Get<QTreeView>("ListView1");
  emit list->doubleClicked(list->model()->index(0, 0));
  EXPECT_EQ(RecordedArgument(recorder), (tree / "a.txt").string());

  EXPECT_EQ(list->contextMenuPolicy(), Qt::ActionsContextMenu);
  QStringList captions;
  for (QAction* action : list->actions()) captions << action->text().remove(QLatin1Char('&'));
  EXPECT_TRUE(captions.contains(QStringLiteral("Edit File")) &&
              captions.contains(QStringLiteral("Delete Files")))
      << captions.join(QLatin1Char(',')).toStdString();
}

}  // namespace
}  // namespace velmora
