// Registered viewpoints: the viewpoint record, the per-view list and the
// viewpoint file (".eye" beside the data: int32 count, then count records of
// 184 bytes, little-endian). The model viewer writes it, both viewers read it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "viewer/view_settings.h"

// One viewpoint; Encode/Decode give the 184-byte file form:
//   0 eye[3], 24 center[3], 48 reserved, 72 up[3], 96 reserved,
//   120 anglex, 128 reserved[2], 144 distance, 152 azimuth, 160 polar,
//   168 flip byte, 169 padding, 172 int32 reserved, 176 int32 reserved
//   (0 on every record read), 180 padding.
struct EyeRecord {
  static constexpr int kSize = 184;

  double eye[3];
  double center[3];
  double reserved1[3];
  double up[3];
  double reserved2[3];
  double anglex;
  double reserved3[2];
  double distance;
  double azimuth;
  double polar;
  unsigned char flip;
  int32_t reserved4;
  int32_t reserved5;

  EyeRecord() { Clear(); }
  void Clear();
  // From the camera of the settings; the reserved fields keep their values.
  void Set(const CViewSettings& camera);
  // Back into the camera: eye, center, anglex, up, the three angles, flip.
  void Get(CViewSettings& camera) const;

  void Encode(unsigned char out[kSize]) const;
  // Reads a record; its last reserved int32 becomes 0.
  void Decode(const unsigned char in[kSize]);
  // False for a record the camera's moves could not have left, whatever the
  // model: a value that is not finite, a view angle outside the zoom's
  // range, a flip byte other than 0 or 1, angles out of their range, the eye
  // on the centre, or an up of no length or along the line of sight. The
  // scene checks the sizes against the model (CGlScene::CanShowViewpoint).
  bool Usable() const;
};

// The viewpoints of one view.
class CEyeList {
 public:
  static constexpr int kCapacity = 1000;

  CEyeList() : m_aRecords(kCapacity) {}

  int Count() const { return m_nCount; }
  int Current() const { return m_nCurrent; }
  const EyeRecord& At(int i) const { return m_aRecords[static_cast<size_t>(i)]; }

  // Appends the camera; false when the list is full. `makeCurrent` as the
  // register command (the Enter key leaves the current index).
  bool Register(const CViewSettings& camera, bool makeCurrent = true);
  // Viewpoint n into the camera and current; false when n is not registered.
  bool Recall(int n, CViewSettings& camera);
  // current - 1 (delta -1, '<') or current + 1 (delta +1, '>').
  bool Step(int delta, CViewSettings& camera);
  // Delete all.
  void Clear() {
    m_nCount = 0;
    m_nCurrent = 0;
  }

  // The file's records replace the list. False when the file does not open
  // (the list is then unchanged). A negative count reads as 0, one above the
  // capacity is cut to it, and a file shorter than its count gives only its
  // complete records. Records that are not usable are left out and counted
  // in `dropped`.
  // `accept`, when given, refuses more records (the scene's own checks).
  using Accept = std::function<bool(const EyeRecord&)>;
  bool ReadFile(const std::string& path, int* dropped = nullptr, const Accept& accept = {});
  // Writes count and records to a temporary file renamed over `path`; false
  // with `error` when any step failed (the old file is then untouched).
  bool WriteFile(const std::string& path, std::string* error = nullptr) const;

  // A view's first draw: a fresh list, the file read when there is one
  // (exact name first, then any case), and the camera as viewpoint 0 when
  // that leaves no viewpoint. Returns the number of records left out as not
  // usable, which the view tells once (DroppedEyesText). The camera is kept
  // as the start camera.
  int StartFromFile(const std::string& path, const CViewSettings& camera, const Accept& accept = {});
  // The camera StartFromFile was given.
  const EyeRecord& Start() const { return m_start; }

 private:
  std::vector<EyeRecord> m_aRecords;
  EyeRecord m_start;
  int m_nCount = 0;
  int m_nCurrent = 0;
};

// The viewpoint file of a data file: its folder and name with ".eye".
std::string EyeFilePath(const std::string& dataPath);

// What a view tells when `dropped` records of the viewpoint file at `path`
// were left out.
std::string DroppedEyesText(const std::string& path, int dropped);
