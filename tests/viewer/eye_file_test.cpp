#include "viewer/eye_file.h"

#include <gtest/gtest.h>

#include "viewer/test_folder.h"
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/binary_file.h"
#include "platform/text_lines.h"

namespace fs = std::filesystem;

namespace {

double F64At(const std::string& data, size_t offset) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) {
    v |= static_cast<uint64_t>(static_cast<unsigned char>(data[offset + i])) << (8 * i);
  }
  double d;
  std::memcpy(&d, &v, sizeof d);
  return d;
}

int32_t I32At(const std::string& data, size_t offset) {
  return plat::DecodeInt32LE(reinterpret_cast<const unsigned char*>(data.data() + offset));
}

CViewSettings Camera(double k) {
  CViewSettings s;
  InitViewSettings(s);
  for (int i = 0; i < 3; ++i) {
    s.eye[i] = k + i;
    s.center[i] = k + 10 + i;
    s.up[i] = k + 20 + i;
  }
  // Values a camera can have, each telling its k.
  s.anglex = 30 + std::fmod(k, 100.0);
  s.distance = k + 40;
  s.azimuth = k / 1000 - 3;
  s.polar = k / 1000 + 1;
  s.flip = 1;
  return s;
}

// A file of `count` in its header and `records` whole records plus `extra`
// bytes, each record's reserved words set to 5 and 7.
std::string EyeBytes(int32_t count, int records, int extra = 0) {
  std::string data(4 + static_cast<size_t>(records) * EyeRecord::kSize + extra, '\0');
  auto* p = reinterpret_cast<unsigned char*>(data.data());
  plat::EncodeInt32LE(count, p);
  for (int i = 0; i < records; ++i) {
    EyeRecord r;
    r.Set(Camera(i));
    r.reserved4 = 5;
    r.reserved5 = 7;
    r.Encode(p + 4 + i * EyeRecord::kSize);
  }
  return data;
}

TEST(EyeFile, RecordLayout) {
  EyeRecord r;
  r.Set(Camera(100));
  r.reserved1[1] = 0;
  r.reserved4 = 0x01020304;
  r.reserved5 = -2;
  unsigned char buf[EyeRecord::kSize];
  std::memset(buf, 0xAA, sizeof buf);
  r.Encode(buf);
  const std::string data(reinterpret_cast<char*>(buf), sizeof buf);
  struct Field {
    size_t offset;
    double value;
  };
  const Field fields[] = {{0, 100},   {8, 101},   {16, 102},  {24, 110},  {40, 112},
                          {48, 0},    {72, 120},  {88, 122},  {96, 0},    {120, 30},
                          {128, 0},   {136, 0},   {144, 140}, {152, -2.9}, {160, 1.1}};
  for (const Field& f : fields) EXPECT_EQ(F64At(data, f.offset), f.value) << f.offset;
  EXPECT_EQ(buf[168], 1);
  EXPECT_EQ(buf[169], 0);
  EXPECT_EQ(buf[171], 0);
  EXPECT_EQ(I32At(data, 172), 0x01020304);
  EXPECT_EQ(I32At(data, 176), -2);
  EXPECT_EQ(I32At(data, 180), 0);

  // Decoding keeps the first reserved word and clears the last.
  EyeRecord back;
  back.Decode(buf);
  EXPECT_EQ(back.eye[2], 102);
  EXPECT_EQ(back.up[0], 120);
  EXPECT_EQ(back.polar, 1.1);
  EXPECT_EQ(back.flip, 1);
  EXPECT_EQ(back.reserved4, 0x01020304);
  EXPECT_EQ(back.reserved5, 0);

  // Set keeps the reserved fields; Get gives the camera back.
  back.reserved2[0] = 9;
  back.Set(Camera(3));
  EXPECT_EQ(back.reserved2[0], 9);
  CViewSettings cam;
  InitViewSettings(cam);
  back.Get(cam);
  EXPECT_EQ(cam.eye[1], 4);
  EXPECT_EQ(cam.center[0], 13);
  EXPECT_EQ(cam.up[2], 25);
  EXPECT_EQ(cam.anglex, 33);
  EXPECT_EQ(cam.distance, 43);
  EXPECT_EQ(cam.azimuth, 3.0 / 1000 - 3);
  EXPECT_EQ(cam.flip, 1);
}

TEST(EyeFile, SaveAndReadBack) {
  TestFolder dir;
  CEyeList list;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(list.Register(Camera(i)));
  const std::string path = dir.Dir() + "m.eye";
  std::string error;
  ASSERT_TRUE(list.WriteFile(path, &error)) << error;
  std::string data;
  ASSERT_TRUE(plat::ReadWholeFile(path, data));
  ASSERT_EQ(data.size(), 556u);
  EXPECT_EQ(I32At(data, 0), 3);
  EXPECT_EQ(F64At(data, 4 + 2 * 184 + 24), 12.0);  // centre x of record 2
  // Nothing else is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator{}), 1);

  CEyeList back;
  ASSERT_TRUE(back.ReadFile(path));
  EXPECT_EQ(back.Count(), 3);
  EXPECT_EQ(back.At(1).eye[0], 1.0);
  EXPECT_EQ(back.At(2).azimuth, 2.0 / 1000 - 3);
}

TEST(EyeFile, CountsAndShortFiles) {
  struct Case {
    int32_t count;
    int records;
    int extra;
    int expect;
  };
  const Case cases[] = {
      {2, 2, 0, 2},        {0, 1, 0, 0},       {-4, 2, 0, 0},
      {5000, 2, 0, 2},     {3, 2, 100, 2},     // half a record is not loaded
      {1200, 1100, 0, 1000},                   // cut to the table
  };
  TestFolder dir;
  const std::string path = dir.Dir() + "c.eye";
  for (const Case& c : cases) {
    ASSERT_TRUE(plat::WriteWholeFile(path, EyeBytes(c.count, c.records, c.extra)));
    CEyeList list;
    ASSERT_TRUE(list.ReadFile(path));
    EXPECT_EQ(list.Count(), c.expect) << c.count << " " << c.records;
    if (c.expect > 0) {
      EXPECT_EQ(list.At(c.expect - 1).eye[0], c.expect - 1.0);
      EXPECT_EQ(list.At(0).reserved4, 5);
      EXPECT_EQ(list.At(0).reserved5, 0);
    }
  }
  // Fewer than 4 bytes: no viewpoint.
  ASSERT_TRUE(plat::WriteWholeFile(path, std::string("\x01\x00", 2)));
  CEyeList tiny;
  EXPECT_TRUE(tiny.ReadFile(path));
  EXPECT_EQ(tiny.Count(), 0);
}

TEST(EyeFile, StartFromFile) {
  TestFolder dir;
  const CViewSettings cam = Camera(50);
  // No file: the camera is viewpoint 0.
  CEyeList none;
  EXPECT_FALSE(none.ReadFile(dir.Dir() + "model.eye"));
  none.StartFromFile(dir.Dir() + "model.eye", cam);
  EXPECT_EQ(none.Count(), 1);
  EXPECT_EQ(none.At(0).eye[0], 50);

  // A file of count 0 likewise.
  ASSERT_TRUE(plat::WriteWholeFile(dir.Dir() + "zero.eye", EyeBytes(0, 0)));
  CEyeList zero;
  zero.StartFromFile(dir.Dir() + "zero.eye", cam);
  EXPECT_EQ(zero.Count(), 1);

  // Copied from Windows: found whatever its case.
  ASSERT_TRUE(plat::WriteWholeFile(dir.Dir() + "MODEL.EYE", EyeBytes(2, 2)));
  CEyeList two;
  two.StartFromFile(dir.Dir() + "model.eye", cam);
  EXPECT_EQ(two.Count(), 2);
  EXPECT_EQ(two.Current(), 0);
  EXPECT_EQ(two.At(1).eye[0], 1.0);

  EXPECT_EQ(EyeFilePath("/a/b/model.dat"), "/a/b/model.eye");
  EXPECT_EQ(EyeFilePath("run.in"), "run.eye");
}

// Damaged records would blank the view at their key: they are left out and
// counted, the rest kept in order (the fuzz target tries random bytes).
TEST(EyeFile, DamagedRecordsAreLeftOutAndCounted) {
  TestFolder dir;
  const std::string path = dir.Dir() + "d.eye";
  std::string data = EyeBytes(14, 14);
  auto* p = reinterpret_cast<unsigned char*>(data.data()) + 4;
  auto spoil = [&](int record, size_t offset, double v) {
    unsigned char b[8];
    std::memcpy(b, &v, 8);  // the test host is little-endian, as the file
    std::memcpy(p + record * EyeRecord::kSize + offset, b, 8);
  };
  spoil(1, 0, std::nan(""));                              // eye x
  spoil(2, 40, INFINITY);                                 // centre z
  std::memset(p + 3 * EyeRecord::kSize, 0, EyeRecord::kSize);  // all zeros
  for (size_t o : {72, 80, 88}) spoil(4, o, 0.0);         // no up
  for (size_t o : {0, 8, 16}) spoil(5, o, 15.0 + o / 8);  // eye on the centre
  spoil(7, 152, -INFINITY);                               // azimuth
  // Finite values no move leaves (the scene's tests add the model's size).
  spoil(8, 120, std::nan(""));                            // view angle only
  spoil(9, 120, 170.0);                                   // wider than a zoom
  p[10 * EyeRecord::kSize + 168] = 7;                     // flip byte
  spoil(11, 160, 4.0);                                    // polar angle
  for (size_t o : {72, 80, 88}) spoil(12, o, -10.0);      // up along the sight
  spoil(13, 144, -1.0);                                   // distance
  ASSERT_TRUE(plat::WriteWholeFile(path, data));
  CEyeList list;
  int dropped = -1;
  ASSERT_TRUE(list.ReadFile(path, &dropped));
  EXPECT_EQ(dropped, 12);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.At(0).eye[0], 0.0);
  EXPECT_EQ(list.At(1).eye[0], 6.0);
  CEyeList start;
  EXPECT_EQ(start.StartFromFile(path, Camera(50)), 12);
  EXPECT_EQ(start.Count(), 2);
  EXPECT_EQ(DroppedEyesText(path, 6), "視点ﾌｧｲﾙ " + path + " の壊れた視点 6 個を読み飛ばしました");
  // A check of the caller's refuses more.
  EXPECT_EQ(start.StartFromFile(path, Camera(50), [](const EyeRecord& r) { return r.eye[0] != 6; }), 13);
  EXPECT_EQ(start.Count(), 1);
  EXPECT_EQ(start.Start().eye[0], 50.0);

  // Nothing usable at all: the camera is viewpoint 0.
  ASSERT_TRUE(plat::WriteWholeFile(path, EyeBytes(1, 0) + std::string(EyeRecord::kSize, '\0')));
  EXPECT_EQ(start.StartFromFile(path, Camera(50)), 1);
  EXPECT_EQ(start.Count(), 1);
  EXPECT_EQ(start.At(0).eye[0], 50.0);
}

TEST(EyeFile, ListOperations) {
  CEyeList list;
  CViewSettings cam = Camera(0);
  EXPECT_FALSE(list.Step(1, cam));
  EXPECT_FALSE(list.Recall(0, cam));
  for (int i = 0; i < 3; ++i) list.Register(Camera(i * 10));
  EXPECT_EQ(list.Current(), 2);

  // Enter registers without moving the current viewpoint.
  list.Register(Camera(30), false);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Current(), 2);

  EXPECT_TRUE(list.Step(1, cam));  // '>'
  EXPECT_EQ(list.Current(), 3);
  EXPECT_EQ(cam.eye[0], 30);
  EXPECT_FALSE(list.Step(1, cam));  // '>' on the last one
  EXPECT_EQ(list.Current(), 3);
  EXPECT_TRUE(list.Recall(0, cam));  // Home
  EXPECT_FALSE(list.Step(-1, cam));  // '<' on the first one
  EXPECT_EQ(cam.eye[0], 0);
  EXPECT_FALSE(list.Recall(4, cam));
  EXPECT_FALSE(list.Recall(-1, cam));

  // The 1001st viewpoint is not registered.
  while (list.Count() < CEyeList::kCapacity) ASSERT_TRUE(list.Register(Camera(1)));
  EXPECT_FALSE(list.Register(Camera(2)));
  EXPECT_EQ(list.Count(), CEyeList::kCapacity);

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Current(), 0);
  EXPECT_FALSE(list.Step(1, cam));
  EXPECT_FALSE(list.Recall(0, cam));
}

TEST(EyeFile, FailedSaveIsReported) {
  TestFolder dir;
  CEyeList list;
  list.Register(Camera(1));
  std::string error;
  EXPECT_FALSE(list.WriteFile(dir.Dir() + "missing/folder/m.eye", &error));
  EXPECT_FALSE(error.empty());

  // A failed save leaves the old file as it was.
  const std::string path = dir.Dir() + "keep.eye";
  ASSERT_TRUE(plat::WriteWholeFile(path, EyeBytes(2, 2)));
  fs::permissions(dir.Dir(), fs::perms::owner_read | fs::perms::owner_exec);
  const bool asRoot = ::geteuid() == 0;  // root writes anyway
  if (!asRoot) {
    EXPECT_FALSE(list.WriteFile(path));
  }
  fs::permissions(dir.Dir(), fs::perms::owner_all);
  std::string data;
  ASSERT_TRUE(plat::ReadWholeFile(path, data));
  if (!asRoot) {
    EXPECT_EQ(I32At(data, 0), 2);
  }
}

TEST(EyeFile, AFolderIsNoViewpointFile) {
  // A folder that carries the file's name does not open: the start camera
  // becomes viewpoint 0 as with no file at all.
  TestFolder dir;
  const CViewSettings cam = Camera(50);
  struct Case {
    const char* folder;  // created under the temporary folder
    const char* lookup;  // the name looked up
  };
  const Case cases[] = {{"model.eye", "model.eye"}, {"RUN.EYE", "run.eye"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    fs::create_directories(dir.Dir() + c.folder);
    CEyeList list;
    list.Register(Camera(1));
    list.Register(Camera(2));
    EXPECT_FALSE(list.ReadFile(dir.Dir() + c.folder));
    EXPECT_EQ(list.Count(), 2);  // unchanged
    CEyeList start;
    start.StartFromFile(dir.Dir() + c.lookup, cam);
    EXPECT_EQ(start.Count(), 1);
    EXPECT_EQ(start.At(0).eye[0], 50);
  }
}

}  // namespace
