#pragma once

#include <sys/types.h>

// Asks every shown top-level window of the process to close, as a window manager's close
// button does (WM_DELETE_WINDOW); returns how many were asked.
int CloseWindowsOf(pid_t pid);
