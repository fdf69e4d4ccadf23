#pragma once
// Errors of operating-system calls. The text keeps the shape users of the
// original Windows program know ("Win32 Error.  Code: %d." followed by a line
// feed and the system's description), filled with this system's error number
// (errno) and its description (strerror).

#include "diagnostics/Exception.h"

LEXIVANE_DECLARE_EXCEPTION(EOSError);

// The message for a system error number; "A Win32 API function failed" for 0.
QString OSErrorMessage(int errorCode);

// Raises EOSError for the given error number.
[[noreturn]] void RaiseOSError(int errorCode);

// Raises EOSError for the calling thread's last error (errno).
[[noreturn]] void RaiseLastOSError();

// Raises EInOutError with the text the dump's callers expect for an error
// number: "File not found", "Invalid filename", "Too many open files",
// "File access denied", "Disk full", otherwise "I/O error %d".
[[noreturn]] void RaiseInOutError(int errorCode);
