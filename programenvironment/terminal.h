#pragma once

#include <QString>

#include <cstdio>

// Writes text to a terminal stream (stdout, stderr) in UTF-8 and flushes it,
// so that lines from the two streams come out in the order they were written.
void printTo(FILE *stream, const QString &text);
