#pragma once

#include <QString>

// Gives the test process the program's identity, Qt's own widget dialogs and
// a settings store in a fresh temporary directory. Call from initTestCase().
void setUpTestEnvironment();

// The temporary directory of this test run.
QString testDirectory();
