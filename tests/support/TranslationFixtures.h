#pragma once
// Translations made by the tests: the three stores a translated message
// file comes with (its originals, its current texts, its review marks), the
// files they are saved as, and the external tools (gettext, Qt's lconvert,
// the Translate Toolkit) that judge what export writes.

#include "msgfile/MsgData.h"
#include "translation/ReviewMarks.h"

#include <QString>
#include <QStringList>

struct TTranslationFixture
{
    TMsgData Originals;
    TMsgData Messages;
    TReviewMarks Marks;
};

// Messages of code Codes[i], original Originals[i] and current text
// Texts[i], behind a server header.
TTranslationFixture MakeTranslation(const QList<quint32> &codes, const QList<QByteArray> &originals,
                                    const QList<QByteArray> &texts);

// Every text the formats must carry back byte for byte: each of the 256
// byte values (each stands for a character of its own in any ANSI code
// page), line feeds, CR LF and a lone CR, quotes, commas and backslashes,
// empty originals (one translated), blanks at either end, codes 0 and
// FFFFFFFF, a long untranslated text, a message to review.
TTranslationFixture HardTranslation();

// A consistent translation, as gettext, lconvert and the Translate Toolkit
// accept it: placeholders kept, a final line feed where the original has
// one, letters beyond ASCII (windows-1252), one message to review, two
// untranslated (one of them empty). Six translated, one fuzzy, two
// untranslated.
TTranslationFixture ConsistentTranslation();

// Saves the fixture as the message file FileName, its initial backup and,
// when it has marks, its review file.
void SaveTranslationFiles(const TTranslationFixture &fixture, const QString &fileName);

// The external program Program (on the PATH, or Qt's tools folder), or ""
// with Problem naming the Debian package tools/install-deps installs it
// from.
QString FindExternalTool(const QString &program, const QString &package, QString &problem);

// Runs the program; its exit code (-1 when it did not run or crashed), with
// what it printed in Output.
int RunExternalTool(const QString &program, const QStringList &arguments, QString &output);
