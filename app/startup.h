#pragma once

class QApplication;
class QCoreApplication;

// Names that address the per-user settings store; set before the application object exists.
void setApplicationIdentity();

// The program's widget style and application-wide font.
void applyLookAndFeel(QApplication &app);

// Installs the English sentences behind the program's message keys, from the
// resource directory; false when they cannot be loaded.
bool installTranslations(QCoreApplication &app);

// Puts the program's own image readers (its TIFF reader) ahead of the
// system's; must run before the first image is read.
void useProgramImageReaders();
