// The status bar with its movement word and progress bar, the keys guide,
// the splash and the about box.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <memory>

#include "gl_test_util.h"
#include "viewer/gl/about_dlg.h"
#include "viewer/gl/cjk_font.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/status_bar.h"

namespace {

TEST(StatusBar, MovementWords) {
  struct Case {
    int mode;
    bool drawn;
    const char* word;
    const char* arrow;
  };
  const Case cases[] = {
      {1, true, "前進", "↑"},      {2, true, "後退", "↓"},      {11, true, "上へ移動", "↑"},
      {12, true, "下へ移動", "↓"}, {13, true, "左へ移動", "←"}, {14, true, "右へ移動", "→"},
      {21, true, "上を見る", "↑"}, {22, true, "下を見る", "↓"}, {23, true, "左を見る", "←"},
      {24, true, "右を見る", "→"}, {0, true, "", ""},           {3, true, "", ""},
      {-1, false, "", ""},
  };
  for (const Case& c : cases) {
    QString word, arrow;
    EXPECT_EQ(CPStatusBar::OpWord(c.mode, word, arrow), c.drawn) << c.mode;
    EXPECT_EQ(word, QString::fromUtf8(c.word)) << c.mode;
    EXPECT_EQ(arrow, QString::fromUtf8(c.arrow)) << c.mode;
  }
}

// Black and red pixels of the word pane as painted.
void CountInk(QWidget* pane, int& black, int& red) {
  const QImage img = pane->grab().toImage();
  black = red = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if (qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80) ++black;
      if (qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80) ++red;
    }
}

TEST(StatusBar, WordPaneDrawsWordInBlackAndArrowInRed) {
  EnsureApp();
  QMainWindow frame;
  auto* bar = new CPStatusBar(200, &frame);
  frame.setStatusBar(bar);
  EXPECT_EQ(bar->AddPane(QStringLiteral(" "), 300), 1);
  frame.resize(800, 200);
  frame.show();
  PumpEvents(50);
  EXPECT_EQ(bar->OpMode(), -1);
  int black, red;
  CountInk(bar->WordPane(), black, red);
  EXPECT_EQ(black + red, 0);
  EXPECT_TRUE(bar->SetOpMode(11));
  EXPECT_FALSE(bar->SetOpMode(11));
  CountInk(bar->WordPane(), black, red);
  EXPECT_GT(black, 10);
  EXPECT_GT(red, 3);
  // The arrow sits right of the word.
  const QImage img = bar->WordPane()->grab().toImage();
  int lastBlack = -1, firstRed = img.width();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if (qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80) lastBlack = std::max(lastBlack, x);
      if (qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80) firstRed = std::min(firstRed, x);
    }
  EXPECT_GT(firstRed, lastBlack - 2);
  EXPECT_TRUE(bar->SetOpMode(0));  // an empty word
  CountInk(bar->WordPane(), black, red);
  EXPECT_EQ(black + red, 0);
}

TEST(StatusBar, ProgressBarCoversItsPane) {
  EnsureApp();
  QMainWindow frame;
  auto* bar = new CPStatusBar(200, &frame);
  frame.setStatusBar(bar);
  const int pane = bar->AddPane(QStringLiteral(" "), 300);
  frame.resize(800, 200);
  frame.show();
  PumpEvents(50);
  EXPECT_FALSE(bar->Progress()->isVisible());
  EXPECT_EQ(bar->ProgressPane(), -1);
  bar->SetProgressPane(pane);
  bar->Progress()->setValue(40);
  bar->ShowProgress(true);
  PumpEvents(20);
  EXPECT_TRUE(bar->Progress()->isVisible());
  EXPECT_EQ(bar->Progress()->geometry(), bar->Pane(pane)->geometry());
  EXPECT_EQ(bar->Progress()->value(), 40);
  frame.resize(900, 200);
  PumpEvents(50);
  EXPECT_EQ(bar->Progress()->geometry(), bar->Pane(pane)->geometry());
  bar->ShowProgress(false);
  EXPECT_FALSE(bar->Progress()->isVisible());
  bar->SetProgressPane(7);  // no such pane
  EXPECT_EQ(bar->ProgressPane(), -1);
}

TEST(Fonts, JapaneseTextHasACjkFont) {
  EnsureApp();
  for (const QFont& f : {CjkFont(16), CjkMonoFont(14)}) {
    EXPECT_TRUE(f.family().contains(QStringLiteral("CJK"))) << f.family().toStdString();
    const QFontMetrics fm(f);
    for (const QChar c : QStringLiteral("要素番号材料前進↑操作キー一覧"))
      EXPECT_TRUE(fm.inFont(c)) << f.family().toStdString();
  }
  EXPECT_EQ(CjkFont(16).pixelSize(), 16);
}

TEST(KeysGuide, LineCountsAndSections) {
  const auto& ostrel = KeyGuideLines(ViewerProgram::Ostrel);
  const auto& varnek = KeyGuideLines(ViewerProgram::Varnek);
  EXPECT_EQ(ostrel.size(), 97u);
  EXPECT_EQ(varnek.size(), 98u);
  auto has = [](const std::vector<const char*>& lines, const char* text) {
    for (const char* l : lines)
      if (std::string(l).find(text) != std::string::npos) return true;
    return false;
  };
  for (const char* s : {"１．概要", "２．起動方法", "３．操作方法", "(1)視点ジャンプ移動",
                        "(2)視点移動", "(3)視点位置の保存および呼出し", "(4)表示モードの切替え",
                        "Quenor/Zuzoz", "Ostrelapp", "F9", "Home", "Enter"})
    EXPECT_TRUE(has(ostrel, s)) << s;
  for (const char* s : {"１．概要", "２．起動方法", ".in", "アイソメ図", "(3)解析結果の表示",
                        "Ostrelapp", "Varnekapp", "断面力", "シェルひずみ図"})
    EXPECT_TRUE(has(varnek, s)) << s;
  EXPECT_FALSE(has(varnek, "(4)表示モードの切替え"));
  EXPECT_FALSE(has(varnek, "視点位置の保存"));
  EXPECT_EQ(KeyGuideText(ViewerProgram::Ostrel).count(QLatin1Char('\n')), 97);
}

TEST(KeysDialog, ShownTwiceIsTheSameDialogAndOkHidesIt) {
  EnsureApp();
  CKeysDlg* dlg = CKeysDlg::ShowKeys(ViewerProgram::Ostrel);
  ASSERT_NE(dlg, nullptr);
  PumpEvents(30);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("操作キー一覧"));
  EXPECT_TRUE(dlg->Edit()->isReadOnly());
  const QString text = dlg->Edit()->toPlainText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Ostrelapp")));
  dlg->accept();  // OK
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(CKeysDlg::Instance(), dlg);
  EXPECT_EQ(CKeysDlg::ShowKeys(ViewerProgram::Ostrel), dlg);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->Edit()->toPlainText(), text);
  dlg->reject();  // キャンセル
  EXPECT_FALSE(dlg->isVisible());
  CKeysDlg::DestroyInstance();
  EXPECT_EQ(CKeysDlg::Instance(), nullptr);
}

TEST(SplashDialog, HidesItselfAfterItsTime) {
  EnsureApp();
  EXPECT_EQ(CSplashDlg::TimeoutMs(ViewerProgram::Ostrel), 2000);
  EXPECT_EQ(CSplashDlg::TimeoutMs(ViewerProgram::Varnek), 3000);
  CSplashDlg* splash = CSplashDlg::ShowSplash(ViewerProgram::Ostrel);
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->isVisible());
  EXPECT_TRUE(splash->TimerActive());
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  bool title = false, version = false;
  for (QLabel* l : splash->findChildren<QLabel*>()) {
    title |= l->text() == QStringLiteral("Ostrelapp");
    version |= l->text() == QStringLiteral("Version 1.3");
  }
  EXPECT_TRUE(title);
  EXPECT_TRUE(version);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE((splash->frameGeometry().center() - screen.center()).manhattanLength(), 4);
  // Shown for as long as its timer runs, gone once it has run out.
  ASSERT_TRUE(WaitFor([&] { return !splash->TimerActive() || !splash->isVisible(); }));
  EXPECT_FALSE(splash->TimerActive());
  EXPECT_FALSE(splash->isVisible());
  EXPECT_EQ(CSplashDlg::Instance(), splash);
  CSplashDlg::DestroyInstance();
  EXPECT_EQ(CSplashDlg::Instance(), nullptr);
}

TEST(AboutDialog, OpensModalAndCloses) {
  EnsureApp();
  CAboutDlg about(ViewerProgram::Varnek);
  EXPECT_EQ(about.windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_TRUE(about.isModal());
  bool version = false;
  for (QLabel* l : about.findChildren<QLabel*>())
    version |= l->text() == QStringLiteral("Version 1.0");
  EXPECT_TRUE(version);
  QTimer::singleShot(100, &about, &QDialog::accept);
  EXPECT_EQ(about.exec(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
