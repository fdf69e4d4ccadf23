// Message boxes as the core decides them: title, buttons and their order,
// default button and Escape answer of every kind of box, and the operations
// that show them, answered through the scripted presenter.

#include "support/ScriptedMessageBoxes.h"
#include "uitext/DlgUtils.h"
#include "uitext/LangUtils.h"
#include "uitext/SupportAddresses.h"

#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

using FormatArgs = QList<FormatArg>;
Q_DECLARE_METATYPE(FormatArg)
Q_DECLARE_METATYPE(FormatArgs)
Q_DECLARE_METATYPE(TMsgDlgType)

namespace {

const QList<QPair<QString, TMsgDlgBtn>> kButtonNames{
    {"Yes", TMsgDlgBtn::mbYes}, {"No", TMsgDlgBtn::mbNo}, {"OK", TMsgDlgBtn::mbOK}, {"Cancel", TMsgDlgBtn::mbCancel}};

const QList<QPair<QString, TModalResult>> kResultNames{{"Yes", TModalResult::mrYes},
                                                       {"No", TModalResult::mrNo},
                                                       {"OK", TModalResult::mrOK},
                                                       {"Cancel", TModalResult::mrCancel}};

// The set a caller writes as "Cancel No Yes", or-ed together in that order.
TMsgDlgButtons ButtonsNamed(const QString &names)
{
    TMsgDlgButtons buttons;
    for (const QString &name : names.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (const auto &[known, button] : kButtonNames) {
            if (known == name)
                buttons |= button;
        }
    }
    return buttons;
}

QString NameOf(TMsgDlgBtn button)
{
    for (const auto &[name, known] : kButtonNames) {
        if (known == button)
            return name;
    }
    return QStringLiteral("?");
}

QString NameOf(TModalResult result)
{
    for (const auto &[name, known] : kResultNames) {
        if (known == result)
            return name;
    }
    return QStringLiteral("?");
}

TModalResult ResultNamed(const QString &name)
{
    for (const auto &[known, result] : kResultNames) {
        if (known == name)
            return result;
    }
    qFatal("unknown answer %s", qPrintable(name));
}

QString OrderOf(const TMessageBoxRequest &request)
{
    QStringList names;
    for (TMsgDlgBtn button : request.ButtonOrder)
        names.append(NameOf(button));
    return names.join(QLatin1Char(' '));
}

QString DefaultOf(const TMessageBoxRequest &request)
{
    return request.DefaultButton ? NameOf(*request.DefaultButton) : QString();
}

QString EscapeOf(const TMessageBoxRequest &request)
{
    return request.EscapeResult ? NameOf(*request.EscapeResult) : QString();
}

// The message of the exception Action raises, or a note that it raised none
// (or another class).
template <typename E, typename Action>
QString RaisedMessage(Action action)
{
    try {
        action();
    } catch (const E &error) {
        return error.Message();
    } catch (...) {
        return QStringLiteral("<another exception>");
    }
    return QStringLiteral("<no exception>");
}

} // namespace

class tst_DlgUtils : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titles_data();
    void titles();
    void derivedFacts_data();
    void derivedFacts();
    void noButtonsRaises_data();
    void noButtonsRaises();
    void noPresenterRaises_data();
    void noPresenterRaises();
    void answers_data();
    void answers();
    void showErrorFmt_data();
    void showErrorFmt();
    void showErrorMsg_data();
    void showErrorMsg();
    void formatErrorRaises_data();
    void formatErrorRaises();
    void showInfo_data();
    void showInfo();
    void confirmMsg_data();
    void confirmMsg();
    void scriptedAnswers();
    void supportAddresses();

private:
    static void setTable(const QStringList &keys, const QStringList &values);
};

void tst_DlgUtils::setTable(const QStringList &keys, const QStringList &values)
{
    CurrentKeys() = keys;
    CurrentValues() = values;
}

void tst_DlgUtils::init()
{
    setTable({}, {});
    QCOMPARE(MessageBoxPresenter(), nullptr);
}

void tst_DlgUtils::cleanup()
{
    setTable({}, {});
    SetMessageBoxPresenter(nullptr);
}

void tst_DlgUtils::titles_data()
{
    QTest::addColumn<TMsgDlgType>("kind");
    QTest::addColumn<QString>("title");
    QTest::newRow("error") << TMsgDlgType::mtError << "Error";
    QTest::newRow("information") << TMsgDlgType::mtInformation << "Information";
    QTest::newRow("confirmation") << TMsgDlgType::mtConfirmation << "Confirm";
    QTest::newRow("warning") << TMsgDlgType::mtWarning << "Warning";
}

// The title follows the kind alone, whatever the buttons.
void tst_DlgUtils::titles()
{
    QFETCH(TMsgDlgType, kind);
    QFETCH(QString, title);
    ScriptedMessageBoxes boxes;
    for (const char *buttons : {"OK", "Yes No", "Yes No Cancel", "Cancel"}) {
        ShowMessageBox(QStringLiteral("text"), kind, ButtonsNamed(buttons));
        QCOMPARE(boxes.Last().Title, title);
        QCOMPARE(boxes.Last().Kind, kind);
        QCOMPARE(MessageBoxTitle(kind), title);
    }
}

void tst_DlgUtils::derivedFacts_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<QString>("escape");

    // The boxes the program shows.
    QTest::newRow("error, OK") << "OK" << "OK" << "OK" << "OK";
    QTest::newRow("confirmation, Yes and No") << "Yes No" << "Yes No" << "Yes" << "No";
    QTest::newRow("three-way confirmation") << "Yes No Cancel" << "Yes No Cancel" << "Yes" << "Cancel";

    // Callers naming the buttons in another order get the same box.
    QTest::newRow("No Yes") << "No Yes" << "Yes No" << "Yes" << "No";
    QTest::newRow("Cancel No Yes") << "Cancel No Yes" << "Yes No Cancel" << "Yes" << "Cancel";
    QTest::newRow("No Cancel Yes") << "No Cancel Yes" << "Yes No Cancel" << "Yes" << "Cancel";
    QTest::newRow("Cancel OK") << "Cancel OK" << "OK Cancel" << "OK" << "Cancel";
    QTest::newRow("Cancel OK No Yes") << "Cancel OK No Yes" << "Yes No OK Cancel" << "OK" << "Cancel";
    QTest::newRow("named twice") << "No Yes No" << "Yes No" << "Yes" << "No";

    // Every other set: OK is the default over Yes; Escape prefers Cancel,
    // then No, then OK, and does nothing in a box with none of them.
    QTest::newRow("Yes") << "Yes" << "Yes" << "Yes" << "";
    QTest::newRow("No") << "No" << "No" << "" << "No";
    QTest::newRow("Cancel") << "Cancel" << "Cancel" << "" << "Cancel";
    QTest::newRow("OK Yes") << "OK Yes" << "Yes OK" << "OK" << "OK";
    QTest::newRow("No OK") << "No OK" << "No OK" << "OK" << "No";
    QTest::newRow("Cancel Yes") << "Cancel Yes" << "Yes Cancel" << "Yes" << "Cancel";
    QTest::newRow("Cancel No") << "Cancel No" << "No Cancel" << "" << "Cancel";
    QTest::newRow("OK No Yes") << "OK No Yes" << "Yes No OK" << "OK" << "No";
    QTest::newRow("Cancel OK Yes") << "Cancel OK Yes" << "Yes OK Cancel" << "OK" << "Cancel";
    QTest::newRow("Cancel OK No") << "Cancel OK No" << "No OK Cancel" << "OK" << "Cancel";
}

// What every presenter is told: checked both as decided and as it reaches
// the presenter through ShowMessageBox.
void tst_DlgUtils::derivedFacts()
{
    QFETCH(QString, named);
    QFETCH(QString, order);
    QFETCH(QString, defaultButton);
    QFETCH(QString, escape);

    const TMsgDlgButtons buttons = ButtonsNamed(named);
    const QString text = QStringLiteral("Line one\rLine two");
    const TMessageBoxRequest made = MakeMessageBoxRequest(text, TMsgDlgType::mtConfirmation, buttons);

    ScriptedMessageBoxes boxes;
    boxes.SetDefaultAnswer(TModalResult::mrCancel);
    ShowMessageBox(text, TMsgDlgType::mtConfirmation, buttons);
    QCOMPARE(boxes.Count(), 1);

    for (const TMessageBoxRequest &request : {made, boxes.Last()}) {
        QCOMPARE(OrderOf(request), order);
        QCOMPARE(DefaultOf(request), defaultButton);
        QCOMPARE(EscapeOf(request), escape);
        QCOMPARE(request.Buttons, buttons);
        QCOMPARE(request.Text, text);
        QCOMPARE(request.Title, QStringLiteral("Confirm"));
    }
}

void tst_DlgUtils::noButtonsRaises_data()
{
    QTest::addColumn<int>("buttons");
    QTest::newRow("empty set") << 0;
    QTest::newRow("a bit that is no button") << 0x10;
    QTest::newRow("OK with a bit that is no button") << (int(TMsgDlgBtn::mbOK) | 0x40);
}

// A box no button could close is the caller's mistake, told before anything
// is shown.
void tst_DlgUtils::noButtonsRaises()
{
    QFETCH(int, buttons);
    const TMsgDlgButtons set = TMsgDlgButtons::fromInt(buttons);
    ScriptedMessageBoxes boxes;
    const QString made = RaisedMessage<EMessageBoxError>(
        [&] { (void)MakeMessageBoxRequest("text", TMsgDlgType::mtError, set); });
    QVERIFY2(made.contains("button"), qPrintable(made));
    const QString shown =
        RaisedMessage<EMessageBoxError>([&] { ShowMessageBox("text", TMsgDlgType::mtError, set); });
    QCOMPARE(shown, made);
    QCOMPARE(boxes.Count(), 0);
}

void tst_DlgUtils::noPresenterRaises_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("ShowMessageBox") << "ShowMessageBox";
    QTest::newRow("ShowErrorFmt") << "ShowErrorFmt";
    QTest::newRow("ShowErrorMsg") << "ShowErrorMsg";
    QTest::newRow("ShowInfo") << "ShowInfo";
    QTest::newRow("ConfirmMsg") << "ConfirmMsg";
}

void tst_DlgUtils::noPresenterRaises()
{
    QFETCH(QString, operation);
    const QString text = QStringLiteral("Unshown text");
    const auto show = [&] {
        if (operation == "ShowMessageBox")
            ShowMessageBox(text, TMsgDlgType::mtWarning, TMsgDlgBtn::mbOK);
        else if (operation == "ShowErrorFmt")
            ShowErrorFmt(text);
        else if (operation == "ShowErrorMsg")
            ShowErrorMsg(text);
        else if (operation == "ShowInfo")
            ShowInfo(text);
        else if (operation == "ConfirmMsg")
            (void)ConfirmMsg(text);
    };

    // A presenter that was plugged in and has gone leaves none behind.
    {
        ScriptedMessageBoxes boxes;
        show();
        QCOMPARE(boxes.Count(), 1);
    }
    QCOMPARE(MessageBoxPresenter(), nullptr);

    const QString message = RaisedMessage<EMessageBoxError>(show);
    QVERIFY2(message.contains("presenter"), qPrintable(message));
    QVERIFY2(message.contains(text), qPrintable(message));
}

void tst_DlgUtils::answers_data()
{
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("possible");

    QTest::newRow("OK box, OK") << "OK" << "OK" << true;
    QTest::newRow("OK box, closed") << "OK" << "Cancel" << true;
    QTest::newRow("OK box, Yes") << "OK" << "Yes" << false;
    QTest::newRow("Yes/No, Yes") << "Yes No" << "Yes" << true;
    QTest::newRow("Yes/No, No") << "Yes No" << "No" << true;
    QTest::newRow("Yes/No, closed") << "Yes No" << "Cancel" << true;
    QTest::newRow("Yes/No, OK") << "Yes No" << "OK" << false;
    QTest::newRow("three-way, Cancel") << "Yes No Cancel" << "Cancel" << true;
    QTest::newRow("three-way, No") << "Yes No Cancel" << "No" << true;
    QTest::newRow("three-way, OK") << "Yes No Cancel" << "OK" << false;
    QTest::newRow("Yes alone, No") << "Yes" << "No" << false;
}

// ShowMessageBox answers with the presenter's answer; an answer that none of
// the box's buttons gives (Cancel, from the close box, every box can give)
// is a broken presenter, and raises.
void tst_DlgUtils::answers()
{
    QFETCH(QString, buttons);
    QFETCH(QString, answer);
    QFETCH(bool, possible);

    ScriptedMessageBoxes boxes;
    boxes.Answer(ResultNamed(answer));
    const TMsgDlgButtons set = ButtonsNamed(buttons);
    QCOMPARE(IsPossibleAnswer(MakeMessageBoxRequest("?", TMsgDlgType::mtConfirmation, set), ResultNamed(answer)),
             possible);
    if (possible) {
        QCOMPARE(NameOf(ShowMessageBox("?", TMsgDlgType::mtConfirmation, set)), answer);
        return;
    }
    const QString message =
        RaisedMessage<EMessageBoxError>([&] { ShowMessageBox("?", TMsgDlgType::mtConfirmation, set); });
    QVERIFY2(message.contains(answer), qPrintable(message));
    QCOMPARE(boxes.Count(), 1);
}

void tst_DlgUtils::showErrorFmt_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<FormatArgs>("args");
    QTest::addColumn<QString>("shown");

    QTest::newRow("no directive") << "Plain 100 text" << FormatArgs{} << "Plain 100 text";
    QTest::newRow("string") << "Can't open web-site \"%s\"." << FormatArgs{"https://a.example/"}
                            << "Can't open web-site \"https://a.example/\".";
    QTest::newRow("two strings") << "Backup of \"%s\" is in \"%s\"" << FormatArgs{"a.msg", "a.~ms"}
                                 << "Backup of \"a.msg\" is in \"a.~ms\"";
    QTest::newRow("hexadecimal") << "Message %5.5x" << FormatArgs{0x2aU} << "Message 0002A";
    QTest::newRow("string and decimal") << "%s: %d" << FormatArgs{"Total chars", 17} << "Total chars: 17";
    QTest::newRow("arguments beyond the directives") << "only %s" << FormatArgs{"one", "two", 3} << "only one";
    QTest::newRow("percent sign") << "100%% done" << FormatArgs{} << "100% done";
    QTest::newRow("line breaks kept") << "Fatal:\r\r>> %s <<\r\rExits" << FormatArgs{"boom"}
                                      << "Fatal:\r\r>> boom <<\r\rExits";
    QTest::newRow("argument not formatted again") << "[%s]" << FormatArgs{"%d %s"} << "[%d %s]";
}

void tst_DlgUtils::showErrorFmt()
{
    QFETCH(QString, format);
    QFETCH(FormatArgs, args);
    QFETCH(QString, shown);

    ScriptedMessageBoxes boxes;
    ShowErrorFmt(format, args);
    QCOMPARE(boxes.Count(), 1);
    QCOMPARE(boxes.Last().Text, shown);
    QCOMPARE(boxes.Last().Kind, TMsgDlgType::mtError);
    QCOMPARE(boxes.Last().Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
    QCOMPARE(boxes.Last().Title, QStringLiteral("Error"));
}

void tst_DlgUtils::showErrorMsg_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<FormatArgs>("args");
    QTest::addColumn<QString>("shown");

    const FormatArgs file{"/data/x.msg"};
    QTest::newRow("row filled") << "LoadError" << file << "Error loading file \"/data/x.msg\"";
    QTest::newRow("key in another case") << "loaderror" << file << "Error loading file \"/data/x.msg\"";
    QTest::newRow("two arguments") << "LoadErrorDebug" << FormatArgs{"x.msg", "Stream read error"}
                                   << "Error loading file \"x.msg\"\r\r>> Stream read error <<";
    QTest::newRow("first of two rows") << "Twice" << FormatArgs{} << "first";
    QTest::newRow("row without arguments") << "NotFound" << FormatArgs{} << "Text not found!";
    QTest::newRow("empty row") << "Blank" << FormatArgs{} << "";
    QTest::newRow("missing key shows the key") << "ConfirmSave" << FormatArgs{} << "ConfirmSave";
    QTest::newRow("missing key with surplus argument") << "NoSuchKey" << file << "NoSuchKey";
    QTest::newRow("looked-up text passed as key")
        << "Error saving file \"%s\"" << file << "Error saving file \"/data/x.msg\"";
}

void tst_DlgUtils::showErrorMsg()
{
    QFETCH(QString, key);
    QFETCH(FormatArgs, args);
    QFETCH(QString, shown);

    setTable({"NotFound", "LoadError", "LoadErrorDebug", "Twice", "TWICE", "Blank"},
             {"Text not found!", "Error loading file \"%s\"", "Error loading file \"%s\"\r\r>> %s <<", "first",
              "second", ""});
    ScriptedMessageBoxes boxes;
    ShowErrorMsg(key, args);
    QCOMPARE(boxes.Count(), 1);
    QCOMPARE(boxes.Last().Text, shown);
    QCOMPARE(boxes.Last().Kind, TMsgDlgType::mtError);
    QCOMPARE(boxes.Last().Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
}

void tst_DlgUtils::formatErrorRaises_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QString>("textOrKey");
    QTest::addColumn<FormatArgs>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("ShowErrorFmt, argument missing")
        << false << "File \"%s\"" << FormatArgs{} << "No argument for format 'File \"%s\"'";
    QTest::newRow("ShowErrorFmt, second argument missing")
        << false << "%s and %s" << FormatArgs{"one"} << "No argument for format '%s and %s'";
    QTest::newRow("ShowErrorFmt, string for a number")
        << false << "%d items" << FormatArgs{"many"} << "Format '%d items' invalid or incompatible with argument";
    QTest::newRow("ShowErrorFmt, number for a string")
        << false << "%s" << FormatArgs{7} << "Format '%s' invalid or incompatible with argument";
    QTest::newRow("ShowErrorMsg, row's argument missing")
        << true << "SaveError" << FormatArgs{} << "No argument for format 'Error saving file \"%s\"'";
    QTest::newRow("ShowErrorMsg, row given a number")
        << true << "SaveError" << FormatArgs{12} << "Format 'Error saving file \"%s\"' invalid or incompatible with argument";
}

// A format error raises before any box is shown.
void tst_DlgUtils::formatErrorRaises()
{
    QFETCH(bool, byKey);
    QFETCH(QString, textOrKey);
    QFETCH(FormatArgs, args);
    QFETCH(QString, message);

    setTable({"SaveError"}, {"Error saving file \"%s\""});
    ScriptedMessageBoxes boxes;
    const QString raised = RaisedMessage<EConvertError>([&] {
        if (byKey)
            ShowErrorMsg(textOrKey, args);
        else
            ShowErrorFmt(textOrKey, args);
    });
    QCOMPARE(raised, message);
    QCOMPARE(boxes.Count(), 0);
}

void tst_DlgUtils::showInfo_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "Text not found!";
    QTest::newRow("directive shown as it stands") << "File \"%s\" at 100%";
    QTest::newRow("line breaks and marks") << "First\r\r>> Middle <<\r\rLast";
    QTest::newRow("a key is not looked up") << "NotFound";
    QTest::newRow("empty") << "";
}

void tst_DlgUtils::showInfo()
{
    QFETCH(QString, text);
    setTable({"NotFound"}, {"Text not found!"});
    ScriptedMessageBoxes boxes;
    ShowInfo(text);
    QCOMPARE(boxes.Count(), 1);
    QCOMPARE(boxes.Last().Text, text);
    QCOMPARE(boxes.Last().Kind, TMsgDlgType::mtInformation);
    QCOMPARE(boxes.Last().Title, QStringLiteral("Information"));
    QCOMPARE(OrderOf(boxes.Last()), QStringLiteral("OK"));
}

void tst_DlgUtils::confirmMsg_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("confirmed");

    const QString revert = QStringLiteral("Do you really want to revert to the saved file?");
    QTest::newRow("Yes") << "ConfirmRevertToSaved" << "Yes" << revert << true;
    QTest::newRow("No") << "ConfirmRevertToSaved" << "No" << revert << false;
    QTest::newRow("closed counts as No") << "ConfirmRevertToSaved" << "Cancel" << revert << false;
    QTest::newRow("row with a directive, unformatted") << "Odd" << "Yes" << "Revert \"%s\" %d?" << true;
    QTest::newRow("missing key shows the key") << "ConfirmRevertToBAK" << "Yes" << "ConfirmRevertToBAK" << true;
}

void tst_DlgUtils::confirmMsg()
{
    QFETCH(QString, key);
    QFETCH(QString, answer);
    QFETCH(QString, shown);
    QFETCH(bool, confirmed);

    setTable({"ConfirmRevertToSaved", "Odd"},
             {"Do you really want to revert to the saved file?", "Revert \"%s\" %d?"});
    ScriptedMessageBoxes boxes;
    boxes.Answer(ResultNamed(answer));
    QCOMPARE(ConfirmMsg(key), confirmed);
    QCOMPARE(boxes.Count(), 1);
    QCOMPARE(boxes.Last().Text, shown);
    QCOMPARE(boxes.Last().Kind, TMsgDlgType::mtConfirmation);
    QCOMPARE(OrderOf(boxes.Last()), QStringLiteral("Yes No"));
    QCOMPARE(EscapeOf(boxes.Last()), QStringLiteral("No"));
}

// The scripted presenter answers from its queue, then from its default
// answer, else as Enter would.
void tst_DlgUtils::scriptedAnswers()
{
    ScriptedMessageBoxes boxes;
    QCOMPARE(MessageBoxPresenter(), &boxes);
    const TMsgDlgButtons threeWay = TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo | TMsgDlgBtn::mbCancel;
    const TMsgDlgButtons noDefault = TMsgDlgBtn::mbNo | TMsgDlgBtn::mbCancel;

    boxes.Answer({TModalResult::mrNo, TModalResult::mrCancel});
    QCOMPARE(boxes.PendingAnswers(), 2);
    QCOMPARE(ShowMessageBox("1", TMsgDlgType::mtConfirmation, threeWay), TModalResult::mrNo);
    QCOMPARE(ShowMessageBox("2", TMsgDlgType::mtConfirmation, threeWay), TModalResult::mrCancel);
    QCOMPARE(boxes.PendingAnswers(), 0);
    QCOMPARE(ShowMessageBox("3", TMsgDlgType::mtConfirmation, threeWay), TModalResult::mrYes);
    QCOMPARE(ShowMessageBox("4", TMsgDlgType::mtError, TMsgDlgBtn::mbOK), TModalResult::mrOK);
    QCOMPARE(ShowMessageBox("5", TMsgDlgType::mtConfirmation, noDefault), TModalResult::mrCancel);
    boxes.SetDefaultAnswer(TModalResult::mrNo);
    QCOMPARE(ShowMessageBox("6", TMsgDlgType::mtConfirmation, threeWay), TModalResult::mrNo);

    QStringList texts;
    for (const TMessageBoxRequest &request : boxes.Requests())
        texts.append(request.Text);
    QCOMPARE(texts, QStringList({"1", "2", "3", "4", "5", "6"}));

    // A nested presenter hands back the one before it.
    {
        ScriptedMessageBoxes inner;
        ShowInfo("inner");
        QCOMPARE(inner.Count(), 1);
    }
    QCOMPARE(MessageBoxPresenter(), &boxes);
    QCOMPARE(boxes.Count(), 6);
    boxes.Clear();
    QCOMPARE(boxes.Count(), 0);
    QVERIFY_THROWS_EXCEPTION(Exception, boxes.Last());
}

// The addresses the error texts and the web-site command use.
void tst_DlgUtils::supportAddresses()
{
    const QRegularExpression mailbox(QStringLiteral("^[a-z0-9._-]+@([a-z0-9-]+\\.)+example$"));
    QVERIFY2(mailbox.match(QString::fromLatin1(SupportMailAddress)).hasMatch(), SupportMailAddress);
    const QUrl site(QString::fromLatin1(WebSiteAddress), QUrl::StrictMode);
    QVERIFY2(site.isValid(), WebSiteAddress);
    QCOMPARE(site.scheme(), QStringLiteral("https"));
    QVERIFY2(site.host().endsWith(QLatin1String(".example")), WebSiteAddress);
}

QTEST_GUILESS_MAIN(tst_DlgUtils)
#include "tst_dlgutils.moc"
