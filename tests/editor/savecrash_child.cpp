// The subject of the crash test: saves a message file over and over through
// the session's save sequence, the two contents read from A and B in turn
// (B first), until it is killed.
//
//   savecrash_child TARGET A B
//
// Prints "ready" once both contents are read, then "saved N" after each
// save. An error ends it with status 1 and the error's text on standard
// error. It ends by itself with its parent, or after a minute.

#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileSave.h"

#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: savecrash_child TARGET A B\n");
        return 64;
    }
    // Never outlive the test that started it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    try {
        const QString target = QFile::decodeName(argv[1]);
        const std::unique_ptr<TMsgData> contents[2] = {LoadMsgData(QFile::decodeName(argv[2])),
                                                       LoadMsgData(QFile::decodeName(argv[3]))};
        std::printf("ready\n");
        std::fflush(stdout);
        QElapsedTimer running;
        running.start();
        for (long n = 1; running.elapsed() < 60000; ++n) {
            SaveMsgDataWithBackup(target, *contents[n % 2]);
            std::printf("saved %ld\n", n);
            std::fflush(stdout);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
