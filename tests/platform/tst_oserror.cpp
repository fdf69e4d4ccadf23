// Messages and exceptions for operating-system errors.

#include "platform/OsError.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

const QString kApiFailed = QStringLiteral("A Win32 API function failed");

QString SystemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

class tst_OsError : public QObject
{
    Q_OBJECT

private slots:
    void message_data();
    void message();
    void messageForZero();
    void raiseOSError_data();
    void raiseOSError();
    void raiseLastOSError_data();
    void raiseLastOSError();
    void raiseInOutError_data();
    void raiseInOutError();

private:
    static void addCodeColumn();
};

void tst_OsError::addCodeColumn()
{
    QTest::addColumn<int>("code");
    QTest::newRow("ENOENT") << ENOENT;
    QTest::newRow("EACCES") << EACCES;
    QTest::newRow("EINVAL") << EINVAL;
    QTest::newRow("ENOSPC") << ENOSPC;
    QTest::newRow("EEXIST") << EEXIST;
    QTest::newRow("negative") << -1;
    QTest::newRow("unknown number") << 9999;
}

void tst_OsError::message_data()
{
    addCodeColumn();
}

// "Win32 Error.  Code: N." (two blanks after "Error."), a line feed, and the
// system's own description of N.
void tst_OsError::message()
{
    QFETCH(int, code);
    const QString text = OSErrorMessage(code);
    const QString head = QStringLiteral("Win32 Error.  Code: ") + QString::number(code) + QStringLiteral(".\n");
    QVERIFY2(text.startsWith(head), qPrintable(text));
    QCOMPARE(text.mid(head.size()), SystemText(code));
    QVERIFY(!SystemText(code).isEmpty());
    QCOMPARE(text.count(QLatin1Char('\n')), SystemText(code).count(QLatin1Char('\n')) + 1);
}

void tst_OsError::messageForZero()
{
    QCOMPARE(OSErrorMessage(0), kApiFailed);
    try {
        RaiseOSError(0);
    } catch (const EOSError &error) {
        QCOMPARE(error.Message(), kApiFailed);
        return;
    }
    QFAIL("no EOSError");
}

void tst_OsError::raiseOSError_data()
{
    addCodeColumn();
}

void tst_OsError::raiseOSError()
{
    QFETCH(int, code);
    try {
        RaiseOSError(code);
    } catch (const EOSError &error) {
        QCOMPARE(error.Message(), OSErrorMessage(code));
        QCOMPARE(QString::fromUtf8(error.what()), OSErrorMessage(code));
        return;
    }
    QFAIL("no EOSError");
}

void tst_OsError::raiseLastOSError_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ENOENT") << ENOENT << OSErrorMessage(ENOENT);
    QTest::newRow("EACCES") << EACCES << OSErrorMessage(EACCES);
    QTest::newRow("ENOSPC") << ENOSPC << OSErrorMessage(ENOSPC);
    QTest::newRow("no error") << 0 << kApiFailed;
}

// The error number comes from errno as it stands when called.
void tst_OsError::raiseLastOSError()
{
    QFETCH(int, code);
    QFETCH(QString, expected);
    QString message;
    try {
        errno = code;
        RaiseLastOSError();
    } catch (const EOSError &error) {
        message = error.Message();
    }
    QCOMPARE(message, expected);
}

void tst_OsError::raiseInOutError_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    const QString notFound = QStringLiteral("File not found");
    const QString invalidName = QStringLiteral("Invalid filename");
    const QString tooMany = QStringLiteral("Too many open files");
    const QString denied = QStringLiteral("File access denied");
    const QString diskFull = QStringLiteral("Disk full");
    const auto ioError = [](int code) { return QStringLiteral("I/O error ") + QString::number(code); };

    QTest::newRow("ENOENT") << ENOENT << notFound;
    QTest::newRow("EINVAL") << EINVAL << invalidName;
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << invalidName;
    QTest::newRow("EMFILE") << EMFILE << tooMany;
    QTest::newRow("ENFILE") << ENFILE << tooMany;
    QTest::newRow("EACCES") << EACCES << denied;
    QTest::newRow("EPERM") << EPERM << denied;
    QTest::newRow("EROFS") << EROFS << denied;
    QTest::newRow("ENOSPC") << ENOSPC << diskFull;
    QTest::newRow("EDQUOT") << EDQUOT << diskFull;
    QTest::newRow("EIO") << EIO << ioError(EIO);
    QTest::newRow("EEXIST") << EEXIST << ioError(EEXIST);
    QTest::newRow("EISDIR") << EISDIR << ioError(EISDIR);
    QTest::newRow("ENOTDIR") << ENOTDIR << ioError(ENOTDIR);
    QTest::newRow("EBADF") << EBADF << ioError(EBADF);
    QTest::newRow("unknown number") << 12345 << "I/O error 12345";
    QTest::newRow("negative") << -7 << "I/O error -7";
}

void tst_OsError::raiseInOutError()
{
    QFETCH(int, code);
    QFETCH(QString, expected);
    try {
        RaiseInOutError(code);
    } catch (const EOSError &) {
        QFAIL("EOSError instead of EInOutError");
    } catch (const EInOutError &error) {
        QCOMPARE(error.Message(), expected);
        return;
    }
    QFAIL("no EInOutError");
}

QTEST_GUILESS_MAIN(tst_OsError)
#include "tst_oserror.moc"
