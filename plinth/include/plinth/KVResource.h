// Forms by their resource ids: the designed size of each form and the lookup of a control by
// its numeric id.
//
// A form is described by a Qt Designer file; its designed size is what uic gives the form
// when it is set up. Whoever sets a form up first registers that size under the form's
// resource id, and the resizable forms measure themselves from it, so that a form that has
// already been resized by its frame still knows the size it was designed for.
//
// Threads: interface thread only.
#pragma once

#include "plinth/plinth_api.h"

#include <QSize>

class QWidget;

// Registers the designed size of form resourceId; a later registration replaces it. An empty
// size removes the entry.
PLINTH_API void KVSetIDResourceSize(int resourceId, QSize size);
// The designed size of form resourceId; an invalid size when none was registered.
PLINTH_API QSize KVGetIDResourceSize(int resourceId);

// The descendant of parent that stands for control id: its object name is the id itself,
// ends with "_" and the id ("IDC_1023", "edit_1023") or holds it between underscores
// ("radio_1001_stop"). None when parent is none or no such control exists.
PLINTH_API QWidget* KVGetDlgItem(const QWidget* parent, int id);
