// The save under SIGKILL: a child process saves a message file of a few
// megabytes over and over through the session's save sequence, two contents
// A and B in turn, and is killed at random moments. After each kill the file
// under its name must read as a whole message file equal to A or B byte for
// byte, so must its last backup when there is one, and the folder may hold
// nothing else but temporary files of a save, which the next saves ignore.
// While the child runs, the test watches the file's name without pause: it
// must never be without a file, not even for a moment.
//
// LEXIVANE_CRASH_SEED=<number> repeats a run's random delays.

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileSave.h"
#include "support/MsgTexts.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>

namespace {

const quint32 kFirstCode = 0x140000u;

// Count messages of Size bytes whose texts name Tag.
TMsgData Contents(const QByteArray &tag, int count, int size)
{
    TMsgData data;
    for (int i = 0; i < count; ++i) {
        QByteArray text = tag + " message " + QByteArray::number(i) + ' ';
        while (text.size() < size)
            text.append(char('A' + (text.size() * 7 + i) % 26));
        data.AddMessage(kFirstCode + quint32(i), text.left(size));
    }
    return data;
}

// "A", "B", or what else the file is.
QString WhichContents(const QString &fileName, const QByteArray &a, const QByteArray &b)
{
    if (!QFileInfo::exists(fileName))
        return QStringLiteral("missing");
    const QByteArray bytes = ReadWholeFile(fileName);
    if (bytes == a)
        return QStringLiteral("A");
    if (bytes == b)
        return QStringLiteral("B");
    return QStringLiteral("neither A nor B (%1 bytes)").arg(bytes.size());
}

struct Watch
{
    long Looks = 0;
    long Missing = 0;
};

// Looks at the name again and again for Duration milliseconds.
Watch WatchName(const QByteArray &name, int duration)
{
    Watch watch;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < duration) {
        struct stat status {};
        if (::lstat(name.constData(), &status) != 0 && errno == ENOENT)
            ++watch.Missing;
        ++watch.Looks;
    }
    return watch;
}

quint64 CrashSeed()
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("LEXIVANE_CRASH_SEED").toULongLong(&ok);
    return ok ? seed : QRandomGenerator::global()->generate64();
}

} // namespace

class TestSaveCrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtRandomMoments()
    {
        const int rounds = 40;
        const int longestDelay = 600; // ms after the child is ready; several saves
        const quint64 seed = CrashSeed();
        qInfo("seed %llu (LEXIVANE_CRASH_SEED repeats it)", seed);
        QRandomGenerator random(seed);

        TestEnvironment environment;
        const QString dir = environment.path(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(dir));
        const QString file = dir + QStringLiteral("/x.msg");
        const QString backup = BackupFileName(file);
        const QByteArray fileName = QFile::encodeName(file);
        const QString aFile = environment.path(QStringLiteral("a.msg"));
        const QString bFile = environment.path(QStringLiteral("b.msg"));
        // Different sizes and texts, so that a mix of the two shows.
        const TMsgData aData = Contents("A", 4000, 900);
        const TMsgData bData = Contents("B", 3500, 1000);
        SaveMsgData(aFile, aData);
        SaveMsgData(bFile, bData);
        const QByteArray a = ReadWholeFile(aFile);
        const QByteArray b = ReadWholeFile(bFile);
        QVERIFY(a.size() > 3000000 && b.size() > 3000000 && a.size() != b.size());
        const QList<QByteArray> aTexts = TextsOf(aData);
        const QList<QByteArray> bTexts = TextsOf(bData);
        SaveMsgData(file, aData);

        int foundA = 0;
        int foundB = 0;
        long savesInAll = 0;
        long looks = 0;
        int roundsLeavingTemps = 0;
        qsizetype temps = 0;
        for (int round = 1; round <= rounds; ++round) {
            QProcess child;
            child.start(QStringLiteral(LEXIVANE_SAVECRASH_CHILD), {file, aFile, bFile});
            QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
            while (!child.canReadLine()) {
                if (!child.waitForReadyRead(20000))
                    QFAIL(qPrintable(QStringLiteral("the child never got ready: %1")
                                         .arg(QString::fromLocal8Bit(child.readAllStandardError()))));
            }
            QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
            const int delay = int(random.bounded(longestDelay + 1));
            const Watch watch = WatchName(fileName, delay);
            looks += watch.Looks;
            QVERIFY2(watch.Missing == 0,
                     qPrintable(QStringLiteral("round %1: the file's name was empty %2 times in %3 looks")
                                    .arg(round)
                                    .arg(watch.Missing)
                                    .arg(watch.Looks)));
            // Still saving: it must not have stopped on an error of its own.
            QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            const long saves = child.readAllStandardOutput().count("saved ");
            savesInAll += saves;

            const QString where = QStringLiteral("round %1, killed %2 ms after ready, after %3 saves")
                                      .arg(round)
                                      .arg(delay)
                                      .arg(saves);
            const QString found = WhichContents(file, a, b);
            QVERIFY2(found == QLatin1String("A") || found == QLatin1String("B"),
                     qPrintable(QStringLiteral("the file is %1 (%2)").arg(found, where)));
            QCOMPARE(TextsOnDisk(file), found == QLatin1String("A") ? aTexts : bTexts);
            (found == QLatin1String("A") ? foundA : foundB) += 1;
            if (QFileInfo::exists(backup)) {
                const QString kept = WhichContents(backup, a, b);
                QVERIFY2(kept == QLatin1String("A") || kept == QLatin1String("B"),
                         qPrintable(QStringLiteral("the last backup is %1 (%2)").arg(kept, where)));
            }
            // Nothing else beside them but temporary files of a save.
            const QStringList entries = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            qsizetype tempsNow = 0;
            for (const QString &entry : entries) {
                if (entry.startsWith(QLatin1String(SaveTempPrefix)) && entry.endsWith(QLatin1String(".tmp")))
                    ++tempsNow;
                else
                    QVERIFY2(entry == QLatin1String("x.msg") || entry == QLatin1String("x.~ms"),
                             qPrintable(QStringLiteral("%1 in the folder (%2)").arg(entry, where)));
            }
            if (tempsNow > temps)
                ++roundsLeavingTemps;
            temps = tempsNow;
        }

        // The leftovers in the way of nothing: one more save goes through.
        const QByteArray before = ReadWholeFile(file);
        SaveMsgDataWithBackup(file, bData);
        QCOMPARE(ReadWholeFile(file), b);
        QCOMPARE(ReadWholeFile(backup), before);
        QCOMPARE(QDir(dir).entryList({QStringLiteral("IBMSG*")}, QDir::Files).size(), temps);

        qInfo("%d kills: file A %d times, B %d times; %ld saves completed; %d kills left a temporary file, "
              "%lld left in all; the name looked at %ld times, never empty",
              rounds, foundA, foundB, savesInAll, roundsLeavingTemps, qlonglong(temps), looks);
        // The kills must have met the child at work, not only before its
        // first save.
        QVERIFY(savesInAll > 0);
    }
};

QTEST_GUILESS_MAIN(TestSaveCrash)
#include "tst_savecrash.moc"
