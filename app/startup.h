#pragma once

class QApplication;

// The program's widget style and application-wide font.
void applyLookAndFeel(QApplication &app);
