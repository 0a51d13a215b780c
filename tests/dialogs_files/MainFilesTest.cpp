// The main window's file, clipboard, buffer and texture commands, end to end
// with scripted answers and the offscreen platform's clipboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

#include "editor/ApplyRules.h"
#include "editor/ImageFiles.h"
#include "editor/JpegFile.h"
#include "editor/PngFile.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/VellTileMain.h"
#include "tests/editor_files/FilesTestSupport.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

using vell::testing::App;
using vell::testing::MakeBlocks;
using vell::testing::MakePhoto;
using vell::testing::Slurp;
using vell::testing::Spill;
using vell::testing::TTempDir;

bool Same(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
  return true;
}

QImage ToQImage(const TPixelBuffer& p) {
  QImage image;
  TfVellTile::ImageToBitmap(image, p);
  return image;
}

TPixelBuffer Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  TPixelBuffer p;
  p.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Row24(y)[x] = TRGB24{b, g, r};
  return p;
}

class MainFiles : public ::testing::Test {
 public:
  void SetUp() override {
    App();
    Make();
  }
  void TearDown() override {
    window.reset();
    TfVellTile::SetProgramFolder("");
  }
  void Make() {
    window = std::make_unique<TfVellTile>(&ui);
    window->Editor().Logging = true;
    window->Editor().WriteLog = [this](const std::string& line) { log.push_back(line); };
  }
  QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  void Trigger(const char* name) {
    QAction* a = Action(name);
    ASSERT_NE(a, nullptr) << name;
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
  }
  TPixelBuffer& Work() { return window->Editor().dibWork; }
  std::string PngFile(const TPixelBuffer& picture, const std::string& name) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(EncodePng(picture, bytes));
    Spill(dir / name, bytes);
    return dir / name;
  }

  TTempDir dir;
  ScriptedUi ui;
  std::vector<std::string> log;
  std::unique_ptr<TfVellTile> window;
};

TEST_F(MainFiles, OpenThenEffectsThenResetReturnsToTheOpenedFile) {
  TPixelBuffer photo;
  MakePhoto(photo, 40, 30);
  const std::string path = PngFile(photo, "opened.png");
  window->Editor().DefaultDirectory = "/start";
  ui.AnswerOpen(path);
  Trigger("Open1");
  ASSERT_EQ(ui.FileRequests().size(), 1u);
  EXPECT_EQ(ui.FileRequests()[0].initialDir, "/start");
  EXPECT_EQ(ui.FileRequests()[0].filter, kOpenFilter);
  EXPECT_TRUE(Same(Work(), photo));
  EXPECT_EQ(window->StatusText(0), QStringLiteral("Width: 40"));
  EXPECT_EQ(window->StatusText(1), QStringLiteral("Height: 30"));
  EXPECT_EQ(window->Editor().dibScratch.Width(), 40);
  EXPECT_EQ(window->Editor().DefaultDirectory, dir.Path());
  EXPECT_EQ(log, std::vector<std::string>{"Open File " + path});
  EXPECT_TRUE(window->Undo().CanUndo());

  Trigger("New1");
  QApplication::clipboard()->setImage(ToQImage(Solid(9, 9, 1, 2, 3)));
  Trigger("ReplaceImage1");
  EXPECT_EQ(Work().Width(), 9);
  Trigger("New1");
  Trigger("Reset1");
  EXPECT_TRUE(Same(Work(), photo));
}

TEST_F(MainFiles, AnUnreadableFileChangesNothing) {
  TPixelBuffer photo;
  MakePhoto(photo, 40, 30);
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(EncodeJpeg(photo, 90, jpeg));
  jpeg.resize(jpeg.size() / 2);
  Spill(dir / "cut.jpg", jpeg);
  TPixelBuffer before;
  CopyImage(Work(), before);
  for (const char* command : {"Open1", "LoadBufferfromFile1"}) {
    ui.AnswerOpen(dir / "cut.jpg");
    Trigger(command);
  }
  EXPECT_TRUE(Same(Work(), before));
  EXPECT_FALSE(window->Undo().CanUndo());
  EXPECT_FALSE(Action("PasteBuffertoImage1")->isEnabled());
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(ui.Asked().size(), 4u);
  EXPECT_NE(ui.Asked()[1].text.find("cut.jpg"), std::string::npos) << ui.Asked()[1].text;
  // The command-line file: the same message, the black start image stays.
  EXPECT_FALSE(window->LoadStartupFile(QString::fromStdString(dir / "cut.jpg")));
  EXPECT_TRUE(Same(Work(), before));
}

TEST_F(MainFiles, TheCommandLineFileOpensInAnyFormat) {
  TPixelBuffer blocks;
  MakeBlocks(blocks, 24, 16);
  for (const char* name : {"c.bmp", "c.png", "c.gif", "c.jpg"}) {
    ASSERT_TRUE(SaveImageFile(dir / name, blocks, TSaveOptions{}));
    FillImage(Work(), 0x00FF00);
    ASSERT_TRUE(window->LoadStartupFile(QString::fromStdString(dir / name))) << name;
    EXPECT_EQ(Work().Width(), 24);
    EXPECT_TRUE(Same(window->Editor().dibOriginal, Work()));
  }
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(window->Undo().CanUndo());
}

TEST_F(MainFiles, SaveAsAsksAsTheDialogDoesAndWritesNoLogLine) {
  window->Editor().DefaultDirectory = dir.Path();
  const std::string path = dir / "sub.gif.jpg";  // GIF by the rule
  ui.AnswerSave(path);
  Trigger("SaveAs1");
  ASSERT_EQ(ui.FileRequests().size(), 1u);
  const TFileRequest& r = ui.FileRequests()[0];
  EXPECT_EQ(r.title, "Save File As...");
  EXPECT_EQ(r.defaultExt, "jpg");
  EXPECT_EQ(r.initialDir, dir.Path());
  EXPECT_TRUE(r.promptOverwrite);
  EXPECT_EQ(r.filter, kSaveFilter);
  const std::vector<uint8_t> bytes = Slurp(path);
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  EXPECT_TRUE(log.empty());
  // The dialog offers the name it was given last.
  ui.AnswerSave(std::nullopt);
  Trigger("bSave");
  EXPECT_EQ(ui.FileRequests()[1].fileName, "sub.gif.jpg");
}

TEST_F(MainFiles, JpegQualityIsNinetyAfterARestartUntilTheDialogSaysOK) {
  TfVellTile::SetProgramFolder(dir.Path());
  {
    std::ofstream ini(dir / "VellTile.ini");
    ini << "[EffectVals]\r\nEffectVals6=1\r\n[MainForm]\r\nJPGComp=50\r\n";
  }
  Make();
  EXPECT_EQ(window->JPGCompDialog()->eCVal->text(), QStringLiteral("50"));
  EXPECT_EQ(window->Editor().JpegQuality, 90);
  FillImage(Work(), 0x336699);
  MakePhoto(Work(), 64, 48);
  ui.AnswerSave(dir / "q.jpg");
  Trigger("SaveAs1");
  std::vector<uint8_t> want;
  ASSERT_TRUE(EncodeJpeg(Work(), 90, want));
  EXPECT_EQ(Slurp(dir / "q.jpg"), want);

  // OK takes the bar's position (the stored 50); Cancel keeps what OK gave.
  QTimer::singleShot(0, [&] { window->JPGCompDialog()->BitBtn1->click(); });
  Trigger("SetJPGCompression1");
  EXPECT_EQ(window->Editor().JpegQuality, 50);
  QTimer::singleShot(0, [&] {
    window->JPGCompDialog()->sbCVal->setValue(20);
    window->JPGCompDialog()->BitBtn2->click();
  });
  Trigger("SetJPGCompression1");
  EXPECT_EQ(window->Editor().JpegQuality, 50);
  EXPECT_EQ(window->JPGCompDialog()->eCVal->text(), QStringLiteral("50"));
  // The dialog's text goes back to the file at the end.
  window->JPGCompDialog()->eCVal->setText(QStringLiteral("61"));
  window.reset();
  std::ifstream in(dir / "VellTile.ini");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("JPGComp=61"), std::string::npos) << text;
}

TEST_F(MainFiles, CancelInTheGifDialogWritesNothing) {
  Trigger("ShowDialogDuringSave1");
  EXPECT_FALSE(Action("HideDialogDuringSave1")->isChecked());
  ui.AnswerSave(dir / "t.gif");
  QTimer::singleShot(0, [&] { window->GifDialog()->btnCancel->click(); });
  Trigger("SaveAs1");
  EXPECT_TRUE(dir.Names().empty());
  EXPECT_TRUE(ui.Asked().size() == 1u);  // no error box either
  // OK with a picked swatch marks that entry transparent.
  ui.AnswerSave(dir / "t.gif");
  QTimer::singleShot(0, [&] {
    // The black start image, as libjpeg's quantiser gives it back (the centre of its colour cell).
    const QColor first = window->GifDialog()->SwatchColor(0);
    EXPECT_LE(std::max({first.red(), first.green(), first.blue()}), 8);
    EXPECT_FALSE(window->GifDialog()->SwatchColor(1).isValid());  // one colour: the rest blank
    window->GifDialog()->btnOK->click();
  });
  Trigger("SaveAs1");
  const std::vector<uint8_t> bytes = Slurp(dir / "t.gif");
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
}

TEST_F(MainFiles, ClosingYesThenCancelledSaveKeepsTheWindowOpen) {
  window->Editor().PromptForSave = true;
  ui.AnswerMessage(TMsgResult::Yes).AnswerSave(std::nullopt);
  QCloseEvent refused;
  QApplication::sendEvent(window.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
  ui.AnswerMessage(TMsgResult::Yes).AnswerSave(dir / "end.bmp");
  QCloseEvent closes;
  QApplication::sendEvent(window.get(), &closes);
  EXPECT_TRUE(closes.isAccepted());
  EXPECT_EQ(Slurp(dir / "end.bmp").size(), 54u + 256u * 256u * 3u);
}

TEST_F(MainFiles, CopyImageToBufferThenPasteBufferToImage) {
  EXPECT_FALSE(Action("PasteBuffertoImage1")->isEnabled());
  EXPECT_FALSE(Action("CopyBuffertoClipboard1")->isEnabled());
  TPixelBuffer photo;
  MakePhoto(photo, 30, 20);
  CopyImage(photo, Work());
  Trigger("bCpyBufr");
  EXPECT_TRUE(Action("PasteBuffertoImage1")->isEnabled());
  EXPECT_TRUE(Action("CopyBuffertoClipboard1")->isEnabled());
  EXPECT_EQ(Action("MergeBufferWithImage1")->isEnabled(), EffectAvailable(50));  // only where Merge is built
  EXPECT_TRUE(Same(window->Editor().dibBuffer, photo));
  Trigger("New1");
  Trigger("PasteBuffertoImage1");
  EXPECT_TRUE(Same(Work(), photo));
  EXPECT_EQ(window->Editor().dibScratch.Width(), 30);
  Trigger("CopyBuffertoClipboard1");
  const QImage clip = QApplication::clipboard()->image();
  EXPECT_EQ(clip.size(), QSize(30, 20));
  EXPECT_EQ(log, (std::vector<std::string>{"Copy Image to Buffer", "New Image, Color R: 0 G: 0 B: 0",
                                           "Paste Buffer to Image", "Copy Buffer to Clipboard"}));
}

TEST_F(MainFiles, ClipboardAndBufferCommands) {
  TPixelBuffer photo;
  MakePhoto(photo, 21, 13);
  CopyImage(photo, Work());
  Trigger("Copy1");
  FillImage(Work(), 0);
  Trigger("bPaste");
  EXPECT_TRUE(Same(Work(), photo));
  Trigger("PasteClipboardtoBuffer1");
  EXPECT_TRUE(Same(window->Editor().dibBuffer, photo));
  const std::string path = PngFile(Solid(5, 4, 9, 8, 7), "buf.png");
  ui.AnswerOpen(path);
  Trigger("LoadBufferfromFile1");
  EXPECT_EQ(window->Editor().dibBuffer.Width(), 5);
  EXPECT_TRUE(ui.FileRequests().back().initialDir.empty());  // not moved to the default directory
  EXPECT_EQ(log, (std::vector<std::string>{"Copy Image to Clipboard", "Paste Clipboard to Image",
                                           "Paste Clipboard to Buffer", "Load Buffer from File " + path}));
  // Nothing on the clipboard: the pastes do nothing.
  QApplication::clipboard()->clear();
  log.clear();
  Trigger("ReplaceImage1");
  Trigger("PasteClipboardtoBuffer1");
  Trigger("Transparent1");
  EXPECT_TRUE(log.empty());
}

TEST_F(MainFiles, PasteTransparentWithEachColourChoice) {
  window->CreateCompanions();
  window->ToolBox()->SetPenColor(0x0000FF);  // red pen
  // A 4 x 4 picture: white lower left, a red and a blue pixel, the rest green.
  TPixelBuffer clip = Solid(4, 4, 0, 255, 0);
  clip.Row24(3)[0] = TRGB24{255, 255, 255};
  clip.Row24(0)[0] = TRGB24{0, 0, 255};
  clip.Row24(0)[1] = TRGB24{255, 0, 0};
  struct TCase {
    const char* mode;
    std::optional<uint32_t> custom;
    int keptX, keptY;  // the pixel left out (shows the image)
  };
  const TCase cases[] = {
      {"rbNorm", std::nullopt, 0, 3}, {"rbPen", std::nullopt, 0, 0}, {"rbCustom", 0xFF0000u, 1, 0},
  };
  for (const TCase& c : cases) {
    FillImage(Work(), 0x808080);
    Work().Allocate(4, 4, 0, 24);
    FillImage(Work(), 0x808080);
    QApplication::clipboard()->setImage(ToQImage(clip));
    if (c.custom) ui.AnswerColor(c.custom);
    QTimer::singleShot(0, [&] {
      TfTrans* d = window->TransDialog();
      d->findChild<QRadioButton*>(QString::fromLatin1(c.mode))->click();
      if (c.custom) QTest::mouseClick(d->Shape1, Qt::LeftButton);
      d->btnOK->click();
    });
    log.clear();
    Trigger("Transparent1");
    EXPECT_EQ(log, std::vector<std::string>{"Paste Transparent"}) << c.mode;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const TRGB24 got = Work().Row24(y)[x];
        const TRGB24 want = (x == c.keptX && y == c.keptY) ? TRGB24{128, 128, 128} : clip.Row24(y)[x];
        EXPECT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b) << c.mode << " at " << x << "," << y;
      }
  }
}

TEST_F(MainFiles, PasteTransparentOfASmallerPictureWithoutResize) {
  window->TransDialog()->rbNorm->click();
  QApplication::clipboard()->setImage(ToQImage(Solid(100, 50, 0, 0, 255)));
  FillImage(Work(), 0x000000);
  QTimer::singleShot(0, [&] {
    window->TransDialog()->cbReSize->setChecked(false);
    window->TransDialog()->btnOK->click();
  });
  Trigger("Transparent1");
  // The lower-left colour is the whole picture's: nothing is pasted but its own colour, left out.
  EXPECT_EQ(Work().Row24(0)[0].b, 0);
  // With another colour it covers only the top-left 100 x 50.
  TPixelBuffer clip = Solid(100, 50, 0, 0, 255);
  clip.Row24(49)[0] = TRGB24{0, 0, 0};
  QApplication::clipboard()->setImage(ToQImage(clip));
  QTimer::singleShot(0, [&] { window->TransDialog()->btnOK->click(); });
  Trigger("Transparent1");
  EXPECT_EQ(Work().Width(), 256);
  EXPECT_EQ(Work().Row24(10)[99].b, 255);
  EXPECT_EQ(Work().Row24(10)[100].b, 0);
  EXPECT_EQ(Work().Row24(50)[10].b, 0);
  // Cancel: no snapshot, no change.
  const bool couldUndo = window->Undo().CanUndo();
  FillImage(Work(), 0x000000);
  QTimer::singleShot(0, [&] { window->TransDialog()->btnCancel->click(); });
  Trigger("Transparent1");
  EXPECT_EQ(Work().Row24(0)[0].b, 0);
  EXPECT_EQ(window->Undo().CanUndo(), couldUndo);
}

TEST_F(MainFiles, DroppingAFileOpensIt) {
  const std::string path = PngFile(Solid(6, 7, 1, 2, 3), "drop.png");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  // Straight to the window's own handler (the application routes drops only during a drag).
  static_cast<QObject*>(window.get())->event(&drop);
  EXPECT_EQ(Work().Width(), 6);
  EXPECT_EQ(log, std::vector<std::string>{"Open File " + path});
}

TEST_F(MainFiles, MapTextureTakesTheBufferOnTheFirstRunOnly) {
  // No buffer yet: the built-in texture.
  QTimer::singleShot(0, [&] { window->TextureDialog()->BitBtn1->click(); });
  auto first = window->AskTexture();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->second, "Use Current Texture");
  CopyImage(Solid(11, 9, 255, 0, 0), Work());
  Trigger("CopyImagetoBuffer1");
  QTimer::singleShot(0, [&] { window->TextureDialog()->BitBtn1->click(); });
  auto second = window->AskTexture();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->second, "Use Buffer");
  EXPECT_EQ(second->first->Width(), 11);
  EXPECT_EQ(second->first->Row24(0)[0].r, 76);  // grey
  // Later runs keep the chosen texture and say so.
  QTimer::singleShot(0, [&] { window->TextureDialog()->BitBtn1->click(); });
  auto third = window->AskTexture();
  ASSERT_TRUE(third);
  EXPECT_EQ(third->second, "Use Current Texture");
  EXPECT_EQ(third->first->Width(), 11);
  QTimer::singleShot(0, [&] { window->TextureDialog()->BitBtn2->click(); });
  EXPECT_FALSE(window->AskTexture());
}

}  // namespace
}  // namespace vell
