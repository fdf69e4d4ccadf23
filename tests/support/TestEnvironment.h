#pragma once
// Points every location the program reads or writes (the registry and
// WIN.INI stand-ins, the home, configuration and state folders) at a fresh
// temporary folder, so that no test touches the real user's files.

#include <QString>
#include <QTemporaryDir>

class TestEnvironment
{
public:
    TestEnvironment();

    // The temporary folder all locations point into; gone with this object.
    QString root() const { return m_dir.path(); }
    QString systemDir() const;
    QString userDir() const;
    // XDG_STATE_HOME (home/.local/state); not made until something is
    // written there.
    QString stateDir() const;
    // A path inside the temporary folder.
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Reads a whole file; empty when it cannot be read.
QByteArray ReadWholeFile(const QString &fileName);
// Writes a whole file, replacing it; fails the test's QVERIFY-able result.
bool WriteWholeFile(const QString &fileName, const QByteArray &bytes);
