// Import over the stores in memory: every outcome an entry can have, each
// entry counted once, the notes with their codes and lines, the review marks
// it sets and clears, and the messages it reports changed.

#include "platform/CodePages.h"
#include "support/EnglishTable.h"
#include "support/TranslationFixtures.h"
#include "translation/ExchangeText.h"
#include "translation/TranslationExchange.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"

#include <QtTest>

namespace {

using TState = TTranslationEntry::TState;

// The file the entries are imported into: message 3 is translated and marked
// for review, the others untranslated.
TTranslationFixture Target()
{
    TTranslationFixture fixture = MakeTranslation(
        {0x10, 0x11, 0x12, 0x13, 0x14, 0x15},
        {"Table %s not found", "Short", QByteArray(300, 'o'), "Review @1", "Rows: %d", "Plain"},
        {"Table %s not found", "Short", QByteArray(300, 'o'), "Pr\xFC" "fe @1", "Rows: %d", "Plain"});
    fixture.Marks.Mark(0x13, "Old @1");
    return fixture;
}

// Entry: "code|original|translation|state|previous", state f(inal),
// r(eview) or u(nstated); an original "-" is none (CSV without the column).
TTranslationEntry Entry(const QString &row, int line)
{
    const QStringList fields = row.split(QLatin1Char('|'));
    TTranslationEntry entry;
    if (!ParseCodeText(fields.at(0), entry.Code))
        qFatal("bad code in %s", qPrintable(row));
    entry.HasOriginal = fields.at(1) != QLatin1String("-");
    entry.Original = entry.HasOriginal ? fields.at(1).toUtf8() : QByteArray();
    entry.Translation = fields.at(2).toUtf8();
    entry.State = fields.at(3) == QLatin1String("r") ? TState::NeedsReview
        : fields.at(3) == QLatin1String("u")         ? TState::Unstated
                                                     : TState::Final;
    entry.HasPreviousOriginal = fields.size() > 4;
    entry.PreviousOriginal = fields.value(4).toUtf8();
    entry.Line = line;
    return entry;
}

QString NoteKind(TImportNote::TKind kind)
{
    switch (kind) {
    case TImportNote::TKind::TooLong: return QStringLiteral("too long");
    case TImportNote::TKind::CharacterNotStored: return QStringLiteral("character");
    case TImportNote::TKind::UnknownCode: return QStringLiteral("unknown");
    case TImportNote::TKind::OtherOriginal: return QStringLiteral("other original");
    case TImportNote::TKind::PlaceholderProblem: break;
    }
    return QStringLiteral("placeholders");
}

} // namespace

class TestTranslationImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
        SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
    }

    void outcomes_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("fuzzy");
        QTest::addColumn<QString>("counts");   // applied, unchanged, skipped, refused, unknown
        QTest::addColumn<QStringList>("notes"); // "kind code line detail"
        QTest::addColumn<QString>("text");      // of the entries' last message afterwards
        QTest::addColumn<QString>("mark");      // its review mark afterwards, "-" for none
        QTest::addColumn<QList<int>>("changed");

        const QString long255 = QString(255, QLatin1Char('l'));
        QTest::newRow("applied") << QStringList{"10|Table %s not found|Tabelle %s fehlt|f"} << false << "1 0 0 0 0"
                                 << QStringList{} << "Tabelle %s fehlt" << "-" << QList<int>{0};
        QTest::newRow("empty translation leaves the message") << QStringList{"13|Review @1||f"} << false << "0 1 0 0 0"
                                                              << QStringList{} << "Pr\u00FC" "fe @1" << "Old @1" << QList<int>{};
        QTest::newRow("the same text again") << QStringList{"11|Short|Short|f"} << false << "0 1 0 0 0" << QStringList{}
                                             << "Short" << "-" << QList<int>{};
        QTest::newRow("unknown code") << QStringList{"99|x|y|f", "98|x||f"} << false << "0 0 0 0 2"
                                      << QStringList{"unknown 00000099 1 ", "unknown 00000098 2 "} << "" << "-" << QList<int>{};
        QTest::newRow("255 characters") << QStringList{"11|Short|" + long255 + "|f"} << false << "1 0 0 0 0" << QStringList{}
                                        << long255 << "-" << QList<int>{1};
        QTest::newRow("256 characters refused") << QStringList{"11|Short|" + long255 + "x|f"} << false << "0 0 0 1 0"
                                                << QStringList{"too long 00000011 1 256"} << "Short" << "-" << QList<int>{};
        QTest::newRow("a long text kept as it is") << QStringList{"12|" + QString(300, 'o') + "|" + QString(300, 'o') + "|f"}
                                                   << false << "0 1 0 0 0" << QStringList{} << QString(300, 'o') << "-"
                                                   << QList<int>{};
        QTest::newRow("a character beyond the code page refused")
            << QStringList{"15|Plain|Ebene \u0100|f", "11|Short|Kurz|f"} << false << "1 0 0 1 0"
            << QStringList{"character 00000015 1 \u0100"} << "Kurz" << "-" << QList<int>{1};
        QTest::newRow("a character outside the plane refused") << QStringList{"15|Plain|\U0001F600|f"} << false << "0 0 0 1 0"
                                                               << QStringList{"character 00000015 1 \U0001F600"} << "Plain"
                                                               << "-" << QList<int>{};
        QTest::newRow("made for another original") << QStringList{"11|Shorter|Kurz|f"} << false << "1 0 0 0 0"
                                                   << QStringList{"other original 00000011 1 "} << "Kurz" << "Shorter"
                                                   << QList<int>{1};
        QTest::newRow("placeholder problem applied") << QStringList{"14|Rows: %d|Zeilen: %s|f"} << false << "1 0 0 0 0"
                                                     << QStringList{"placeholders 00000014 1 Placeholders %d became %s"}
                                                     << "Zeilen: %s" << "-" << QList<int>{4};
        QTest::newRow("fuzzy skipped") << QStringList{"11|Short|Kurz|r|Shorter"} << false << "0 0 1 0 0" << QStringList{}
                                       << "Short" << "-" << QList<int>{};
        QTest::newRow("fuzzy applied with --fuzzy") << QStringList{"11|Short|Kurz|r|Shorter"} << true << "1 0 0 0 0"
                                                    << QStringList{} << "Kurz" << "Shorter" << QList<int>{1};
        QTest::newRow("fuzzy without a previous original") << QStringList{"11|Short|Kurz|r"} << true << "1 0 0 0 0"
                                                           << QStringList{} << "Kurz" << "Short" << QList<int>{1};
        QTest::newRow("the same fuzzy entry again") << QStringList{"13|Review @1|Pr\u00FC" "fe @1|r|Old @1"} << true
                                                    << "0 1 0 0 0" << QStringList{} << "Pr\u00FC" "fe @1" << "Old @1"
                                                    << QList<int>{};
        QTest::newRow("a final entry ends the review") << QStringList{"13|Review @1|Pr\u00FC" "fe @1|f"} << false
                                                       << "1 0 0 0 0" << QStringList{} << "Pr\u00FC" "fe @1" << "-"
                                                       << QList<int>{3};
        QTest::newRow("CSV keeps the review") << QStringList{"13|Review @1|Pr\u00FC" "fe @1 jetzt|u"} << false
                                              << "1 0 0 0 0" << QStringList{} << "Pr\u00FC" "fe @1 jetzt" << "Old @1"
                                              << QList<int>{3};
        QTest::newRow("CSV without originals") << QStringList{"11|-|Kurz|u"} << false << "1 0 0 0 0" << QStringList{}
                                               << "Kurz" << "-" << QList<int>{1};
        QTest::newRow("back to the original") << QStringList{"13|Review @1|Review @1|f"} << false << "1 0 0 0 0"
                                              << QStringList{} << "Review @1" << "-" << QList<int>{3};
        QTest::newRow("every outcome, each counted once")
            << QStringList{"10|Table %s not found|Tabelle %s fehlt|f", "11|Short||f", "12|x|y|r", "14|Rows: %d|\u0100|f",
                           "77|a|b|f", "15|Other|Eben|f"}
            << false << "2 1 1 1 1"
            << QStringList{"character 00000014 4 \u0100", "unknown 00000077 5 ", "other original 00000015 6 "} << "Eben"
            << "Other" << QList<int>{0, 5};
    }
    void outcomes()
    {
        QFETCH(QStringList, entries);
        QFETCH(bool, fuzzy);
        QFETCH(QString, counts);
        QFETCH(QStringList, notes);
        QFETCH(QString, text);
        QFETCH(QString, mark);
        QFETCH(QList<int>, changed);

        TTranslationFixture target = Target();
        TTranslationEntries list;
        for (qsizetype i = 0; i < entries.size(); ++i)
            list.push_back(Entry(entries.at(i), int(i) + 1));
        TImportOptions options;
        options.ApplyNeedsReview = fuzzy;
        const TImportReport report = ImportTranslations(list, target.Messages, target.Originals, target.Marks, options);

        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(report.Applied).arg(report.Unchanged).arg(report.Skipped)
                     .arg(report.Refused).arg(report.Unknown),
                 counts);
        QCOMPARE(report.Applied + report.Unchanged + report.Skipped + report.Refused + report.Unknown, int(list.size()));
        QStringList noted;
        for (const TImportNote &note : report.Notes) {
            noted << QStringLiteral("%1 %2 %3 %4").arg(NoteKind(note.Kind), CodeText(note.Code)).arg(note.Line).arg(note.Detail);
            QVERIFY(!DescribeImportNote(note).isEmpty());
        }
        QCOMPARE(noted, notes);
        QCOMPARE(QList<int>(report.ChangedMessages.begin(), report.ChangedMessages.end()), changed);

        const quint32 code = list.back().Code;
        const int index = target.Messages.IndexOfCode(code);
        if (index >= 0)
            QCOMPARE(AnsiToUnicode(target.Messages.TextView(index)), text);
        const std::optional<QByteArray> marked = target.Marks.PreviousOriginal(code);
        QCOMPARE(marked ? AnsiToUnicode(*marked) : QStringLiteral("-"), mark);
        // The other messages are as they were.
        const TTranslationFixture before = Target();
        for (int i = 0; i < before.Messages.Count(); ++i) {
            if (!changed.contains(i))
                QCOMPARE(target.Messages.Texts(i), before.Messages.Texts(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestTranslationImport)
#include "tst_translationimport.moc"
