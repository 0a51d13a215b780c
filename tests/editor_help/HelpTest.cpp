// The help page and the shortcut list: where the page is shown, what it
// describes, and how the printed list is laid out.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>

#include "editor/ApplyRules.h"
#include "editor/EffectCatalogue.h"
#include "editor/HelpFiles.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/HelpView.h"
#include "editor/qt/VellTileMain.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

std::string ReadPage() {
  std::ifstream in(VELL_HELP_PAGE, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(HelpFiles, TheDesktopShowsWebPagesOnlyWithSomethingToShowThemWith) {
  struct Case {
    std::set<std::string> onPath;
    const char* htmlDefault;
    const char* browser;
    bool shows;
  };
  const Case cases[] = {
      {{}, "", "", false},
      {{}, "firefox.desktop", "firefox", false},  // nothing to start it with
      {{"xdg-open"}, "", "", false},              // xdg-open alone has nothing to hand the page to
      {{"xdg-open"}, "firefox.desktop", "", true},
      {{"xdg-open"}, "", "lynx", true},
      {{"xdg-open", "chromium"}, "", "", true},
      {{"xdg-open", "x-www-browser"}, "", "", true},
      {{"firefox"}, "", "", false},
  };
  for (const Case& c : cases) {
    const auto onPath = [&](const std::string& name) { return c.onPath.count(name) > 0; };
    EXPECT_EQ(DesktopShowsWebPages(onPath, c.htmlDefault, c.browser), c.shows)
        << c.onPath.size() << " programs, default '" << c.htmlDefault << "', BROWSER '" << c.browser << "'";
  }
}

// Laid out as it is printed, each shortcut starts clear of the longest
// caption in its table.
TEST(HelpFiles, PrintedShortcutColumnsNeverRunTogether) {
  testing::App();
  QTextDocument document;
  document.setHtml(QString::fromStdString(ShortcutListHtml()));
  for (qreal pageWidth : {300.0, 450.0, 700.0}) {  // narrow to wide printable widths, in points
    SCOPED_TRACE(pageWidth);
    document.setTextWidth(pageWidth);
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    int rows = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
      QTextCursor cursor(block);
      QTextTable* table = cursor.currentTable();
      if (!table || table->cellAt(cursor).column() != 0 || table->cellAt(cursor).row() == 0) continue;
      const QTextTableCell caption = table->cellAt(cursor);
      const QTextTableCell keys = table->cellAt(caption.row(), 1);
      ASSERT_TRUE(keys.isValid());
      const QTextBlock keysBlock = keys.firstCursorPosition().block();
      const QTextLine captionLine = block.layout()->lineAt(0);
      const QTextLine keysLine = keysBlock.layout()->lineAt(0);
      ASSERT_TRUE(captionLine.isValid() && keysLine.isValid());
      EXPECT_EQ(block.layout()->lineCount(), 1) << block.text().toStdString() << " wraps";
      const qreal captionRight = layout->blockBoundingRect(block).left() + captionLine.naturalTextWidth();
      const qreal keysLeft = layout->blockBoundingRect(keysBlock).left() + keysLine.x();
      EXPECT_GE(keysLeft - captionRight, 6.0) << block.text().toStdString() << " / " << keysBlock.text().toStdString();
      ++rows;
    }
    EXPECT_EQ(rows, EffectCount);  // the heading row of each table aside
  }
}

// The page describes the Effects submenus as the program has them: every
// effect it names runs, sits in that submenu, and every effect that runs is
// named. Sections are "<h3 id="effects-color">" ... with one "<dt>" per item.
TEST(HelpPage, DescribesEveryEffectThatRunsWhereItsMenuHasIt) {
  const std::string page = ReadPage();
  ASSERT_FALSE(page.empty()) << VELL_HELP_PAGE;
  const std::map<std::string, TEffectCategory> sections = {
      {"color", TEffectCategory::Color},   {"distortions", TEffectCategory::Distortions},
      {"draw", TEffectCategory::Draw},     {"filters", TEffectCategory::Filters},
      {"size", TEffectCategory::SizeAspect}};
  std::set<int> described;
  const std::regex heading(R"(<h3 id="effects-([a-z]+)\">)");
  const std::regex item(R"(<dt>([^<]+)</dt>)");
  for (auto h = std::sregex_iterator(page.begin(), page.end(), heading); h != std::sregex_iterator(); ++h) {
    const std::string section = (*h)[1];
    ASSERT_TRUE(sections.count(section)) << section;
    const size_t from = static_cast<size_t>(h->position() + h->length());
    size_t to = page.find("<h", from);
    if (to == std::string::npos) to = page.size();
    const std::string body = page.substr(from, to - from);
    for (auto i = std::sregex_iterator(body.begin(), body.end(), item); i != std::sregex_iterator(); ++i) {
      const std::string caption = (*i)[1];
      const TEffectEntry* entry = nullptr;
      for (const TEffectEntry& e : EffectCatalogue())
        if (caption == e.MenuCaption) entry = &e;
      ASSERT_NE(entry, nullptr) << caption << " is no Effects menu item";
      EXPECT_EQ(entry->Category, sections.at(section)) << caption << " is not in that submenu";
      EXPECT_TRUE(EffectAvailable(entry->Id)) << caption << " does not run in this build";
      EXPECT_TRUE(described.insert(entry->Id).second) << caption << " twice";
    }
  }
  for (const TEffectEntry& e : EffectCatalogue())
    if (EffectAvailable(e.Id)) EXPECT_TRUE(described.count(e.Id)) << e.MenuCaption << " runs but is not described";
}

TEST(HelpPage, ContentsShowsThePageInsideTheProgramWithoutABrowser) {
  testing::App();
  ASSERT_FALSE(DesktopHasBrowser());  // the tests run off screen
  ScriptedUi ui;
  TfVellTile window(&ui);
  QAction* contents = window.findChild<QAction*>(QStringLiteral("Contents1"));
  ASSERT_NE(contents, nullptr);
  contents->trigger();
  EXPECT_TRUE(ui.Asked().empty());
  TfHelp* help = window.HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->windowTitle(), "Quilo Help");
  EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("Seamless Edge")));
  EXPECT_EQ(help->Browser()->documentTitle(), "Quilo Help");
  contents->trigger();  // again: the same window
  EXPECT_EQ(window.HelpWindow(), help);
}

}  // namespace
}  // namespace vell
