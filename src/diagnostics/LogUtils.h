#pragma once
// The log: a plain text file in which the program records exceptions for
// later diagnosis (every fatal error, and with "-DEBUG" every failed file
// operation of the editing session). The file is touched only when there is
// something to record, is only ever appended to, and writing it never
// disturbs the program: every failure while writing is swallowed.
//
// Where it goes (LogFileNamesFor): beside the program when the file can be
// opened there, else in the user's state folder; an installed program (see
// PlatformPaths.h) never writes beside itself, not even when run by root,
// and logs to the state folder only.
//
// Each logging operation (WriteHeader, LogFmt, LogException) opens the file,
// writes one line ending in CR LF and closes it again, so between operations
// the log is closed and complete on disk. The first open of a run writes the
// header line "*** Log for <program path> started <date time>" first. The
// text is written in UTF-8.

#include "uitext/Format.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <initializer_list>

class TLogFile
{
public:
    // Where the date and time of the header and the entries come from.
    using TClock = std::function<QDateTime()>;

    // Stores the file name; touches no file. Clock defaults to the current
    // local date and time (tests fix it).
    explicit TLogFile(const QString &logFileName, TClock clock = {});
    // The same with the places the log may go, in order of preference: the
    // first that can be opened takes the entries; once one cannot be opened
    // the log moves on to the next and stays there for the run. At least
    // one name.
    explicit TLogFile(const QStringList &logFileNames, TClock clock = {});
    // Closes the log once if it is still open.
    ~TLogFile();

    TLogFile(const TLogFile &) = delete;
    TLogFile &operator=(const TLogFile &) = delete;

    // The file the log writes to: the first of its names, until that cannot
    // be opened.
    const QString &LogFileName() const { return m_logFileNames.at(m_current); }
    // Nesting depth of OpenLog; the file is open exactly while it is above 0.
    int OpenCount() const { return m_openCount; }

    // At the outermost level opens the file for appending (creating it and
    // any missing folder of its path, those for the owner only), moving on
    // to the next name while one cannot be opened; raises EInOutError when
    // none can, and then OpenCount stays as it was. The first successful
    // open of each file in the run writes the header.
    void OpenLog();
    // Does nothing at level 0; the close that brings the count to 0 writes
    // out the file and raises EInOutError when that fails.
    void CloseLog();

    // The logging operations: each writes one line and swallows every failure.
    void WriteHeader();
    void LogFmt(const QString &format, std::initializer_list<FormatArg> args = {});
    void LogFmt(const QString &format, const QList<FormatArg> &args);
    // "[!] Exception occured <date time>" CR "Exception <class> in module
    // <module> at <address>." LF "<message>", with a full stop added to a
    // message that lacks one. The address is the offset of the raising code
    // in the program's module (8 hexadecimal digits), 00000000 when unknown.
    void LogException(const std::exception &error);

private:
    // Runs WriteLine inside the frame every logging operation shares: the
    // system's critical-error boxes suppressed, the log opened and closed
    // around the write, every failure swallowed.
    void RunLogged(const std::function<void()> &writeLine) noexcept;
    void WriteLine(const QString &text);
    QDateTime Now() const;

    QStringList m_logFileNames;
    qsizetype m_current = 0; // the name in use
    TClock m_clock;
    QFile m_file;
    int m_openCount = 0;
    bool m_headerWritten = false; // the header line has been attempted in the current file
    // The error mode found when the current logging operation began; 0 when
    // none is held.
    unsigned m_savedErrorMode = 0;
    int m_operationDepth = 0; // WriteHeader runs inside the first OpenLog
};

// The one log of the program, created at its first use for
// LogFileNamesFor(the program's path), freed when the program ends. Creating
// it touches no file.
TLogFile &LogFile();

// Makes LogFile() answer Log instead of the program's own log (tests write to
// a temporary file); nullptr gives the program's own back. Not owned.
// Returns the log plugged in before.
TLogFile *SetLogFile(TLogFile *log);

// The program's own file path with its extension replaced by ".LOG".
QString DefaultLogFileName();

// Where the log of the program at ProgramPath may go, in order: the path
// with ".LOG" beside it, then the file of that name in the user's state
// folder (UserStateDir); only the latter for an installed program.
QStringList LogFileNamesFor(const QString &programPath);

// A date and time as the log writes them: the locale's short date format and
// long time format, separated by a blank; the time is left out when it is
// exactly midnight.
QString DateTimeToStr(const QDateTime &dateTime, const QLocale &locale = QLocale::system());

// The description of an exception as LogException writes it after the CR:
// "Exception %s in module %s at %p." LF "%s%s", cut to 4095 characters.
QString ExceptionDescription(const std::exception &error);
