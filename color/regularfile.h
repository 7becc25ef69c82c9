#pragma once

#include <QString>

// Why a file from outside, an image or a profile, is refused before it is
// opened: opening a FIFO waits for a writer that may never come, and a
// device may never end. Empty for a regular file (or a link to one), and for
// a name that does not exist, whose opening then tells what is wrong.
QString notRegularFileReason(const QString &fileName);
