// The start-up settings both programs make: the OpenGL format before the
// application object exists, the program's icon, and the process-wide
// settings made once it does (numbers, Qt's own texts, Qt's thread pool).
#pragma once

class QString;

// Every OpenGL widget of the program shares the scene's format
// (CGlView::SceneFormat). Call before the QApplication is made.
void SetSceneSurfaceFormat();

// Every window's icon, in all the sizes compiled in (":/appicon"); on
// Wayland the compositor takes it from the desktop entry of this name.
void SetProgramIcon(const QString& desktopFileName);

// The process-wide settings, made once the QApplication exists and before
// any window: numbers read and written with the "C" conventions, Qt's
// Japanese texts, the capped global thread pool. Calling it again does no
// harm.
void ApplyStartupSettings();

// Loads Qt's Japanese translation of its own texts (the buttons of message
// boxes, the file dialog) once per application, as every other text is
// Japanese. False when the translation is not installed: Qt then speaks
// English, which is no error.
bool InstallQtJapanese();

// Caps Qt's global thread pool, shared by everything in the process that
// runs work on it, at `kGlobalPoolThreads`. The raster painter splits large
// fills over this pool, which otherwise grows on demand up to a thread a
// core, one more whenever all are busy at once: a long session would gain
// threads (and descriptors, and a heap arena each) at random times. The
// threads are made at the first large fill and kept for the session.
constexpr int kGlobalPoolThreads = 2;
void CapGlobalThreadPool();
