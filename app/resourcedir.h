#pragma once

#include <QString>

// Absolute directory of the running executable.
QString getApplicationDir();

// The "Resources" directory beside the executable, without a trailing
// separator; callers append "/" and a file name.
QString getResourceDir();
