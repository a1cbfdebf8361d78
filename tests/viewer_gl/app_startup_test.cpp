// The start-up settings both programs make, and the benchmark's report
// lines (scripts in bench/ parse them word by word).
#include <gtest/gtest.h>

#include <QThreadPool>
#include <clocale>
#include <string>

#include "gl_test_util.h"
#include "viewer/gl/app_startup.h"
#include "viewer/gl/first_picture.h"

namespace {

// A locale with decimal commas, where installed.
struct CommaLocale {
  CommaLocale() { std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
};

TEST(AppStartup, SettingsOverrideWhatTheEnvironmentSet) {
  EnsureApp();
  const CommaLocale comma;
  QThreadPool::globalInstance()->setMaxThreadCount(16);
  ApplyStartupSettings();
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_EQ(QThreadPool::globalInstance()->maxThreadCount(), kGlobalPoolThreads);
}

TEST(FirstPicture, ReportLinesKeepTheirWordsAndFormats) {
  const CommaLocale comma;
  const CDispModel::LoadSeconds load{0.25, 0.5, 1.0626};
  EXPECT_EQ(FirstPictureLine(3.14159, load, 0.0006, 12.0),
            "first picture 3.142 s: read 0.250 link 0.500 display 1.063 compile 0.001 draw 12.000\n");
  struct Case {
    const char* what;
    double seconds;
    const char* line;
  };
  for (const Case& c : {Case{"first", 0.0, "first picture 0.000 s\n"},
                        Case{"diagram", 1234.5678, "diagram picture 1234.568 s\n"}})
    EXPECT_EQ(PictureLine(c.what, c.seconds), c.line);
}

}  // namespace
