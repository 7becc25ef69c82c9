#pragma once

#include <QString>

class QCoreApplication;

// Absolute directory of the running executable.
QString getApplicationDir();

// The "Resources" directory beside the executable, without a trailing
// separator; callers append "/" and a file name.
QString getResourceDir();

// Puts the program's own image readers (its TIFF reader) ahead of the
// system's; must run before the first image is read.
void useProgramImageReaders();

// Installs the English sentences behind the program's message keys, from the
// resource directory; false when they cannot be loaded.
bool installTranslations(QCoreApplication &app);
