#include "viewer/gl/first_picture.h"

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/numbers.h"

namespace {

void WriteReport(const std::string& line) {
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ProcessSeconds() {
  // Field 22 of /proc/self/stat: the start in clock ticks after boot; the
  // command name (field 2) may hold spaces, so counting starts after its ')'.
  std::ifstream in("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  unsigned long long start = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i)
    if (i == 22) start = std::strtoull(field.c_str(), nullptr, 10);
  const long ticks = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (start == 0 || ticks <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return 0;
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - static_cast<double>(start) / ticks;
}

bool FirstPictureWanted() {
  static const bool wanted = std::getenv("OV_FIRST_PICTURE") != nullptr;
  return wanted;
}

std::string FirstPictureLine(double sinceStart, const CDispModel::LoadSeconds& load, double compile,
                             double draw) {
  return plat::Format("first picture %.3f s: read %.3f link %.3f display %.3f compile %.3f draw %.3f\n",
                      sinceStart, load.read, load.link, load.build, compile, draw);
}

std::string PictureLine(const char* what, double sinceStart) {
  return plat::Format("%s picture %.3f s\n", what, sinceStart);
}

void ReportPicture(const char* what) {
  if (FirstPictureWanted()) WriteReport(PictureLine(what, ProcessSeconds()));
}

void CFirstPictureReport::FrameDrawn(double start, double compile) {
  if (m_bReported || m_bAtSwap || !FirstPictureWanted()) return;
  m_bAtSwap = true;
  m_dStart = start;
  m_dCompile = compile;
}

void CFirstPictureReport::Swapped(const CDispModel* doc) {
  if (!m_bAtSwap) return;
  const CDispModel::LoadSeconds load = doc ? doc->m_loadSeconds : CDispModel::LoadSeconds{};
  m_bAtSwap = false;
  m_bReported = true;
  const double draw = SteadySeconds() - m_dStart - m_dCompile;
  WriteReport(FirstPictureLine(ProcessSeconds(), load, m_dCompile, draw));
}
