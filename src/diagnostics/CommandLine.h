#pragma once
// What the command line sets for the whole run: the debug switch and the
// message file to open at start. Set once by start-up, read elsewhere.
//
//   -DEBUG (any letter case)      DebugMode becomes true
//   any other argument with "-"   ignored
//   any other argument            the start-up file; a later one replaces
//                                 an earlier one

#include <QString>
#include <QStringList>

// Whether failures of file operations are logged and reported in detail.
bool &DebugMode();

// The message file named on the command line; empty when none was.
QString &StartupFileName();

// Sets DebugMode and StartupFileName from the arguments after the program's
// name.
void ReadCommandLine(const QStringList &arguments);
