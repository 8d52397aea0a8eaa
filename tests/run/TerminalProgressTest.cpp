#include <gtest/gtest.h>

#include <sstream>

#include "run/HeadlessWindow.h"
#include "run/TerminalProgress.h"

namespace {

TEST(ProgressLine, ShowsShareRateAndTimeLeft) {
  struct Case {
    std::int64_t done;
    std::int64_t total;
    double seconds;
    const char* line;
  } cases[] = {
      {0, 1000, 0, "X [..............................]   0%"},
      {512 * 1024, 1024 * 1024, 2, "X [###############...............]  50%  256,0 KB/s  faltam 0:02"},
      {1024 * 1024, 1024 * 1024, 0.5, "X [##############################] 100%  2,0 MB/s"},
      {10, 7200 + 10, 10, "X [..............................]   0%  1,0 B/s  faltam 2:00:00"},
      {50, 0, 1, "X [..............................]   0%  50,0 B/s"},  // size unknown
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run::ProgressLine("X", c.done, c.total, c.seconds), c.line) << c.done << "/" << c.total;
  }
}

class Bar : public ::testing::Test {
 protected:
  std::ostringstream out_;
  double now_ = 100;
  run::TerminalProgress progress_{out_, [this] { return now_; }};
};

TEST_F(Bar, RedrawsInPlaceAtMostTenTimesASecondAndAlwaysAtTheEnd) {
  progress_.Begin("Envio FTP", 100);
  progress_.Update(10);  // within a tenth of a second of the last drawing: not drawn
  now_ += 0.2;
  progress_.Update(20);
  progress_.Update(100);  // the end is always drawn
  now_ += 5;
  progress_.End();  // the figures stay those of the last report
  const std::string text = out_.str();
  EXPECT_EQ(text,
            "\rEnvio FTP [..............................]   0%\033[K"
            "\rEnvio FTP [######........................]  20%  100,0 B/s  faltam 0:01\033[K"
            "\rEnvio FTP [##############################] 100%  500,0 B/s\033[K"
            "\rEnvio FTP [##############################] 100%  500,0 B/s\033[K\n");
  EXPECT_FALSE(progress_.Active());
  progress_.Update(5);  // no bar: nothing
  progress_.End();
  EXPECT_EQ(out_.str(), text);
}

TEST(HeadlessWindowBars, ConsoleLinesTakeTheBarOffTheLineFirst) {
  std::ostringstream out, errors;
  double now = 0;
  run::TerminalProgress progress(out, [&now] { return now; });
  run::HeadlessWindow window(out, errors, &progress);
  window.ArchiveProgress(0, 200);
  now = 1;
  window.ArchiveProgress(100, 200);
  window.AppendConsoleLine("21:07:28 - linha");
  window.ArchiveProgress(200, 200);
  window.ArchiveEnded();
  // A listing of unknown size gets no bar; the upload does, until the connection closes.
  window.ShowGauge();
  window.SetGaugeProgress(0);
  window.SetGaugeMaximum(0);
  window.SetGaugeProgress(300);
  window.SetGaugeMaximum(50);
  window.SetGaugeProgress(50);
  window.AppendConsoleLine("21:07:29 - enviado");  // a finished bar stays on its line
  window.HideGauge();
  EXPECT_EQ(out.str(),
            "\rCompactação [..............................]   0%\033[K"
            "\rCompactação [###############...............]  50%  100,0 B/s  faltam 0:01\033[K"
            "\r\033[K21:07:28 - linha\n"
            "\rCompactação [##############################] 100%  200,0 B/s\033[K"
            "\rCompactação [##############################] 100%  200,0 B/s\033[K\n"
            "\rEnvio FTP [..............................]   0%\033[K"
            "\rEnvio FTP [##############################] 100%\033[K"
            "\rEnvio FTP [##############################] 100%\033[K\n"
            "21:07:29 - enviado\n");
  EXPECT_EQ(errors.str(), "");
}

TEST(HeadlessWindowBars, NoneWithoutATerminal) {
  std::ostringstream out, errors;
  run::HeadlessWindow window(out, errors);
  window.ArchiveProgress(100, 200);
  window.ArchiveEnded();
  window.SetGaugeMaximum(50);
  window.SetGaugeProgress(50);
  window.HideGauge();
  window.AppendConsoleLine("linha");
  EXPECT_EQ(out.str(), "linha\n");
}

}  // namespace
