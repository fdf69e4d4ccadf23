#pragma once
// The system's error mode: on Windows, whether the system shows its own
// boxes for critical errors (such as "insert a disk") or lets the failing call
// simply return an error. The log sets it around every write so that writing
// the log can never stop the program with such a box. Linux has no such
// boxes: the call does nothing and reports the mode 0.

namespace platform {

// SEM_FAILCRITICALERRORS: the system shows no critical-error box.
constexpr unsigned kFailCriticalErrors = 0x0001;

// Sets the error mode and returns the previous one (always 0).
unsigned SetErrorMode(unsigned mode);

} // namespace platform
