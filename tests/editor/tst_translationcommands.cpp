// The editor's translator's tools through the seams: export, import (with
// its question and report) and the update to a new server file, and the
// review marks the session keeps: read, cleared by OK, given back by undo,
// saved with the file.

#include "dialogs/FileDialogs.h"
#include "editor/EditSession.h"
#include "editor/TranslationCommands.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "support/EnglishTable.h"
#include "support/QuietSessionView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "translation/ReviewMarks.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"

#include <QtTest>

namespace {

void WriteTexts(const QString &fileName, const QList<quint32> &codes, const QByteArrayList &texts)
{
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    for (qsizetype i = 0; i < texts.size(); ++i)
        data.AddMessage(codes.at(i), texts.at(i));
    SaveMsgData(fileName, data);
}

// A session over x.msg: codes 0x10..0x13, "b" translated, "d" to review.
struct Fixture
{
    Fixture()
    {
        file = environment.path(QStringLiteral("x.msg"));
        WriteTexts(InitialBackupName(file), codes, {"alpha", "beta %s", "gamma", "delta"});
        WriteTexts(file, codes, {"alpha", "beta-fr %s", "gamma", "delta-fr"});
        TReviewMarks marks;
        marks.Mark(0x13, "old delta");
        SaveReviewMarks(file, marks);
    }
    bool Open() { return session.OpenDocument(file); }
    QByteArray Text(int index) const { return session.Messages()->Texts(index); }
    QString Path(const char *name) const { return environment.path(QLatin1String(name)); }

    TestEnvironment environment;
    ScriptedMessageBoxes boxes;
    ScriptedDialogs dialogs;
    ScriptedFileDialogs fileDialogs;
    QuietSessionView view;
    TEditSession session{view};
    const QList<quint32> codes{0x10, 0x11, 0x12, 0x13};
    QString file;
};

} // namespace

Q_DECLARE_METATYPE(TModalResult)

class TestTranslationCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
        SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
    }

    void reviewMarksReadWithTheFile()
    {
        Fixture f;
        QVERIFY(f.Open());
        QCOMPARE(f.session.Status().NeedsReview(), 1);
        QVERIFY(f.session.Status().NeedsReview(3));
        QCOMPARE(f.boxes.Count(), 0);
    }

    void damagedReviewFileCostsOnlyItsMarks()
    {
        Fixture f;
        QVERIFY(WriteWholeFile(ReviewFileName(f.file), "not a review file\n"));
        QVERIFY(f.Open());
        QCOMPARE(f.session.Status().NeedsReview(), 0);
        QCOMPARE(f.session.Count(), 4);
        QCOMPARE(f.boxes.Count(), 1);
        QCOMPARE(f.boxes.Last().Kind, TMsgDlgType::mtWarning);
        QVERIFY2(f.boxes.Last().Text.contains(ReviewFileName(f.file)), qPrintable(f.boxes.Last().Text));
    }

    // OK on a message to review clears its mark, changed or not; undo gives
    // it back; the save writes the review file, and removes it when no mark
    // is left.
    void okClearsTheMark_data()
    {
        QTest::addColumn<QByteArray>("typed"); // empty: the text as it was
        QTest::newRow("unchanged") << QByteArray();
        QTest::newRow("changed") << QByteArray("delta-fr, reviewed");
    }
    void okClearsTheMark()
    {
        QFETCH(QByteArray, typed);
        Fixture f;
        QVERIFY(f.Open());
        f.dialogs.OnEditText = [typed](QByteArray &text, const QByteArray &, bool &) {
            if (!typed.isEmpty())
                text = typed;
            return true;
        };
        f.session.EditMessage(3);
        QCOMPARE(f.dialogs.EditTextCalls.last().PreviousOriginal, std::optional<QByteArray>("old delta"));
        QCOMPARE(f.session.Status().NeedsReview(), 0);
        QVERIFY(f.session.Modified());
        f.session.UndoLastEntry();
        QCOMPARE(f.session.Status().NeedsReview(), 1);
        QCOMPARE(f.Text(3), QByteArray("delta-fr"));

        f.session.EditMessage(3);
        f.boxes.Answer(TModalResult::mrNo); // no further initial backup question is asked: it exists
        QVERIFY(f.session.SaveDocument());
        QVERIFY(!QFileInfo::exists(ReviewFileName(f.file)));
        f.dialogs.EditTextCalls.clear();
        f.session.EditMessage(1); // not marked: no previous original
        QCOMPARE(f.dialogs.EditTextCalls.last().PreviousOriginal, std::nullopt);
    }

    void saveKeepsTheMarks()
    {
        Fixture f;
        QVERIFY(f.Open());
        f.dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &) {
            text = "gamma-fr";
            return true;
        };
        f.session.EditMessage(2);
        QVERIFY(f.session.SaveDocument());
        QString warning;
        const TReviewMarks saved = LoadReviewMarks(f.file, warning);
        QVERIFY(warning.isEmpty());
        QCOMPARE(saved.PreviousOriginal(0x13), std::optional<QByteArray>("old delta"));
        QCOMPARE(saved.Count(), 1);
    }

    void exportThroughTheDialog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("piece"); // in the file written; empty: refused
        QTest::newRow("PO") << "out.po" << "msgctxt \"00000011\"\nmsgid \"beta %s\"\nmsgstr \"beta-fr %s\"";
        QTest::newRow("XLIFF") << "out.xlf" << "state=\"needs-review-translation\"";
        QTest::newRow("CSV") << "out.csv" << "00000011,beta %s,beta-fr %s";
        QTest::newRow("no format") << "out.txt" << "";
    }
    void exportThroughTheDialog()
    {
        QFETCH(QString, name);
        QFETCH(QString, piece);
        Fixture f;
        QVERIFY(f.Open());
        TSaveDialog dialog;
        f.fileDialogs.Answer(f.environment.path(name));
        ExportTranslationCommand(f.session, dialog);
        const QByteArray written = ReadWholeFile(f.environment.path(name));
        if (piece.isEmpty()) {
            QVERIFY(written.isEmpty());
            QVERIFY(f.boxes.Last().Text.contains(QLatin1String(".po, .xlf, .xliff or .csv")));
            return;
        }
        QVERIFY2(written.contains(piece.toUtf8()), written.constData());
        QVERIFY(!f.session.Modified());
    }

    void importAppliesAndReports_data()
    {
        QTest::addColumn<TModalResult>("answer"); // to the question about entries not final
        QTest::addColumn<QByteArray>("gamma");
        QTest::addColumn<QString>("summary");
        QTest::newRow("fuzzy applied") << TModalResult::mrYes << QByteArray("gamma-fuzzy")
                                       << "applied: 2, unchanged: 1, skipped: 0, refused: 1, unknown: 1";
        QTest::newRow("fuzzy skipped") << TModalResult::mrNo << QByteArray("gamma")
                                       << "applied: 1, unchanged: 1, skipped: 1, refused: 1, unknown: 1";
    }
    void importAppliesAndReports()
    {
        QFETCH(TModalResult, answer);
        QFETCH(QByteArray, gamma);
        QFETCH(QString, summary);
        Fixture f;
        QVERIFY(f.Open());
        const QString po = f.Path("in.po");
        QVERIFY(WriteWholeFile(po, "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                   "msgctxt \"00000010\"\nmsgid \"alpha\"\nmsgstr \"alpha-fr\"\n\n"
                                   "msgctxt \"00000011\"\nmsgid \"beta %s\"\nmsgstr \"beta-fr %s\"\n\n"
                                   "#, fuzzy\nmsgctxt \"00000012\"\nmsgid \"gamma\"\nmsgstr \"gamma-fuzzy\"\n\n"
                                   "msgctxt \"00000013\"\nmsgid \"delta\"\nmsgstr \"\xD0\xB6\"\n\n"
                                   "msgctxt \"000000FF\"\nmsgid \"none\"\nmsgstr \"nothing\"\n"));
        f.boxes.Answer({answer, TModalResult::mrOK});
        QVERIFY(ImportTranslationFile(f.session, po));
        QCOMPARE(f.boxes.Requests().at(0).Kind, TMsgDlgType::mtConfirmation);
        QVERIFY(f.boxes.Requests().at(0).Text.startsWith(QLatin1String("1 translations in")));
        const QString report = f.boxes.Last().Text;
        QVERIFY2(report.contains(summary), qPrintable(report));
        QVERIFY2(report.contains(QLatin1String("00000013: refused")), qPrintable(report));
        QVERIFY2(report.contains(QLatin1String("000000FF: unknown")), qPrintable(report));
        QCOMPARE(f.Text(0), QByteArray("alpha-fr"));
        QCOMPARE(f.Text(2), gamma);
        QCOMPARE(f.session.Status().IsTranslated(0), true);
        QCOMPARE(f.session.Status().NeedsReview(2), answer == TModalResult::mrYes);
        QVERIFY(f.session.Modified());
        QVERIFY(!f.session.UndoAvailable());
        // Revert to saved undoes it all.
        f.boxes.Answer(TModalResult::mrYes);
        f.session.RevertToSaved();
        QCOMPARE(f.Text(0), QByteArray("alpha"));
        QCOMPARE(f.session.Status().NeedsReview(2), false);
    }

    void importOfAMalformedFileChangesNothing()
    {
        Fixture f;
        QVERIFY(f.Open());
        const QString po = f.Path("bad.po");
        QVERIFY(WriteWholeFile(po, "msgctxt \"00000010\"\nmsgid \"alpha\"\nmsgstr \"never\n"));
        QVERIFY(!ImportTranslationFile(f.session, po));
        QCOMPARE(f.boxes.Count(), 1);
        QCOMPARE(f.boxes.Last().Kind, TMsgDlgType::mtError);
        QVERIFY2(f.boxes.Last().Text.contains(QLatin1String("line 3")), qPrintable(f.boxes.Last().Text));
        QCOMPARE(f.Text(0), QByteArray("alpha"));
        QVERIFY(!f.session.Modified());
    }

    void updateCarriesTheTranslation()
    {
        Fixture f;
        QVERIFY(f.Open());
        // The new release: beta rewritten, gamma gone, epsilon new.
        const QString newFile = f.Path("new.msg");
        WriteTexts(newFile, {0x10, 0x11, 0x13, 0x14}, {"alpha", "beta now %s", "delta", "epsilon"});
        const QString out = f.Path("out.msg");
        TOpenDialog newDialog;
        TSaveDialog outDialog;
        f.fileDialogs.Answer(newFile);
        f.fileDialogs.Answer(out);
        UpdateFromServerCommand(f.session, newDialog, outDialog);
        QVERIFY2(f.boxes.Last().Text.contains(QLatin1String("0 carried, 2 to review, 2 left untranslated, 0 dropped")),
                 qPrintable(f.boxes.Last().Text));
        QCOMPARE(f.session.FileName(), out);
        QCOMPARE(ReadWholeFile(InitialBackupName(out)), ReadWholeFile(newFile));
        QCOMPARE(f.session.Messages()->Count(), 4);
        QCOMPARE(f.Text(1), QByteArray("beta-fr %s"));
        QVERIFY(f.session.Status().NeedsReview(1));
        QCOMPARE(f.session.ReviewMarks().PreviousOriginal(0x11), std::optional<QByteArray>("beta %s"));
        QVERIFY(f.session.Status().NeedsReview(2)); // delta: its earlier mark stays
        QCOMPARE(f.Text(3), QByteArray("epsilon"));
        QVERIFY(!f.session.Status().IsTranslated(3));
    }

    void updateRefused_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("no initial backup") << "no initial backup";
        QTest::newRow("the new file exists") << "exists";
    }
    void updateRefused()
    {
        QFETCH(QString, why);
        Fixture f;
        if (why == QLatin1String("no initial backup"))
            QVERIFY(QFile::remove(InitialBackupName(f.file)));
        QVERIFY(f.Open());
        const QString newFile = f.Path("new.msg");
        WriteTexts(newFile, {0x10}, {"alpha"});
        const QString out = f.Path("out.msg");
        if (why == QLatin1String("exists"))
            QVERIFY(WriteWholeFile(out, "keep me"));
        QVERIFY(!UpdateFromServerFile(f.session, newFile, out));
        QCOMPARE(f.boxes.Last().Kind, TMsgDlgType::mtError);
        QCOMPARE(f.session.FileName(), f.file);
        QCOMPARE(QFileInfo::exists(out), why == QLatin1String("exists"));
        if (QFileInfo::exists(out))
            QCOMPARE(ReadWholeFile(out), QByteArray("keep me"));
        QVERIFY(!QFileInfo::exists(InitialBackupName(out)));
    }
};

QTEST_MAIN(TestTranslationCommands)
#include "tst_translationcommands.moc"
