// Clearing the context's error flags before a call whose own error is then
// read. A driver keeps one flag per error kind, so a few reads clear them
// all; a lost context may answer every read with an error, so the reads
// stop after kMaxErrorReads instead of spinning.
#pragma once
#include <GL/gl.h>

constexpr int kMaxErrorReads = 32;

// Reads and clears the errors earlier calls left (context current), at most
// kMaxErrorReads, and reports each kind met on standard error once per
// process, with `where` (the call about to be checked). Returns the errors
// read. `read` is glGetError but for tests.
int DrainGlErrors(const char* where, GLenum (*read)() = nullptr);
