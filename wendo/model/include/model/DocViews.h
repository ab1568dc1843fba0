// What the command document asks of the views that show it. The user interface implements
// these on its views and attaches them to the document (core::CDocument::AddView); the
// document finds them by interface. All calls come on the interface thread.
#pragma once

#include "core/Document.h"

namespace wendo {

// The command list (the list of a document's commands, one row each).
class CommandListView : public virtual core::DocumentView
{
public:
    // A row was inserted at row for the command now stored there.
    virtual void CommandRowAdded(int row) = 0;
    // The command at row was replaced in place.
    virtual void CommandRowChanged(int row) = 0;
    // The command at row from was replaced and moved to row to (a file statistics command
    // goes to the top).
    virtual void CommandRowMoved(int from, int to) = 0;
};

// The file list (the document's file set, one row per entry).
class FileListView : public virtual core::DocumentView
{
public:
    // The whole file set was replaced; refill every row.
    virtual void RefreshFileList() = 0;
};

// The option form, which edits a working copy of the global options.
class OptionView : public virtual core::DocumentView
{
public:
    // Checks the working copy and writes it into the document; false (after telling the user)
    // when a value is refused, which abandons the save.
    virtual bool StoreOptions() = 0;
};

// The progress view of a run or a report.
class ProgressView : public virtual core::DocumentView
{
public:
    virtual void UpdateRunState(bool canRun, bool started, bool suspended) = 0;
};

} // namespace wendo
