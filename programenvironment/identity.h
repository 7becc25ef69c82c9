#pragma once

// Names that address the per-user settings store, and the program's version;
// set before the application object exists.
void setApplicationIdentity();
