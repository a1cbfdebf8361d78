// The start-up benchmark's hooks. With OV_FIRST_PICTURE set, a program
// writes one line on standard error when a picture the benchmark waits for
// has been swapped (the model viewer's first picture of a model, the results
// viewer's first picture of a run and of a diagram). Scripts in bench/ parse
// these lines: their words and number formats are an interface.
#pragma once
#include <string>

#include "viewer/display_model.h"

// Seconds on a monotonic clock, for differences.
double SteadySeconds();
// Seconds since the process started (0 when the system does not say).
double ProcessSeconds();
// True when OV_FIRST_PICTURE is set (read once).
bool FirstPictureWanted();

// "first picture <since the start> s: read <s> link <s> display <s>
// compile <s> draw <s>\n"
std::string FirstPictureLine(double sinceStart, const CDispModel::LoadSeconds& load, double compile,
                             double draw);
// "<what> picture <since the start> s\n"
std::string PictureLine(const char* what, double sinceStart);

// Writes PictureLine(what, ProcessSeconds()) when the report is wanted (for a
// view that knows itself which swapped frame completes a picture).
void ReportPicture(const char* what);

// The model viewer's report: the first frame that drew the document,
// reported with its load, compile and drawing seconds once swapped.
class CFirstPictureReport {
 public:
  // A frame drew the document; it began at `start` (SteadySeconds) and
  // compiled display lists for `compile` seconds of it. The first such frame
  // is reported at its swap, when the report is wanted.
  void FrameDrawn(double start, double compile);
  // A frame was swapped: the frame marked by FrameDrawn is reported.
  // `doc` (may be null) is read only when the report is written: between
  // frames a loading thread may still be writing its times.
  void Swapped(const CDispModel* doc);

 private:
  bool m_bReported = false;
  bool m_bAtSwap = false;
  double m_dStart = 0, m_dCompile = 0;
};
