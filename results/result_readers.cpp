#include "results/result_readers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "results/word_reader.h"

namespace {

// Fibres a table can take besides its minimum and maximum rows.
constexpr int kMaxFiberItems = CPageArray<CFbOp>::kMaxItems - 2;

FbTablePtr Fail(CFbResultSet& rs, std::string why) {
  rs.m_strLastError = std::move(why);
  return nullptr;
}

// head + index x stepWords, or -1 when a value is negative or the word
// lies too far out to be located (far past any real file).
int64_t StartWord(int64_t head, int64_t index, int64_t stepWords) {
  constexpr int64_t kLimit = int64_t{1} << 60;
  if (head < 0 || index < 0 || stepWords < 0) return -1;
  int64_t product = 0, sum = 0;
  if (__builtin_mul_overflow(index, stepWords, &product) || __builtin_add_overflow(head, product, &sum)) return -1;
  return sum > kLimit ? -1 : sum;
}

// The system's reason for a failed open, as the file-error box shows it
// (at most 100 bytes, never cutting a UTF-8 character).
std::string OpenFailureText(const std::string& path, const std::string& reason) {
  std::string text = path + ": " + reason;
  if (text.size() > 100) {
    size_t cut = 100;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  return text;
}

bool IsStaticOrDynamic(const CFbResultSet& rs) { return rs.m_model.m_nAnaType == 1 || rs.m_model.m_nAnaType == 2; }

unsigned VariantOf(const CFbResultSet& rs) {
  return rs.m_model.m_nAnaType == 1 ? fbcode::kStatic : fbcode::kDynamic;
}

// The global step of the arguments; false when the step does not exist.
// `keepPair` also records the load case and the step of a static run.
bool PickStep(const CFbResultSet& rs, CFbOpBlock& t, int caseOrStep, int step, bool keepPair, int& g) {
  if (rs.m_model.m_nAnaType == 1) {
    g = rs.m_model.GetStepIndex(caseOrStep, step);
    if (g < 1) return false;
    t.m_nGStep = g;
    if (keepPair) {
      t.m_nCase = caseOrStep;
      t.m_nStep = step;
    }
    return true;
  }
  g = caseOrStep;
  if (g < 1) return false;
  t.m_nGStep = g;
  return true;
}

// Appends a record of the table's class (envelopes carry the key of every
// value); null when the table is full.
template <class Plain, class CaseT, class TimeT>
Plain* NewRecord(CFbOpBlock& t) {
  if (t.Category() == fbcode::kEnvelope) {
    if (t.Variant() == fbcode::kStatic) return t.AppendNew<CaseT>();
    return t.AppendNew<TimeT>();
  }
  return t.AppendNew<Plain>();
}

std::string ShortText(const std::string& path, int read, int count) {
  return plat::Format("%s: %d of %d records present", path.c_str(), read, count);
}

// Node and beam records: `count` records of Plain::kValues floats from
// `start`. Returns the records read, or -2 when the table refused one.
// With `lo`/`hi` the column extremes are kept (both bounds, every value).
// `plainOnly` makes plain records whatever the table's category.
template <class Plain, class CaseT, class TimeT>
int ReadFloatRecords(ResultWordReader& rd, CFbOpBlock& t, int64_t start, int count, Plain* lo, Plain* hi,
                     bool plainOnly = false) {
  constexpr int n = Plain::kValues;
  rd.Plan(start, static_cast<int64_t>(count) * n);
  for (int k = 0; k < count; ++k) {
    // A record goes into the table only when all its values were read.
    float values[n];
    for (int i = 0; i < n; ++i) {
      float& v = values[i];
      if (!rd.ReadFloat(start + static_cast<int64_t>(k) * n + i, v)) return k;
      if (lo) {
        if (v < lo->m_adValue[i]) lo->m_adValue[i] = v;
        if (v > hi->m_adValue[i]) hi->m_adValue[i] = v;
      }
    }
    Plain* rec = plainOnly ? t.AppendNew<Plain>() : NewRecord<Plain, CaseT, TimeT>(t);
    if (!rec) return -2;
    for (int i = 0; i < n; ++i) rec->m_adValue[i] = values[i];
  }
  return count;
}

// Shared body of the node and beam readers.
template <class Plain, class CaseT, class TimeT>
FbTablePtr ReadItemStep(CFbResultSet& rs, unsigned quantity, FbFile file, int count, int caseOrStep, int step) {
  rs.m_strLastError.clear();
  if (!IsStaticOrDynamic(rs)) return Fail(rs, "no static or dynamic run is loaded");
  auto t = std::make_unique<CFbOpBlock>(quantity | fbcode::kPerItem | VariantOf(rs), 0);
  int g = 0;
  if (!PickStep(rs, *t, caseOrStep, step, true, g)) return Fail(rs, plat::Format("no step %d/%d", caseOrStep, step));
  const std::string path = rs.ResultPath(file);
  plat::BinaryFile f;
  std::string reason;
  if (!f.Open(path, &reason)) return Fail(rs, OpenFailureText(path, reason));
  if (rs.m_nRecWords < 1) return Fail(rs, path + ": record length unknown");
  if (count < 1) return Fail(rs, path + ": the model has nothing to read");
  const int64_t start = StartWord(rs.m_aHeadWords[file], g - 1, rs.m_aStepWords[file]);
  if (start < 0) return Fail(rs, plat::Format("%s: step %d cannot be located", path.c_str(), g));

  ResultWordReader rd(f, rs.m_nRecWords);
  const bool extremes = quantity == fbcode::kBeam;
  Plain lo, hi;
  for (double& v : lo.m_adValue) v = std::numeric_limits<double>::max();
  for (double& v : hi.m_adValue) v = -std::numeric_limits<double>::max();
  const int read = ReadFloatRecords<Plain, CaseT, TimeT>(rd, *t, start, count, extremes ? &lo : nullptr,
                                                         extremes ? &hi : nullptr);
  if (read == -2) return Fail(rs, path + ": result table full");
  // A step that the file holds only in part keeps the records read so far
  // (the callers place only the rows a table has); a beam table still ends
  // with its minimum and maximum rows, the initial extremes when no element
  // was read.
  if (extremes) {
    if (!t->AppendNew<Plain>(lo) || !t->AppendNew<Plain>(hi))
      return Fail(rs, path + ": result table full");
  }
  return t;
}

}  // namespace

FbTablePtr ReadNodeResult(CFbResultSet& rs, int caseOrStep, int step) {
  return ReadItemStep<FbNOut, FbNOutCase, FbNOutTime>(rs, fbcode::kNodeDisp, kFbDis, rs.m_model.m_nNodes, caseOrStep,
                                                      step);
}

FbTablePtr ReadBeamForce(CFbResultSet& rs, int caseOrStep, int step) {
  return ReadItemStep<FbEOut, FbEOutCase, FbEOutTime>(rs, fbcode::kBeam, kFbFrc, rs.m_model.m_nElems, caseOrStep,
                                                      step);
}

FbTablePtr ReadModeShape(CFbResultSet& rs, unsigned mode) {
  rs.m_strLastError.clear();
  auto t = std::make_unique<CFbOpBlock>(0x120, 0);
  const std::string path = rs.ResultPath(kFbMd);
  plat::BinaryFile f;
  std::string reason;
  if (!f.Open(path, &reason)) return Fail(rs, OpenFailureText(path, reason));
  const int modes = std::max(0, rs.m_model.m_nModeCount);
  rs.m_aHeadWords[kFbMd] = modes;
  if (mode < 1 || mode > static_cast<unsigned>(modes)) return Fail(rs, plat::Format("no mode %u", mode));
  if (rs.m_nRecWords < 1) return Fail(rs, path + ": record length unknown");
  const int nodes = rs.m_model.m_nNodes;
  if (nodes < 1) return Fail(rs, path + ": the model has nothing to read");
  const int64_t start = StartWord(modes, mode - 1, static_cast<int64_t>(nodes) * 6);
  if (start < 0) return Fail(rs, plat::Format("%s: mode %u cannot be located", path.c_str(), mode));
  ResultWordReader rd(f, rs.m_nRecWords);
  // Plain node records, although the code's category is that of envelopes.
  const int read = ReadFloatRecords<FbNOut, FbNOutCase, FbNOutTime>(rd, *t, start, nodes, nullptr, nullptr, true);
  if (read == -2) return Fail(rs, path + ": result table full");
  if (read < nodes) return Fail(rs, ShortText(path, read, nodes));
  return t;
}

namespace {

// Fibre records of kinds 1 and 2 are made before reading (the values are
// filled in), followed by the minimum and maximum rows.
bool BuildFiberRecords(CFbOpBlock& t, int kind, int count) {
  if (kind == 0) return true;
  for (int k = 0; k < count; ++k) {
    FbFOut* rec = NewRecord<FbFOut, FbFOutCase, FbFOutTime>(t);
    if (!rec) return false;
    rec->m_nState = 0;
  }
  if (t.Category() != fbcode::kEnvelope) {
    for (int k = 0; k < 2; ++k) {
      FbFOut* rec = t.AppendNew<FbFOut>();
      if (!rec) return false;
      rec->m_nState = 0;
    }
  }
  return true;
}

// The payload words of the reader's file, at most: a short last record's
// own length is not looked at (every word whose bytes are there counts).
int64_t WordsAtMost(const ResultWordReader& rd, int64_t recWords) {
  return FbPayloadWords(rd.FileSize(), recWords, UINT32_MAX);
}

// The items of a step, `stride` words apart from `start`, that have at
// least their first word in the file: a table made before reading gets no
// more records than that, whatever count the input's header claims.
int ItemsInFile(const ResultWordReader& rd, int64_t recWords, int64_t start, int64_t stride, int count) {
  const int64_t payload = WordsAtMost(rd, recWords);
  if (stride < 1 || start >= payload) return 0;
  return static_cast<int>(std::min<int64_t>(count, (payload - start + stride - 1) / stride));
}

// "[1] first word, words, byte position, file length, file name": a word
// of the step lies past the end of the file.
void ShowPastEnd(CFbResultSet& rs, const ResultWordReader& rd, int64_t first, int64_t words, int64_t word,
                 const std::string& path) {
  rs.ShowMessage(plat::Format("[1] %lu  %lu  %lu  %lu  %s", static_cast<unsigned long>(first),
                              static_cast<unsigned long>(words), static_cast<unsigned long>(rd.ByteOffset(word)),
                              static_cast<unsigned long>(rd.FileSize()), path.c_str()));
}

// 1 read completely, or cut short: the records read so far stay, and a word
// that starts beyond the end of the file is shown to the user; -1 a record
// to fill is missing; -2 the table refused a record.
// `built`: the records made before reading (the rest of `count` lies beyond
// the end of the file).
int ReadFiberRecords(CFbResultSet& rs, ResultWordReader& rd, CFbOpBlock& t, int kind, int64_t start, int count,
                     int built, const std::string& path) {
  const int w = kind == 0 ? 3 : kind == 1 ? (rs.m_bFiberShear ? 3 : 1) : 1;
  float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
  float hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  const bool made = kind == 0;  // kinds 1 and 2 fill records made before
  rd.Plan(start, static_cast<int64_t>(count) * w);
  // The first `got` words of a record into it.
  auto store = [&](FbFOut* rec, const uint32_t* raw, int got) {
    for (int i = 0; i < got; ++i) {
      if (kind == 2) {
        rec->m_nState = static_cast<int32_t>(raw[i]);
        continue;
      }
      float v;
      std::memcpy(&v, &raw[i], 4);
      const int col = kind == 0 ? i : 3 + i;
      rec->m_adValue[col] = v;
      if (v < lo[i]) lo[i] = v;
      if (v > hi[i]) hi[i] = v;
    }
  };
  int k = 0;
  if (made && t.Category() != fbcode::kEnvelope) {
    // The records whose words are all in the file are made many at a time
    // and filled from the buffer; the loop below takes a cut last one.
    const int64_t payload = WordsAtMost(rd, rs.m_nRecWords);
    int64_t whole = std::clamp<int64_t>((payload - start) / w, 0, count);
    while (whole > 0 && (rd.ByteOffset(start + whole * w - 1) < 0 ||
                         rd.ByteOffset(start + whole * w - 1) > rd.FileSize() - 4))
      --whole;
    std::vector<uint32_t> words;
    while (k < whole) {
      FbFOut* run = nullptr;
      const int n = t.AppendNewRun<FbFOut>(static_cast<int>(whole - k), &run);
      if (n < 1) return -2;
      const int64_t want = static_cast<int64_t>(n) * w;
      words.resize(static_cast<size_t>(want));
      if (rd.ReadWords(start + static_cast<int64_t>(k) * w, want, words.data()) != want)
        return -1;  // the file changed under the reader
      for (int j = 0; j < n; ++j, ++k) store(run + j, words.data() + static_cast<size_t>(j) * w, w);
    }
  }
  for (; k < count; ++k) {
    FbFOut* rec = nullptr;
    if (!made && k < built) {
      rec = static_cast<FbFOut*>(t.GetAt(k));
      if (!rec) return -1;
    }
    const int64_t first = start + static_cast<int64_t>(k) * w;
    uint32_t raw[3];
    int got = 0;
    while (got < w && rd.ReadRaw(first + got, raw[got])) ++got;
    if (got < w) {
      // A record being made is dropped; one being filled keeps what was read.
      if (rec) store(rec, raw, got);
      if (rd.PastEnd(first + got)) ShowPastEnd(rs, rd, first, w, first + got, path);
      return 1;
    }
    if (made && !(rec = NewRecord<FbFOut, FbFOutCase, FbFOutTime>(t))) return -2;
    if (!rec) return -1;
    store(rec, raw, w);
  }
  if (made) {
    if (t.Category() != fbcode::kEnvelope) {
      FbFOut* mn = t.AppendNew<FbFOut>();
      FbFOut* mx = mn ? t.AppendNew<FbFOut>() : nullptr;
      if (!mx) return -2;
      for (int i = 0; i < w; ++i) {
        mn->m_adValue[i] = lo[i];
        mx->m_adValue[i] = hi[i];
      }
    }
  } else if (kind == 1) {
    auto* mn = static_cast<FbFOut*>(t.GetAt(built));
    auto* mx = static_cast<FbFOut*>(t.GetAt(built + 1));
    for (int i = 0; i < w; ++i) {
      if (mn) mn->m_adValue[3 + i] = lo[i];
      if (mx) mx->m_adValue[3 + i] = hi[i];
    }
  }
  return 1;
}

// The file of a fibre or shell quantity and the first word of step g.
struct StepFile {
  std::string path;
  int64_t start = -1;
};

StepFile LocateStep(CFbResultSet& rs, FbFile file, int g, bool blocks) {
  StepFile sf;
  if (blocks) {
    sf.path = rs.GetBlockFileName(g, file);
    const int64_t offset = rs.GetOffset(g, rs.m_aStepWords[file]);
    sf.start = StartWord(rs.m_aHeadWords[file], 1, offset);
  } else {
    sf.path = rs.ResultPath(file);
    sf.start = StartWord(rs.m_aHeadWords[file], g - 1, rs.m_aStepWords[file]);
  }
  return sf;
}

}  // namespace

FbTablePtr ReadFiberResult(CFbResultSet& rs, int caseOrStep, int step, int kind) {
  rs.m_strLastError.clear();
  if (kind < 0 || kind > 2) return Fail(rs, plat::Format("no fibre result of kind %d", kind));
  if (!IsStaticOrDynamic(rs)) return Fail(rs, "no static or dynamic run is loaded");
  const int count = rs.m_model.m_nFibers;
  if (count < 1) return Fail(rs, "the model has no fibres");
  // A table holds its fibres and the minimum and maximum rows: a model of
  // more fibres is refused at once, not after a million records.
  if (count > kMaxFiberItems) {
    const std::string text =
        plat::Format("ﾒﾓﾘｵｰﾊﾞｰです\nﾌｧｲﾊﾞｰﾃﾞｰﾀ(%d/%d)", count, kMaxFiberItems);
    rs.ShowMessage(text);
    return Fail(rs, text);
  }
  auto t = std::make_unique<CFbOpBlock>(fbcode::kFiber | fbcode::kPerItem | VariantOf(rs), rs.m_bFiberShear);
  int g = 0;
  if (!PickStep(rs, *t, caseOrStep, step, true, g)) return Fail(rs, plat::Format("no step %d/%d", caseOrStep, step));

  const FbFile file = kind == 0 ? kFbSig : kind == 1 ? kFbEps : kFbSta;
  const bool blocks = rs.m_model.m_nAnaType == 2 && rs.m_nBlkStep != 0;
  const StepFile sf = LocateStep(rs, file, g, blocks);
  plat::BinaryFile f;
  std::string reason;
  if (!f.Open(sf.path, &reason)) {
    const std::string text = OpenFailureText(sf.path, reason);
    if (kind == 0 && blocks) rs.ShowMessage(text);
    return Fail(rs, text);
  }
  if (rs.m_nRecWords < 1) return Fail(rs, sf.path + ": record length unknown");
  if (sf.start < 0) return Fail(rs, plat::Format("%s: step %d cannot be located", sf.path.c_str(), g));
  ResultWordReader rd(f, rs.m_nRecWords);
  const int w = kind == 1 && rs.m_bFiberShear ? 3 : kind == 0 ? 3 : 1;
  const int built = kind == 0 ? 0 : ItemsInFile(rd, rs.m_nRecWords, sf.start, w, count);
  if (!BuildFiberRecords(*t, kind, built)) return Fail(rs, "result table full");
  const int r = ReadFiberRecords(rs, rd, *t, kind, sf.start, count, built, sf.path);
  if (r < 1) return Fail(rs, sf.path + (r == -1 ? ": a record to fill is missing" : ": result table full"));
  return t;
}

void CalcMisesStress(FbQOut& rec) {
  for (int p = 0; p < FbQOut::kPoints; ++p) {
    const double sx = rec.m_adValue[0][p], sy = rec.m_adValue[1][p], sz = rec.m_adValue[2][p];
    const double t1 = rec.m_adValue[3][p], t2 = rec.m_adValue[4][p], t3 = rec.m_adValue[5][p];
    const double mises = std::sqrt(0.5 * ((sx - sy) * (sx - sy) + (sy - sz) * (sy - sz) + (sz - sx) * (sz - sx)) +
                                   3 * (t1 * t1 + t2 * t2 + t3 * t3));
    rec.m_adValue[FbQOut::kMises][p] = static_cast<float>(mises);
  }
}

namespace {

// 1 read completely, or cut short as for fibres; -1 a record to fill is
// missing; -2 the table refused a record.
int ReadShellRecords(CFbResultSet& rs, ResultWordReader& rd, CFbOpBlock& t, int kind, int64_t start, int count,
                     int built, int layers, const std::string& path) {
  const int w = kind == 2 ? 1 : 6;
  const int64_t stride = static_cast<int64_t>(layers) * w * FbQOut::kPoints;
  const bool made = kind == 0;  // kinds 1 and 2 fill records made before
  rd.Plan(start, count * stride);
  // The first `got` words of a record into it, point by point.
  auto store = [&](FbQOut* rec, const uint32_t* raw, int got) {
    for (int i = 0, n = 0; i < FbQOut::kPoints; ++i) {
      for (int j = 0; j < w; ++j, ++n) {
        if (n == got) return;
        if (kind == 2) {
          rec->m_anState[i] = static_cast<int32_t>(raw[n]);
        } else {
          float v;
          std::memcpy(&v, &raw[n], 4);
          rec->m_adValue[j][i] = v;
        }
      }
    }
  };
  for (int k = 0; k < count; ++k) {
    FbQOut* rec = nullptr;
    if (!made && k < built) {
      rec = static_cast<FbQOut*>(t.GetAt(k));
      if (!rec) return -1;
    }
    // Layer by layer, four integration points a layer; the table shows the
    // record's layer (0 for a record being made).
    const int layer = rec ? rec->m_nLayer : 0;
    const int64_t first = start + k * stride;
    uint32_t raw[FbQOut::kPoints * 6];
    int got = 0;
    for (int i = 0; i < FbQOut::kPoints; ++i) {
      for (int j = 0; j < w; ++j) {
        const int64_t word = first + (static_cast<int64_t>(layer) * FbQOut::kPoints + i) * w + j;
        if (!rd.ReadRaw(word, raw[got])) {
          // A record being made is dropped; one being filled keeps what was
          // read.
          if (rec) store(rec, raw, got);
          if (rd.PastEnd(word)) ShowPastEnd(rs, rd, first, stride, word, path);
          return 1;
        }
        ++got;
      }
    }
    if (made && !(rec = NewRecord<FbQOut, FbQOutCase, FbQOutTime>(t))) return -2;
    if (!rec) return -1;
    store(rec, raw, got);
    if (kind == 0) CalcMisesStress(*rec);
  }
  return 1;
}

}  // namespace

FbTablePtr ReadShellResult(CFbResultSet& rs, int kind, int caseOrStep, int step) {
  rs.m_strLastError.clear();
  if (kind < 0 || kind > 2) return Fail(rs, plat::Format("no shell result of kind %d", kind));
  if (!IsStaticOrDynamic(rs)) return Fail(rs, "no static or dynamic run is loaded");
  const unsigned quantity = kind == 0 ? fbcode::kShellStress : fbcode::kShellStrain;
  auto t = std::make_unique<CFbOpBlock>(quantity | fbcode::kPerItem | VariantOf(rs), rs.m_bFiberShear);
  int g = 0;
  if (!PickStep(rs, *t, caseOrStep, step, false, g)) return Fail(rs, plat::Format("no step %d/%d", caseOrStep, step));
  const int count = rs.m_model.m_nQuads;
  const int layers = rs.m_model.m_nLayers;
  if (count < 1 || layers < 1) return Fail(rs, "the model has no shell layers");

  const FbFile file = kind == 0 ? kFbSgs : kind == 1 ? kFbEss : kFbShellState;
  const StepFile sf = LocateStep(rs, file, g, true);
  plat::BinaryFile f;
  std::string reason;
  if (!f.Open(sf.path, &reason)) {
    const std::string text = OpenFailureText(sf.path, reason);
    if (kind == 0) rs.ShowMessage(text);
    return Fail(rs, text);
  }
  if (rs.m_nRecWords < 1) return Fail(rs, sf.path + ": record length unknown");
  if (sf.start < 0) return Fail(rs, plat::Format("%s: step %d cannot be located", sf.path.c_str(), g));
  ResultWordReader rd(f, rs.m_nRecWords);
  const int64_t stride = static_cast<int64_t>(layers) * (kind == 2 ? 1 : 6) * FbQOut::kPoints;
  const int built = kind == 0 ? 0 : ItemsInFile(rd, rs.m_nRecWords, sf.start, stride, count);
  for (int k = 0; k < built; ++k)
    if (!NewRecord<FbQOut, FbQOutCase, FbQOutTime>(*t)) return Fail(rs, "result table full");
  const int r = ReadShellRecords(rs, rd, *t, kind, sf.start, count, built, layers, sf.path);
  if (r < 1) return Fail(rs, sf.path + (r == -1 ? ": a record to fill is missing" : ": result table full"));
  return t;
}
