#pragma once

class QApplication;

// The program's widget style and application-wide font.
void applyLookAndFeel(QApplication &app);

// Everything the window program sets up once its application object exists,
// in the order it needs: its image readers before anything reads an image
// (the icon does), the sentences of its messages, its look and its icon.
void prepareProgram(QApplication &app);
