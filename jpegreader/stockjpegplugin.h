#pragma once

class QImageIOPlugin;

// Qt's own JPEG plugin, loaded once from Qt's plugin directory: the program's
// reader hands it every JPEG to write. Null, with a debug line, when it is
// not installed.
QImageIOPlugin *stockJpegPlugin();
