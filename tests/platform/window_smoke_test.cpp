// The real window, offscreen, driven through its widgets by object name; and the adapters that
// carry the measured platform quirks.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>

#include "platform/QtLocale.h"
#include "platform/QtShell.h"
#include "platform/QtViewer.h"
#include "platform/RealWindowFixture.h"
#include "platform/SingleInstance.h"

namespace velmora {
namespace {

class WindowSmokeTest : public RealWindowTest {
 protected:
  void WriteTree() override {
    temp.File("b.txt", "a needle here\n");
    temp.File("a.txt", "nothing\n");
    temp.File("sub/c.txt", "needle again\n");
  }

  void Search(const QString& query) {
    Get<QComboBox>("cmb_path")->setEditText(QString::fromStdString(tree.string()));
    Get<QComboBox>("cmb_query")->setEditText(query);
    Get<QPushButton>("btn_find")->click();
  }
  void WriteManyFiles() {
    for (int i = 0; i < 3000; ++i) temp.File("f" + std::to_string(i) + ".txt", "x\n");
  }
};

TEST_F(WindowSmokeTest, ASearchFillsTheListStatusBarAndPreview) {
  Search(QStringLiteral("needle"));
  auto* list = Get<QTreeView>("ListView1");
  ASSERT_EQ(list->model()->rowCount(), 2);
  EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("b.txt"));
  EXPECT_EQ(list->model()->index(1, 0).data().toString(), QStringLiteral("c.txt"));
  EXPECT_FALSE(list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(Get<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Found : 2"));
  const QString preview = Get<QTextBrowser>("WebBrowser1")->toPlainText();
  EXPECT_TRUE(preview.contains(QStringLiteral("File:  b.txt"))) << preview.toStdString();

  // Clicking the second row previews it.
  list->selectionModel()->select(list->model()->index(1, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_TRUE(Get<QTextBrowser>("WebBrowser1")->toPlainText().contains(QStringLiteral("c.txt")));

  // Selecting every row updates every row and previews once, for the last row.
  list->selectAll();
  const auto& rows = window->Controller().ListView1.Items;
  EXPECT_TRUE(rows[0].Selected && rows[1].Selected);
  EXPECT_EQ(window->Controller().ListView1.SelectedCount(), 2);
}

// The replace page's choices are rebuilt as radio buttons when the type drops "Clear".
TEST_F(WindowSmokeTest, TheModificationChoicesFollowTheReplaceType) {
  Get<QTabWidget>("PageControl1")->setCurrentIndex(1);
  Get<QRadioButton>("RG_Type_12")->click();
  EXPECT_EQ(Get<QWidget>("RG_Mod")->findChildren<QRadioButton*>().size(), 5);
}

TEST_F(WindowSmokeTest, ClosingDuringARunEndsItAndClosesAfterwards) {
  WriteManyFiles();
  QTimer::singleShot(0, window.get(), [this] { window->close(); });
  Search(QString());
  // The run returned early; the close waited for it and happens on the next turn.
  EXPECT_LT(window->Controller().found_count, 3000);
  EXPECT_TRUE(window->Controller().Closed());
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowSmokeTest, StopEndsARunAndKeepsItsRows) {
  WriteManyFiles();
  QTimer::singleShot(0, window.get(), [this] { Get<QPushButton>("btn_stop")->click(); });
  Search(QString());
  const int rows = window->Controller().found_count;
  EXPECT_GT(rows, 0);
  EXPECT_LT(rows, 3003);
  EXPECT_EQ(Get<QTreeView>("ListView1")->model()->rowCount(), rows);
  EXPECT_TRUE(Get<QPushButton>("btn_find")->isEnabled());
}

TEST(SingleInstanceTest, ASecondCopyIsRefusedAndAStaleLockIsTakenOver) {
  const testing::TempFolder temp;
  const std::string name = temp / "velmora-lock";
  std::string content;
  {
    const auto first = AcquireSingleInstance(QString::fromStdString(name));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AcquireSingleInstance(QString::fromStdString(name)), nullptr);
    content = testing::ReadWholeFile(name);
  }
  // The same lock, left behind by a process that is gone.
  QProcess gone;
  gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
  ASSERT_TRUE(gone.waitForStarted());
  const qint64 gonePid = gone.processId();
  ASSERT_TRUE(gone.waitForFinished());
  const auto firstLineEnd = content.find('\n');
  ASSERT_NE(firstLineEnd, std::string::npos);
  testing::WriteWholeFile(name, std::to_string(gonePid) + content.substr(firstLineEnd));
  const auto recovered = AcquireSingleInstance(QString::fromStdString(name));
  EXPECT_NE(recovered, nullptr);
}

TEST(QtViewerTest, DecodesUtf8OrLatin1AndKeepsThePageFile) {
  EXPECT_EQ(QtViewer::DecodePage(QByteArray("caf\xc3\xa9")), QStringLiteral("caf\u00e9"));
  EXPECT_EQ(QtViewer::DecodePage(QByteArray("caf\xe9")), QStringLiteral("caf\u00e9"));
  EXPECT_EQ(QtViewer::DecodePage(QByteArray("<pre>\r\nx")), QStringLiteral("<pre>\nx"));

  const testing::TempFolder temp;
  const std::string page = temp / "page.html";
  const std::string bytes = "<html><body><pre>\r\nline 1 : caf\xe9</pre></body></html>\r\n";
  testing::WriteWholeFile(page, bytes);
  QTextBrowser browser;
  QtViewer viewer(&browser);
  viewer.Navigate(page);
  EXPECT_EQ(browser.toPlainText().trimmed(), QStringLiteral("line 1 : caf\u00e9"));
  // The same file again after it changed shows the new text.
  testing::WriteWholeFile(page, "<pre>second</pre>");
  viewer.Navigate(page);
  EXPECT_EQ(browser.toPlainText().trimmed(), QStringLiteral("second"));
  viewer.Navigate(kAboutBlank);
  EXPECT_TRUE(browser.toPlainText().isEmpty());
  EXPECT_EQ(testing::ReadWholeFile(page), "<pre>second</pre>");
}

TEST(QtShellTest, IconsComeFromTheThemeOncePerExtension) {
  QtShell shell;
  const IconHandle text = shell.FileIcon("/x/a.txt", true);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(shell.FileIcon("/y/b.txt", true), text);
  EXPECT_FALSE(shell.Icon(text).isNull());
  EXPECT_FALSE(shell.Icon(shell.FileIcon("/x/no-extension", true)).isNull());
  EXPECT_NE(shell.FileIcon("/x/a.png", true), text);
}

TEST(QtLocaleTest, TimeFormatLosesItsSeconds) {
  EXPECT_EQ(QtLocale::WithoutSeconds(QStringLiteral("HH:mm:ss")), QStringLiteral("HH:mm"));
  EXPECT_EQ(QtLocale::WithoutSeconds(QStringLiteral("h:mm:ss AP")), QStringLiteral("h:mm AP"));
  const QtLocale locale;
  EXPECT_EQ(locale.CompareStrings("a", "b", false), -1);
  EXPECT_EQ(locale.CompareStrings("ABC", "abc", true), 0);
}

TEST(QtLocaleTest, SortKeysOrderAsTheComparison) {
  const QtLocale locale;
  const std::vector<std::string> texts = {"b",  "B",        "a", "A", "",   "a10", "a9",
                                          "Ab", "\xC3\xA9", "e", "E", "_x", "a",   "Z"};
  for (bool ignoreCase : {false, true}) {
    const auto keys = locale.NewSortKeys(ignoreCase);
    for (const auto& text : texts) keys->Add(text);
    for (std::size_t a = 0; a < texts.size(); ++a) {
      for (std::size_t b = 0; b < texts.size(); ++b) {
        EXPECT_EQ(keys->Less(a, b), locale.CompareStrings(texts[a], texts[b], ignoreCase) < 0)
            << texts[a] << " / " << texts[b] << (ignoreCase ? " ignoring case" : "");
      }
    }
  }
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  velmora::QtShell::PrepareIconTheme();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
