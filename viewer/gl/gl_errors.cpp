#include "viewer/gl/gl_errors.h"

#include <atomic>
#include <cstdio>

namespace {

// Kinds reported so far: bit k for GL_INVALID_ENUM + k (the eight kinds up
// to GL_CONTEXT_LOST), bit 8 for any other code.
std::atomic<unsigned> g_reportedKinds{0};

unsigned KindBit(GLenum error) {
  const unsigned k = error - GL_INVALID_ENUM;
  return 1u << (k < 8 ? k : 8);
}

}  // namespace

int DrainGlErrors(const char* where, GLenum (*read)()) {
  if (read == nullptr) read = glGetError;
  int n = 0;
  for (; n < kMaxErrorReads; ++n) {
    const GLenum error = read();
    if (error == GL_NO_ERROR) break;
    const unsigned bit = KindBit(error);
    if ((g_reportedKinds.fetch_or(bit) & bit) == 0)
      std::fprintf(stderr, "OpenGL: error 0x%04x left by an earlier call, cleared before %s\n", error, where);
  }
  return n;
}
