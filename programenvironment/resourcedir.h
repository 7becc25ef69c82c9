#pragma once

#include <QString>

class QCoreApplication;
class QIcon;

// Absolute directory of the running executable.
QString getApplicationDir();

// The "Resources" directory beside the executable (in the build tree), or
// share/lumivant/Resources of the tree the executable is installed in;
// without a trailing separator, callers append "/" and a file name.
QString getResourceDir();

// Puts the program's own image readers (its TIFF reader) ahead of the
// system's; must run before the first image is read.
void useProgramImageReaders();

// The application icon, from the resource directory, at every size it has.
QIcon programIcon();

// Installs the English sentences behind the program's message keys, from the
// resource directory; false when they cannot be loaded.
bool installTranslations(QCoreApplication &app);
