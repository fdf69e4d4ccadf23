#include "uitext/EnglishMsg.h"

#include "uitext/SupportAddresses.h"

#include <QList>
#include <utility>

QString EnglishTable()
{
    const QString CR(QChar(13));
    const QString PleaseReport = QStringLiteral("Please report this message to ") + QLatin1String(SupportMailAddress)
        + QStringLiteral(", with a detailed description of what you were doing when this error occured. "
                         "Include a .log file from the Lexivane directory.");
    // The rows in their order: window rows stand together per window, and a
    // window's translation stops at the first row after its run.
    const QList<std::pair<QString, QString>> rows = {
        {QStringLiteral("Form1.N1.Caption"), QStringLiteral("&File")},
        {QStringLiteral("Form1.N2.Caption"), QStringLiteral("&Open...")},
        {QStringLiteral("Form1.SaveItem.Caption"), QStringLiteral("&Save")},
        {QStringLiteral("Form1.N4.Caption"), QStringLiteral("Save &as...")},
        {QStringLiteral("Form1.N13.Caption"), QStringLiteral("&Dump...")},
        {QStringLiteral("Form1.N6.Caption"), QStringLiteral("E&xit")},
        {QStringLiteral("Form1.N7.Caption"), QStringLiteral("&View")},
        {QStringLiteral("Form1.N8.Caption"), QStringLiteral("&Find...")},
        {QStringLiteral("Form1.N9.Caption"), QStringLiteral("Find &next")},
        {QStringLiteral("Form1.N15.Caption"), QStringLiteral("&Options")},
        {QStringLiteral("Form1.N16.Caption"), QStringLiteral("Language...")},
        {QStringLiteral("Form1.N14.Caption"), QStringLiteral("&Font...")},
        {QStringLiteral("Form1.N10.Caption"), QStringLiteral("&Help")},
        {QStringLiteral("Form1.N11.Caption"), QStringLiteral("&About...")},
        {QStringLiteral("Form1.N19.Caption"), QStringLiteral("&Contents...")},
        {QStringLiteral("Form1.Web1.Caption"), QStringLiteral("Tessavel &Web-site...")},
        {QStringLiteral("Form1.RevertItem.Caption"), QStringLiteral("&Revert to")},
        {QStringLiteral("Form1.RevertSavedItem.Caption"), QStringLiteral("&Saved...")},
        {QStringLiteral("Form1.RevertBAKItem.Caption"), QStringLiteral("&Last backup...")},
        {QStringLiteral("Form1.RevertOriginalItem.Caption"), QStringLiteral("Initial &backup...")},
        {QStringLiteral("Form1.ToolbarItem.Caption"), QStringLiteral("&Toolbar")},
        {QStringLiteral("Form1.OpenBtn.Hint"), QStringLiteral("Open... Ctrl+O")},
        {QStringLiteral("Form1.SaveBtn.Hint"), QStringLiteral("Save Ctrl+S")},
        {QStringLiteral("Form1.UndoBtn.Hint"), QStringLiteral("Undo last entry Alt+BkSp")},
        {QStringLiteral("Form1.FindBtn.Hint"), QStringLiteral("Find... Ctrl+F")},
        {QStringLiteral("Form1.FindNextBtn.Hint"), QStringLiteral("Find next Ctrl+L")},
        {QStringLiteral("Form1.AboutBtn.Hint"), QStringLiteral("About... Alt+I")},
        {QStringLiteral("Form1.SaveDialog2.Filter"), QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*")},
        {QStringLiteral("Form1.SaveDialog1.Filter"), QStringLiteral("Dump files (*.OUT)|*.OUT|All files (*.*)|*.*")},
        {QStringLiteral("Form1.ViewOrigItem.Caption"), QStringLiteral("&Original")},
        {QStringLiteral("Form1.N18.Caption"), QStringLiteral("&Go to...")},
        {QStringLiteral("Form1.N23.Caption"), QStringLiteral("&E-mail to support...")},
        {QStringLiteral("Form1.ViewOrigBtn.Hint"), QStringLiteral("View original Left")},
        {QStringLiteral("Form1.EditItem.Caption"), QStringLiteral("&Edit")},
        {QStringLiteral("Form1.UndoItem.Caption"), QStringLiteral("&Undo last entry")},
        // The translator's view: what to show, side by side, the next
        // message left to do, the code pages.
        {QStringLiteral("Form1.SideBySideItem.Caption"), QStringLiteral("&Side by side")},
        {QStringLiteral("Form1.ShowItem.Caption"), QStringLiteral("S&how")},
        {QStringLiteral("Form1.ShowAllItem.Caption"), QStringLiteral("&All messages")},
        {QStringLiteral("Form1.ShowUntranslatedItem.Caption"), QStringLiteral("&Untranslated")},
        {QStringLiteral("Form1.ShowTranslatedItem.Caption"), QStringLiteral("&Translated")},
        {QStringLiteral("Form1.ShowProblemsItem.Caption"), QStringLiteral("&Placeholder problems")},
        {QStringLiteral("Form1.ShowReviewItem.Caption"), QStringLiteral("Needs &review")},
        {QStringLiteral("Form1.NextUnfinishedItem.Caption"), QStringLiteral("Next &unfinished")},
        {QStringLiteral("Form1.PreviousUnfinishedItem.Caption"), QStringLiteral("&Previous unfinished")},
        {QStringLiteral("Form1.CodePageItem.Caption"), QStringLiteral("&Code page")},
        // The translator's own tools: CAT tools' files and the next server
        // release.
        {QStringLiteral("Form1.ExportItem.Caption"), QStringLiteral("&Export translation...")},
        {QStringLiteral("Form1.ImportItem.Caption"), QStringLiteral("&Import translation...")},
        {QStringLiteral("Form1.UpdateItem.Caption"), QStringLiteral("&Update from server file...")},
        {QStringLiteral("Form1.ExportDialog.Filter"), QStringLiteral("gettext PO files (*.po)|*.po|XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff|CSV files (*.csv)|*.csv")},
        {QStringLiteral("Form1.ExportDialog.Title"), QStringLiteral("Export the translation")},
        {QStringLiteral("Form1.ImportDialog.Filter"), QStringLiteral("Translation files (*.po;*.xlf;*.xliff;*.csv)|*.po;*.xlf;*.xliff;*.csv|All files (*.*)|*.*")},
        {QStringLiteral("Form1.ImportDialog.Title"), QStringLiteral("Import a translation")},
        {QStringLiteral("Form1.NewServerFileDialog.Filter"), QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*")},
        {QStringLiteral("Form1.NewServerFileDialog.Title"), QStringLiteral("The new server's message file")},
        {QStringLiteral("Form1.UpdatedFileDialog.Filter"), QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*")},
        {QStringLiteral("Form1.UpdatedFileDialog.Title"), QStringLiteral("Save the translation carried to it as")},
        {QStringLiteral("IdTitle"), QStringLiteral("ID")},
        {QStringLiteral("StrTitle"), QStringLiteral("Text")},
        {QStringLiteral("ConfirmSave"), QStringLiteral("Text has been modified, save?")},
        {QStringLiteral("NotFound"), QStringLiteral("Text not found!")},
        {QStringLiteral("FileNotExists"), QStringLiteral("File \"%s\" does not exist")},
        {QStringLiteral("TooLargeItem"), QStringLiteral("Text item is too large")},
        {QStringLiteral("TextTooLarge"), QStringLiteral("Text length can't exceed 255 characters")},
        {QStringLiteral("BackupCreated"), QStringLiteral("Backup of file \"%s\" is saved into \"%s\"")},
        {QStringLiteral("Restored"), QStringLiteral("File \"%s\" was restored from backup copy \"%s\"")},
        {QStringLiteral("Application.Title"), QStringLiteral("Lexivane")},
        {QStringLiteral("Form2.Caption"), QStringLiteral("Change text")},
        {QStringLiteral("Form2.Button2.Caption"), QStringLiteral("Cancel")},
        {QStringLiteral("Form2.Button1.Caption"), QStringLiteral("Convert...")},
        {QStringLiteral("Form2.Button3.Caption"), QStringLiteral("&Help")},
        {QStringLiteral("Form2.TextLabel.Caption"), QStringLiteral("Message text")},
        {QStringLiteral("Form2.OrigLabel.Caption"), QStringLiteral("Original text")},
        {QStringLiteral("Form2.PrevOrigLabel.Caption"), QStringLiteral("Previous original text (the translation was made for it)")},
        {QStringLiteral("Form3.Caption"), QStringLiteral("Select a message file to edit")},
        {QStringLiteral("Form3.IB32Check.Caption"), QStringLiteral("InterBase for Win95/&NT")},
        {QStringLiteral("Form3.IB16Check.Caption"), QStringLiteral("InterBase for Win &3.x")},
        {QStringLiteral("Form3.CustomCheck.Caption"), QStringLiteral("&Other")},
        {QStringLiteral("Form3.Button2.Caption"), QStringLiteral("Cancel")},
        {QStringLiteral("Form3.Button3.Caption"), QStringLiteral("&Help")},
        {QStringLiteral("Form3.CustomEdit.Filter"), QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*")},
        {QStringLiteral("Form3.CustomEdit.DialogTitle"), QStringLiteral("Select a message file")},
        {QStringLiteral("Form3.OpenDialog1.Filter"), QStringLiteral("Backup files (*.BACKUP)|*.BACKUP|All files (*.*)|*.*")},
        {QStringLiteral("Form3.OpenDialog1.Title"), QStringLiteral("Restoring the message file")},
        {QStringLiteral("ConfirmBackup"), QStringLiteral("You're about to save message file modifications. Backup of the previous file contents will be created automatically.")
              + CR + CR + QStringLiteral(">> But we urgently recommend you to create an initial backup. <<")
              + CR + CR + QStringLiteral("The initial backup will allow you to restore original file contents anytime and also will be used by the program to show an original text of messages.")
              + CR + CR + QStringLiteral("Create initial backup?")},
        {QStringLiteral("OriginalTitle"), QStringLiteral("Original")},
        {QStringLiteral("NoFile"), QStringLiteral("<No file>")},
        {QStringLiteral("NotExists"), QStringLiteral("File \"%s\" does not exist")},
        {QStringLiteral("LoadError"), QStringLiteral("Error loading file \"%s\"")},
        {QStringLiteral("SaveError"), QStringLiteral("Error saving file \"%s\"")},
        {QStringLiteral("BackupError"), QStringLiteral("Error backing up file \"%s\"")},
        {QStringLiteral("BackupReadError"), QStringLiteral("Error reading from initial backup of the file \"%s\"")},
        {QStringLiteral("LoadErrorDebug"), QStringLiteral("Error loading file \"%s\"") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + PleaseReport},
        {QStringLiteral("SaveErrorDebug"), QStringLiteral("Error saving file \"%s\"") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + PleaseReport},
        {QStringLiteral("BackupErrorDebug"), QStringLiteral("Error backing up file \"%s\"") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + PleaseReport},
        {QStringLiteral("BackupReadErrorDebug"), QStringLiteral("Error reading from initial backup of the file \"%s\"") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + PleaseReport},
        {QStringLiteral("EditTextTitle"), QStringLiteral("Change text")},
        {QStringLiteral("ViewTextTitle"), QStringLiteral("View text")},
        {QStringLiteral("StartupError"), QStringLiteral("Fatal error occured during the startup:") + CR + CR + QStringLiteral(">> %s <<") + CR + CR
              + PleaseReport + CR + CR + QStringLiteral("Program exits...")},
        {QStringLiteral("Exception"), QStringLiteral("Fatal error occured during the execution:") + CR + CR + QStringLiteral(">> %s <<") + CR + CR
              + PleaseReport + CR + CR + QStringLiteral(">> It is strongly recommended to terminate the application! <<")
              + CR + CR + QStringLiteral("But all unsaved data will be lost.") + CR + QStringLiteral("Terminate the application now?")},
        {QStringLiteral("ConfirmRevertToSaved"), QStringLiteral("Do you really want to revert to the saved file?")},
        {QStringLiteral("ConfirmRevertToBAK"), QStringLiteral("Do you really want to revert to the backup created during last save?")},
        {QStringLiteral("ConfirmRevertToOriginal"), QStringLiteral("Do you really want to revert to the original contents?")},
        {QStringLiteral("AboutBox.Caption"), QStringLiteral("About...")},
        {QStringLiteral("AboutBox.N1.Caption"), QStringLiteral("Open...")},
        {QStringLiteral("AboutBox.N2.Caption"), QStringLiteral("Copy URL")},
        {QStringLiteral("AboutBox.URLLabel1.Hint"), QStringLiteral("Opens Tessavel Web-site...")},
        {QStringLiteral("NormalFontTitle"), QStringLiteral("Normal text")},
        {QStringLiteral("ChangedFontTitle"), QStringLiteral("Changed text")},
        {QStringLiteral("OriginFontTitle"), QStringLiteral("Original text")},
        {QStringLiteral("TitleFontTitle"), QStringLiteral("Title")},
        {QStringLiteral("Form4.Caption"), QStringLiteral("Font setup")},
        {QStringLiteral("Form4.Label1.Caption"), QStringLiteral("&Font")},
        {QStringLiteral("Form4.Label2.Caption"), QStringLiteral("&Sample")},
        {QStringLiteral("Form4.Button1.Caption"), QStringLiteral("&Change...")},
        {QStringLiteral("Form4.Button3.Caption"), QStringLiteral("Cancel")},
        {QStringLiteral("Form4.Button4.Caption"), QStringLiteral("&Apply")},
        {QStringLiteral("Form4.Button5.Caption"), QStringLiteral("&Help")},
        {QStringLiteral("GotoLineCaption"), QStringLiteral("Enter a message identifier to go to")},
        {QStringLiteral("GotoLinePrompt"), QStringLiteral("Message ID")},
        {QStringLiteral("StringEnterForm.CancelBtn.Caption"), QStringLiteral("Cancel")},
        {QStringLiteral("StringEnterForm.HelpBtn.Caption"), QStringLiteral("&Help")},
        {QStringLiteral("InvalidHex"), QStringLiteral("Invalid hex number \"%s\"")},
        {QStringLiteral("LineNotFound"), QStringLiteral("Message %s not found!")},
        {QStringLiteral("CCountLabel"), QStringLiteral("Total chars")},
        {QStringLiteral("FailedBrowserLaunch"), QStringLiteral("Can't open web-site \"%s\". May be you have no default browser installed!")},
        {QStringLiteral("FailedMailerLaunch"), QStringLiteral("Can't write an E-mail to \"%s\". May be you have no default mail program installed!")},
        // A text is stored one byte a character in the message's code page;
        // a character that page lacks cannot be stored and is refused.
        {QStringLiteral("CharNotInCodePage"), QStringLiteral("The character \"%s\" cannot be stored in the code page of this message (%s). Choose the code page of your language under Options > Code page, or type the character differently.")},
        // The placeholders the server fills in, checked in a translation.
        {QStringLiteral("PlaceholderMissing"), QStringLiteral("Missing %s")},
        {QStringLiteral("PlaceholderExtra"), QStringLiteral("Extra %s")},
        {QStringLiteral("PlaceholdersChanged"), QStringLiteral("Placeholders %s became %s")},
        {QStringLiteral("PlaceholdersNone"), QStringLiteral("none")},
        {QStringLiteral("ConfirmPlaceholders"), QStringLiteral("The placeholders differ from the original: %s. Keep this text?")},
        {QStringLiteral("StatusCounts"), QStringLiteral("%d messages \u00B7 %d translated (%d%%) \u00B7 %d placeholder problems")},
        {QStringLiteral("StatusShown"), QStringLiteral(" \u00B7 %d shown")},
        {QStringLiteral("StatusNeedsReview"), QStringLiteral(" \u00B7 %d need review")},
        {QStringLiteral("ExchangeUnknownFormatBox"), QStringLiteral("The file name \"%s\" does not say its format: it must end in .po, .xlf, .xliff or .csv.")},
        {QStringLiteral("ExchangeWhereAt"), QStringLiteral("line %d, column %d: %s")},
        {QStringLiteral("ExchangeWhereLine"), QStringLiteral("line %d: %s")},
        {QStringLiteral("ImportReadError"), QStringLiteral("The translations in \"%s\" cannot be read:") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + QStringLiteral("Nothing was changed.")},
        {QStringLiteral("ConfirmImportReview"), QStringLiteral("%d translations in \"%s\" are not final (fuzzy, or to be reviewed). Apply them too, marked for review?")},
        {QStringLiteral("ImportReport"), QStringLiteral("Translations imported from \"%s\":")},
        {QStringLiteral("ImportNoteLine"), QStringLiteral("%8.8x: %s")},
        {QStringLiteral("ImportMoreNotes"), QStringLiteral("... and %d more")},
        {QStringLiteral("UpdateNeedsOriginal"), QStringLiteral("The file \"%s\" has no initial backup, so nothing tells what was translated. The update needs the server's original texts, which the initial backup keeps.")},
        {QStringLiteral("UpdateOutputExists"), QStringLiteral("The file \"%s\" exists already; the update never replaces a file. Please choose another name.")},
        {QStringLiteral("UpdateDone"), QStringLiteral("The translation was carried to \"%s\": %d carried, %d to review, %d left untranslated, %d dropped (their codes are gone).")},
        {QStringLiteral("ReviewToolTip"), QStringLiteral("To review: translated for the original \"%s\"")},
        {QStringLiteral("StatusCodePages"), QStringLiteral("Code pages %s / %s")},
        {QStringLiteral("NoNextUnfinished"), QStringLiteral("There is no further message to translate or check below this one.")},
        {QStringLiteral("NoPreviousUnfinished"), QStringLiteral("There is no further message to translate or check above this one.")},
        {QStringLiteral("CodePageCaption"), QStringLiteral("%s (%s, %s)")},
        {QStringLiteral("CodePageDesktop"), QStringLiteral("As the &desktop's language")},
        {QStringLiteral("CodePageWestern"), QStringLiteral("&Western European")},
        {QStringLiteral("CodePageCentral"), QStringLiteral("&Central European")},
        {QStringLiteral("CodePageCyrillic"), QStringLiteral("C&yrillic")},
        {QStringLiteral("CodePageGreek"), QStringLiteral("&Greek")},
        {QStringLiteral("CodePageTurkish"), QStringLiteral("&Turkish")},
        {QStringLiteral("CodePageBaltic"), QStringLiteral("&Baltic")},
        // lexivane-msg, the command-line tool: its usage, its errors (one line
        // each, on standard error) and the report of check.
        {QStringLiteral("ToolUsage"), QStringLiteral("Usage: lexivane-msg COMMAND ARGUMENTS") + CR
              + QStringLiteral("Reads and writes the message files of the database server.") + CR + CR
              + QStringLiteral("Commands:") + CR
              + QStringLiteral("  dump IN OUT     write one line per message of IN into OUT: the code as") + CR
              + QStringLiteral("                  eight hexadecimal digits, a blank and the text") + CR
              + QStringLiteral("  resave IN OUT   read IN and write it again into OUT") + CR
              + QStringLiteral("  check [--strict] IN") + CR
              + QStringLiteral("                  tell whether the codes of IN ascend and whether the") + CR
              + QStringLiteral("                  server's lookup finds every message (each code it cannot") + CR
              + QStringLiteral("                  find is listed), and where the index of IN differs from") + CR
              + QStringLiteral("                  the one the writer makes; only with --strict does such a") + CR
              + QStringLiteral("                  difference make IN unsound") + CR
              + QStringLiteral("  lint FILE [ORIGINAL]") + CR
              + QStringLiteral("                  list the messages of FILE whose placeholders differ from") + CR
              + QStringLiteral("                  their original's (ORIGINAL, else FILE's initial backup") + CR
              + QStringLiteral("                  FILE.OrigBAK), then count what is translated") + CR
              + QStringLiteral("  export FILE OUT [--original ORIGINAL]") + CR
              + QStringLiteral("                  write the translation of FILE for CAT tools into OUT,") + CR
              + QStringLiteral("                  as gettext PO (.po), XLIFF 1.2 (.xlf, .xliff) or CSV") + CR
              + QStringLiteral("                  (.csv); ORIGINAL (default: FILE's initial backup, else") + CR
              + QStringLiteral("                  FILE) holds the original texts") + CR
              + QStringLiteral("  import FILE IN OUT [--fuzzy]") + CR
              + QStringLiteral("                  apply the translations of IN (.po, .xlf, .xliff, .csv)") + CR
              + QStringLiteral("                  to the messages of FILE with the same codes and save the") + CR
              + QStringLiteral("                  result as OUT; --fuzzy applies entries to review too,") + CR
              + QStringLiteral("                  marking them for review") + CR
              + QStringLiteral("  update TRANSLATED NEW OUT [--original ORIGINAL]") + CR
              + QStringLiteral("                  carry the translation of TRANSLATED (its originals in") + CR
              + QStringLiteral("                  ORIGINAL, default its initial backup) to the messages of") + CR
              + QStringLiteral("                  the new server file NEW, marking those whose English") + CR
              + QStringLiteral("                  text changed for review; OUT gets NEW as its initial") + CR
              + QStringLiteral("                  backup") + CR
              + QStringLiteral("  --help          show this text") + CR
              + QStringLiteral("  --version       show the version") + CR + CR
              + QStringLiteral("Exit status: 0 done (check: sound; lint: no placeholder problem), 1 check") + CR
              + QStringLiteral("found the file unsound, lint found a placeholder problem, import refused a") + CR
              + QStringLiteral("translation or met an unknown code, or the output could not be written, 2") + CR
              + QStringLiteral("the input could not be read or is malformed, 64 wrong usage.")},
        {QStringLiteral("ToolVersion"), QStringLiteral("lexivane-msg %s")},
        {QStringLiteral("ToolError"), QStringLiteral("lexivane-msg: %s")},
        {QStringLiteral("ToolFileError"), QStringLiteral("%s: %s")},
        {QStringLiteral("ToolNoCommand"), QStringLiteral("no command given; try lexivane-msg --help")},
        {QStringLiteral("ToolWrongUsage"), QStringLiteral("wrong command line \"%s\"; try lexivane-msg --help")},
        {QStringLiteral("ToolCannotOpen"), QStringLiteral("Cannot open file %s")},
        {QStringLiteral("CheckSummary"), QStringLiteral("%s: %d messages, %d buckets, %d levels, %d bytes")},
        {QStringLiteral("CheckNotServerHeader"), QStringLiteral("header: not a server header; looked up as 1024-byte buckets, 2 levels")},
        {QStringLiteral("CheckIndexAsWriter"), QStringLiteral("index: as the writer makes it")},
        {QStringLiteral("CheckIndexDiffers"), QStringLiteral("index: %s")},
        {QStringLiteral("CheckIndexInformation"), QStringLiteral("index: %s (for information: only --strict requires the writer's index)")},
        {QStringLiteral("CheckRootOffset"), QStringLiteral("the root lies at offset %d, the writer puts it at %d")},
        {QStringLiteral("CheckLevels"), QStringLiteral("the index has %d levels, the writer makes %d")},
        {QStringLiteral("CheckNodes"), QStringLiteral("the index has %d nodes, the writer makes %d")},
        {QStringLiteral("CheckNode"), QStringLiteral("the node at offset %d (level %d, %d entries)")},
        {QStringLiteral("CheckNodeDiffers"), QStringLiteral("%s is %s in the writer's index")},
        {QStringLiteral("CheckEntryDiffers"), QStringLiteral("index entry %d of the node at offset %d is (key %8.8x, offset %d), the writer makes (key %8.8x, offset %d)")},
        {QStringLiteral("CheckCodesAscending"), QStringLiteral("codes: ascending")},
        {QStringLiteral("CheckCodesOutOfOrder"), QStringLiteral("codes: message %d has code %8.8x after %8.8x")},
        {QStringLiteral("CheckLookupAll"), QStringLiteral("lookup: the server finds every message")},
        {QStringLiteral("CheckLookupMissing"), QStringLiteral("lookup: the server cannot find %d messages")},
        {QStringLiteral("CheckUnreachable"), QStringLiteral("unreachable: %8.8x")},
        {QStringLiteral("CheckSound"), QStringLiteral("sound")},
        {QStringLiteral("CheckNotSound"), QStringLiteral("not sound")},
        {QStringLiteral("LintProblem"), QStringLiteral("%8.8x: %s")},
        {QStringLiteral("LintSummary"), QStringLiteral("messages: %d, translated: %d, untranslated: %d, placeholder problems: %d, needs review: %d")},
        {QStringLiteral("LintNoInitialBackup"), QStringLiteral("there is no initial backup %s to compare with; give the original file as ORIGINAL")},
        {QStringLiteral("LintCountsDiffer"), QStringLiteral("%s holds %d messages, its original %s %d; they are paired by position")},
        // The translation exchange (PO, XLIFF, CSV), the update to a new
        // server file and the review marks: what the readers find wrong, what
        // import says of an entry, and lexivane-msg's reports.
        {QStringLiteral("ExchangeBadUtf8"), QStringLiteral("the bytes here are not UTF-8 text")},
        {QStringLiteral("ExchangeBadCode"), QStringLiteral("\"%s\" is not a message code (one to eight hexadecimal digits)")},
        {QStringLiteral("PoUnexpectedText"), QStringLiteral("PO syntax: unexpected \"%s\"")},
        {QStringLiteral("PoStringNotClosed"), QStringLiteral("PO syntax: a string without its closing quote")},
        {QStringLiteral("PoBadEscape"), QStringLiteral("PO syntax: unknown escape sequence \"%s\"")},
        {QStringLiteral("PoTextAfterString"), QStringLiteral("PO syntax: text after the closing quote")},
        {QStringLiteral("PoMisplacedKeyword"), QStringLiteral("PO syntax: %s in the wrong place")},
        {QStringLiteral("PoNoMsgid"), QStringLiteral("PO syntax: an entry without msgid")},
        {QStringLiteral("PoNoMsgstr"), QStringLiteral("PO syntax: an entry without msgstr")},
        {QStringLiteral("PoCommentInEntry"), QStringLiteral("PO syntax: a comment inside an entry")},
        {QStringLiteral("PoPlural"), QStringLiteral("plural forms are not used in message files")},
        {QStringLiteral("PoNoCode"), QStringLiteral("the entry has no msgctxt giving its message code")},
        {QStringLiteral("PoCharset"), QStringLiteral("the file is in the character set %s; only UTF-8 is read")},
        {QStringLiteral("XliffNotWellFormed"), QStringLiteral("XML: %s")},
        {QStringLiteral("XliffNoSource"), QStringLiteral("the trans-unit %s has no source")},
        {QStringLiteral("XliffBadCharElement"), QStringLiteral("the element x of type %s stands for no character")},
        {QStringLiteral("CsvStrayQuote"), QStringLiteral("CSV: a quote inside a field that is not quoted")},
        {QStringLiteral("CsvQuoteOpen"), QStringLiteral("CSV: a quote opened here is never closed")},
        {QStringLiteral("CsvTextAfterQuote"), QStringLiteral("CSV: text after the closing quote of a field")},
        {QStringLiteral("CsvNoCodeColumn"), QStringLiteral("CSV: the header row has no column \"code\"")},
        {QStringLiteral("CsvNoTranslationColumn"), QStringLiteral("CSV: the header row has no column \"translation\"")},
        {QStringLiteral("CsvTooManyFields"), QStringLiteral("CSV: a row of %d fields under a header of %d")},
        {QStringLiteral("ReviewNoSignature"), QStringLiteral("the first line is not \"# Lexivane review marks\"")},
        {QStringLiteral("ReviewNoLineEnd"), QStringLiteral("the last line has no line end: the file was cut short")},
        {QStringLiteral("ReviewBadLine"), QStringLiteral("not a code, a blank and a text")},
        {QStringLiteral("ReviewCodeTwice"), QStringLiteral("the code %8.8x is marked twice")},
        {QStringLiteral("ReviewBadByte"), QStringLiteral("the byte %d is never written into a review file")},
        {QStringLiteral("ReviewBadEscape"), QStringLiteral("an unknown escape sequence")},
        {QStringLiteral("ReviewFileLine"), QStringLiteral("line %d: %s")},
        {QStringLiteral("ReviewFileDropped"), QStringLiteral("the review marks in %s are dropped: %s")},
        {QStringLiteral("ImportTooLong"), QStringLiteral("refused: %s characters in stored form; a message holds at most %d")},
        {QStringLiteral("ImportCharacterNotStored"), QStringLiteral("refused: the character \"%s\" cannot be stored in the ANSI code page (%s)")},
        {QStringLiteral("ImportUnknownCode"), QStringLiteral("unknown: no message has this code")},
        {QStringLiteral("ImportOtherOriginal"), QStringLiteral("made for another original: applied and marked for review")},
        {QStringLiteral("ImportPlaceholderProblem"), QStringLiteral("warning: %s; applied")},
        {QStringLiteral("ImportNote"), QStringLiteral("%s:%d: %s: %s")},
        {QStringLiteral("ImportSummary"), QStringLiteral("applied: %d, unchanged: %d, skipped: %d, refused: %d, unknown: %d")},
        {QStringLiteral("ExportSummary"), QStringLiteral("%s: %d messages, %d translated, %d to review")},
        {QStringLiteral("UpdateSummary"), QStringLiteral("carried: %d, needs review: %d, untranslated: %d, dropped: %d")},
        {QStringLiteral("ExchangeMalformedAt"), QStringLiteral("%s:%d:%d: %s")},
        {QStringLiteral("ExchangeMalformedLine"), QStringLiteral("%s:%d: %s")},
        {QStringLiteral("ExchangeUnknownFormat"), QStringLiteral("cannot tell the format of %s: its name must end in .po, .xlf, .xliff or .csv")},
        {QStringLiteral("UpdateNoOriginal"), QStringLiteral("%s has no initial backup %s, so nothing tells what was translated; give its original with --original")},
        {QStringLiteral("ToolOutputExists"), QStringLiteral("%s exists already; update never replaces a file")},
        {QStringLiteral("ToolCannotCreate"), QStringLiteral("Cannot create file %s")},
        {QStringLiteral("ToolWarning"), QStringLiteral("lexivane-msg: warning: %s")},
    };
    QString table;
    for (const auto &[key, value] : rows)
        table += key + QLatin1Char('=') + value + QLatin1Char('\n');
    return table;
}
