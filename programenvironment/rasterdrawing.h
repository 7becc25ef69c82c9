#pragma once

// Keeps Qt's X11 platform from loading the OpenGL driver, which the program
// never draws with; set before the application object exists.
void drawWithoutOpenGL();
