#include "diagnostics/LogUtils.h"

#include "diagnostics/Exception.h"
#include "platform/ErrorMode.h"
#include "platform/PlatformPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#if defined(__GNUC__) || defined(__clang__)
#include <cxxabi.h>
#endif
#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

namespace {

const char kHeaderFormat[] = "*** Log for %s started %s";
const char kEntryFormat[] = "[!] Exception occured %s\r%s";
const char kDescriptionFormat[] = "Exception %s in module %s at %p.\n%s%s";

// The description filled a buffer of 4096 characters with its terminator.
constexpr int kMaxDescriptionLength = 4095;

QString ProgramFilePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
#if defined(Q_OS_LINUX)
    // The log object may be asked for before the application object exists.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
#else
    return {};
#endif
}

// Folder and any missing folder above it, made for their owner only (as
// the XDG base directory rules ask of the state folder); true when Folder is
// there afterwards.
bool MakeFolders(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    const QString parent = info.path();
    if (parent == folder || !MakeFolders(parent))
        return false;
    // A folder made at the same moment by another process serves as well.
    return QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) || QFileInfo(folder).isDir();
}

QString ClassName(const std::exception &error)
{
    const char *mangled = typeid(error).name();
#if defined(__GNUC__) || defined(__clang__)
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    if (status == 0 && demangled)
        return QString::fromLatin1(demangled.get());
#endif
    return QString::fromLatin1(mangled);
}

QString MessageOf(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const Exception *>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}

struct CodeLocation
{
    QString moduleName; // file name without directory
    std::uintptr_t offset = 0; // from the module's load address
};

// The module holding the raising code and the code's offset in it; the
// program's own file and 0 when the address is unknown.
CodeLocation LocateRaise(const std::exception &error)
{
    CodeLocation location{QFileInfo(ProgramFilePath()).fileName(), 0};
    const auto *own = dynamic_cast<const Exception *>(&error);
    if (!own || !own->RaiseAddress())
        return location;
#if defined(Q_OS_UNIX)
    Dl_info info{};
    if (dladdr(own->RaiseAddress(), &info) == 0 || !info.dli_fbase)
        return location;
    if (info.dli_fname && *info.dli_fname)
        location.moduleName = QFileInfo(QFile::decodeName(info.dli_fname)).fileName();
    location.offset = reinterpret_cast<std::uintptr_t>(own->RaiseAddress())
        - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
#endif
    return location;
}

QString FullStop(const QString &message)
{
    if (message.isEmpty() || message.endsWith(QLatin1Char('.')))
        return {};
    return QStringLiteral(".");
}

// At most MaxChars UTF-16 units, without splitting a surrogate pair.
QString Truncated(const QString &text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    qsizetype end = maxChars;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

} // namespace

TLogFile::TLogFile(const QString &logFileName, TClock clock)
    : TLogFile(QStringList{logFileName}, std::move(clock))
{
}

TLogFile::TLogFile(const QStringList &logFileNames, TClock clock)
    : m_logFileNames(logFileNames), m_clock(std::move(clock))
{
    Q_ASSERT(!m_logFileNames.isEmpty());
}

TLogFile::~TLogFile()
{
    try {
        CloseLog();
    } catch (...) {
        // Nothing can be reported any more.
    }
}

void TLogFile::OpenLog()
{
    if (m_openCount == 0) {
        for (;;) {
            const QString &name = m_logFileNames.at(m_current);
            MakeFolders(QFileInfo(name).path());
            m_file.setFileName(name);
            if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
                break;
            if (m_current + 1 >= m_logFileNames.size())
                throw EInOutError(m_file.errorString());
            ++m_current;
            m_headerWritten = false;
        }
    }
    ++m_openCount;
    if (m_headerWritten)
        return;
    m_headerWritten = true;
    WriteHeader();
}

void TLogFile::CloseLog()
{
    if (m_openCount <= 0)
        return;
    if (--m_openCount > 0)
        return;
    const bool flushed = m_file.flush();
    const QString error = m_file.errorString();
    m_file.close();
    if (!flushed)
        throw EInOutError(error);
}

void TLogFile::WriteHeader()
{
    RunLogged([this] {
        WriteLine(Format(QString::fromLatin1(kHeaderFormat), {ProgramFilePath(), DateTimeToStr(Now())}));
    });
}

void TLogFile::LogFmt(const QString &format, std::initializer_list<FormatArg> args)
{
    LogFmt(format, QList<FormatArg>(args));
}

void TLogFile::LogFmt(const QString &format, const QList<FormatArg> &args)
{
    RunLogged([&] { WriteLine(Format(format, args)); });
}

void TLogFile::LogException(const std::exception &error)
{
    QString description;
    try {
        description = ExceptionDescription(error);
    } catch (...) {
        return; // not even the description could be made: nothing to write
    }
    LogFmt(QString::fromLatin1(kEntryFormat), {DateTimeToStr(Now()), description});
}

void TLogFile::RunLogged(const std::function<void()> &writeLine) noexcept
{
    // Only the outermost operation holds and restores the mode: the header,
    // written from inside the first OpenLog, must not take the mode its
    // caller set for the one found before.
    const unsigned previousMode = platform::SetErrorMode(platform::kFailCriticalErrors);
    const bool outermost = m_operationDepth++ == 0;
    if (outermost)
        m_savedErrorMode = previousMode;
    try {
        OpenLog();
        try {
            writeLine();
        } catch (...) {
            CloseLog();
            throw;
        }
        CloseLog();
    } catch (...) {
        // The entry is lost; the program runs on.
    }
    --m_operationDepth;
    if (outermost && m_savedErrorMode != 0) {
        platform::SetErrorMode(m_savedErrorMode);
        m_savedErrorMode = 0;
    }
}

void TLogFile::WriteLine(const QString &text)
{
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toUtf8();
    if (m_file.write(bytes) != bytes.size())
        throw EInOutError(m_file.errorString());
}

QDateTime TLogFile::Now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

namespace {

TLogFile *&ReplacementLog()
{
    static TLogFile *replacement = nullptr;
    return replacement;
}

} // namespace

TLogFile &LogFile()
{
    if (ReplacementLog())
        return *ReplacementLog();
    static TLogFile logFile(LogFileNamesFor(ProgramFilePath()));
    return logFile;
}

TLogFile *SetLogFile(TLogFile *log)
{
    TLogFile *previous = ReplacementLog();
    ReplacementLog() = log;
    return previous;
}

QString DefaultLogFileName()
{
    return ChangeFileExt(ProgramFilePath(), QStringLiteral(".LOG"));
}

QStringList LogFileNamesFor(const QString &programPath)
{
    const QString beside = ChangeFileExt(programPath, QStringLiteral(".LOG"));
    const QString inStateDir = UserStateDir() + QLatin1Char('/') + QFileInfo(beside).fileName();
    if (IsInstalledProgram(programPath))
        return {inStateDir};
    return {beside, inStateDir};
}

QString DateTimeToStr(const QDateTime &dateTime, const QLocale &locale)
{
    const QString date = locale.toString(dateTime.date(), QLocale::ShortFormat);
    if (dateTime.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(dateTime.time(), QLocale::LongFormat);
}

QString ExceptionDescription(const std::exception &error)
{
    const CodeLocation location = LocateRaise(error);
    const QString message = MessageOf(error);
    const QString description = Format(QString::fromLatin1(kDescriptionFormat),
                                       {ClassName(error), location.moduleName,
                                        reinterpret_cast<const void *>(location.offset), message,
                                        FullStop(message)});
    return Truncated(description, kMaxDescriptionLength);
}
