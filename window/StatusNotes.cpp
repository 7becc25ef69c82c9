#include "StatusNotes.h"

#include <QMainWindow>
#include <QStatusBar>

void StatusNotes::clear()
{
    notes.clear();
    window->statusBar()->clearMessage();
}

void StatusNotes::add(const QString &note)
{
    if (note.isEmpty() || notes.contains(note))
        return;
    notes << note;
    window->statusBar()->showMessage(notes.join("  "));
}
