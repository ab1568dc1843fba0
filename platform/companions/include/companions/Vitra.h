// The HTML library's start-up: prepares the browser control before the first HTML view.
#pragma once

// Returns 1; calling it again does no harm. Threads: interface thread.
int InitVitraDLL();
// 1 once InitVitraDLL has run.
int ISVitraInitialised();
