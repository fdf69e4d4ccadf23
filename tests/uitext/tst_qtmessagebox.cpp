// The Qt message box, driven as a user would: each test shows a real modal
// box through ShowMessageBox, and a timer finds the box, notes what it shows
// and presses a key or closes it.

#include "support/TestEnvironment.h"
#include "uitext/DlgUtils.h"
#include "uitext/QtMessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QtTest>

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(TMsgDlgType)

namespace {

TMsgDlgButtons ButtonsNamed(const QString &names)
{
    TMsgDlgButtons buttons;
    for (const QString &name : names.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (name == "Yes")
            buttons |= TMsgDlgBtn::mbYes;
        else if (name == "No")
            buttons |= TMsgDlgBtn::mbNo;
        else if (name == "OK")
            buttons |= TMsgDlgBtn::mbOK;
        else if (name == "Cancel")
            buttons |= TMsgDlgBtn::mbCancel;
        else
            qFatal("unknown button %s", qPrintable(name));
    }
    return buttons;
}

QString NameOf(TModalResult result)
{
    switch (result) {
    case TModalResult::mrYes:
        return "Yes";
    case TModalResult::mrNo:
        return "No";
    case TModalResult::mrOK:
        return "OK";
    case TModalResult::mrCancel:
        return "Cancel";
    }
    return "?";
}

QStyle::StandardPixmap IconNamed(const QString &name)
{
    if (name == "stop")
        return QStyle::SP_MessageBoxCritical;
    if (name == "information")
        return QStyle::SP_MessageBoxInformation;
    if (name == "question")
        return QStyle::SP_MessageBoxQuestion;
    return QStyle::SP_MessageBoxWarning;
}

// What the box showed while it was open.
struct BoxSeen
{
    bool seen = false;
    bool active = false;    // the box was the active window when acted on
    bool stillOpen = false; // the action did not close it
    QString title;
    Qt::WindowFlags flags;
    QStringList captions; // buttons, left to right
    QString defaultCaption;
    QString focusCaption;
    QString text;
    QSize labelSize;
    QSize textSize; // what the text needs, without the room the icon gives it
    int lineSpacing = 0;
    int fontHeight = 0;
    int widestLine = 0;
    int iconWidth = 0;
    QImage icon;
    QRect frame;
    QRect screen;
    QPointer<QWidget> box;
};

void NoteBox(QWidget *box, BoxSeen &seen)
{
    seen.seen = true;
    seen.box = box;
    seen.active = QApplication::activeWindow() == box;
    seen.title = box->windowTitle();
    seen.flags = box->windowFlags();
    QList<QPushButton *> buttons = box->findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton *a, QPushButton *b) { return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x(); });
    for (QPushButton *button : buttons) {
        if (!button->isVisible())
            continue;
        seen.captions.append(button->text());
        if (button->isDefault())
            seen.defaultCaption = button->text();
        if (box->focusWidget() == button)
            seen.focusCaption = button->text();
    }
    if (auto *label = box->findChild<QLabel *>("Message")) {
        seen.text = label->text();
        seen.labelSize = label->size();
        seen.textSize = label->sizeHint();
        const QFontMetrics metrics = label->fontMetrics();
        seen.lineSpacing = metrics.lineSpacing();
        seen.fontHeight = metrics.height();
        for (const QString &line : label->text().split('\n'))
            seen.widestLine = std::max(seen.widestLine, metrics.horizontalAdvance(line));
    }
    if (auto *image = box->findChild<QLabel *>("Image")) {
        seen.icon = image->pixmap().toImage();
        seen.iconWidth = image->width();
    }
    seen.frame = box->frameGeometry();
    seen.screen = box->screen()->geometry();
}

void Act(QWidget *box, const QString &action)
{
    QWidget *target = box->focusWidget() ? box->focusWidget() : box;
    if (action == "Enter")
        QTest::keyClick(target, Qt::Key_Return);
    else if (action == "keypad Enter")
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    else if (action == "Escape")
        QTest::keyClick(target, Qt::Key_Escape);
    else if (action == "Alt+Y")
        QTest::keyClick(target, Qt::Key_Y, Qt::AltModifier);
    else if (action == "Alt+N")
        QTest::keyClick(target, Qt::Key_N, Qt::AltModifier);
    else if (action.startsWith("letter ")) // "letter Y": the plain key; "letter Shift+Y", "letter Ctrl+Y"
        QTest::keyClick(target, QKeySequence(action.mid(7))[0].key(), QKeySequence(action.mid(7))[0].keyboardModifiers());
    else if (action.startsWith("click ")) {
        if (auto *button = box->findChild<QPushButton *>(action.mid(6)))
            QTest::mouseClick(button, Qt::LeftButton);
    } else if (action == "close box") {
        // What the window system sends when the user clicks the close box.
        QCloseEvent event;
        QCoreApplication::sendEvent(box->windowHandle(), &event);
    }
}

// Runs Show, which shows a modal box, and once the box is up notes it and
// acts on it. A box the action leaves open is closed with its close box a
// little later (and so answers Cancel), so that no test hangs.
template <typename Show>
auto DriveBox(const QString &action, BoxSeen &seen, Show show)
{
    QTimer poll;
    QTimer rescue;
    rescue.setSingleShot(true);
    int tries = 0;
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (!seen.box || !seen.box->isVisible())
            return;
        seen.stillOpen = true;
        Act(seen.box, QStringLiteral("close box"));
    });
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        // Activation comes from the window system; give it a moment.
        if (QApplication::activeWindow() != box && ++tries < 100)
            return;
        poll.stop();
        NoteBox(box, seen);
        Act(box, action);
        rescue.start(300);
    });
    poll.start(10);
    return show();
}

TModalResult ShowAndAct(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons, const QString &action,
                        BoxSeen &seen)
{
    return DriveBox(action, seen, [&] { return ShowMessageBox(text, kind, buttons); });
}

} // namespace

class tst_QtMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void looks_data();
    void looks();
    void answers_data();
    void answers();
    void confirmMsg_data();
    void confirmMsg();
    void lineBreaks_data();
    void lineBreaks();
    void wrapping_data();
    void wrapping();

private:
    std::unique_ptr<TestEnvironment> m_env;
    TQtMessageBoxPresenter m_presenter;
};

void tst_QtMessageBox::initTestCase()
{
    m_env = std::make_unique<TestEnvironment>();
    SetMessageBoxPresenter(&m_presenter);
}

void tst_QtMessageBox::cleanupTestCase()
{
    SetMessageBoxPresenter(nullptr);
    m_env.reset();
}

void tst_QtMessageBox::looks_data()
{
    QTest::addColumn<TMsgDlgType>("kind");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("defaultCaption");

    QTest::newRow("error, OK") << TMsgDlgType::mtError << "OK" << "Error" << "stop" << QStringList{"OK"} << "OK";
    QTest::newRow("information, OK") << TMsgDlgType::mtInformation << "OK" << "Information" << "information"
                                     << QStringList{"OK"} << "OK";
    QTest::newRow("confirmation, Yes and No") << TMsgDlgType::mtConfirmation << "No Yes" << "Confirm" << "question"
                                              << QStringList{"&Yes", "&No"} << "&Yes";
    QTest::newRow("three-way confirmation") << TMsgDlgType::mtConfirmation << "Cancel No Yes" << "Confirm"
                                            << "question" << QStringList{"&Yes", "&No", "&Cancel"} << "&Yes";
    QTest::newRow("error, Yes and No") << TMsgDlgType::mtError << "Yes No" << "Error" << "stop"
                                       << QStringList{"&Yes", "&No"} << "&Yes";
    QTest::newRow("warning, all four") << TMsgDlgType::mtWarning << "Cancel OK No Yes" << "Warning" << "warning"
                                       << QStringList{"&Yes", "&No", "OK", "&Cancel"} << "OK";
    // Without OK or Yes the first button has the focus, and so, as the
    // focused button of a dialog, is the one Enter presses.
    QTest::newRow("neither OK nor Yes") << TMsgDlgType::mtConfirmation << "Cancel No" << "Confirm" << "question"
                                        << QStringList{"&No", "&Cancel"} << "&No";
}

// Title, icon, buttons in their fixed order with their captions, the default
// button holding the focus, no Help button, the box centred on the screen.
void tst_QtMessageBox::looks()
{
    QFETCH(TMsgDlgType, kind);
    QFETCH(QString, buttons);
    QFETCH(QString, title);
    QFETCH(QString, icon);
    QFETCH(QStringList, captions);
    QFETCH(QString, defaultCaption);

    BoxSeen seen;
    const TModalResult answer = ShowAndAct("Something happened.", kind, ButtonsNamed(buttons), "close box", seen);
    QVERIFY(seen.seen);
    QCOMPARE(NameOf(answer), QStringLiteral("Cancel"));
    QVERIFY(!seen.stillOpen);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.captions, captions);
    QCOMPARE(seen.defaultCaption, defaultCaption);
    QCOMPARE(seen.focusCaption, defaultCaption);
    QVERIFY(!seen.flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(seen.text, QStringLiteral("Something happened."));

    // The kind's own icon, told apart from the other three.
    QStyle *style = QApplication::style();
    const int size = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
    QVERIFY(!seen.icon.isNull());
    for (const char *other : {"stop", "information", "question", "warning"}) {
        const QImage expected = style->standardIcon(IconNamed(other)).pixmap(size, size).toImage();
        QVERIFY2((seen.icon == expected) == (icon == QLatin1String(other)), other);
    }

    QVERIFY2(std::abs(seen.frame.center().x() - seen.screen.center().x()) <= 1,
             qPrintable(QStringLiteral("box at x %1, width %2").arg(seen.frame.x()).arg(seen.frame.width())));
    QVERIFY2(std::abs(seen.frame.center().y() - seen.screen.center().y()) <= 1,
             qPrintable(QStringLiteral("box at y %1, height %2").arg(seen.frame.y()).arg(seen.frame.height())));
}

void tst_QtMessageBox::answers_data()
{
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("stillOpen");

    QTest::newRow("OK: Enter") << "OK" << "Enter" << "OK" << false;
    QTest::newRow("OK: keypad Enter") << "OK" << "keypad Enter" << "OK" << false;
    QTest::newRow("OK: Escape") << "OK" << "Escape" << "OK" << false;
    QTest::newRow("OK: close box") << "OK" << "close box" << "Cancel" << false;

    QTest::newRow("Yes/No: Enter") << "Yes No" << "Enter" << "Yes" << false;
    QTest::newRow("Yes/No: Escape") << "Yes No" << "Escape" << "No" << false;
    QTest::newRow("Yes/No: Alt+N") << "Yes No" << "Alt+N" << "No" << false;
    QTest::newRow("Yes/No: Alt+Y") << "Yes No" << "Alt+Y" << "Yes" << false;
    QTest::newRow("Yes/No: click No") << "Yes No" << "click No" << "No" << false;
    QTest::newRow("Yes/No: close box") << "Yes No" << "close box" << "Cancel" << false;

    QTest::newRow("three-way: Enter") << "Yes No Cancel" << "Enter" << "Yes" << false;
    QTest::newRow("three-way: Escape") << "Yes No Cancel" << "Escape" << "Cancel" << false;
    QTest::newRow("three-way: Alt+N") << "Yes No Cancel" << "Alt+N" << "No" << false;
    QTest::newRow("three-way: click Cancel") << "Yes No Cancel" << "click Cancel" << "Cancel" << false;
    QTest::newRow("three-way: close box") << "Yes No Cancel" << "close box" << "Cancel" << false;

    QTest::newRow("all four: Enter") << "Yes No OK Cancel" << "Enter" << "OK" << false;
    QTest::newRow("all four: click Yes") << "Yes No OK Cancel" << "click Yes" << "Yes" << false;
    QTest::newRow("OK and No: Escape") << "OK No" << "Escape" << "No" << false;
    // Enter presses the button with the focus, the first, when none is default.
    QTest::newRow("No/Cancel: Enter") << "No Cancel" << "Enter" << "No" << false;
    // No button gives an Escape answer: Escape does nothing, the box stays
    // until its close box.
    QTest::newRow("Yes alone: Escape") << "Yes" << "Escape" << "Cancel" << true;
    QTest::newRow("Yes alone: Enter") << "Yes" << "Enter" << "Yes" << false;

    // A plain letter presses the button it underlines.
    QTest::newRow("Yes/No: N") << "Yes No" << "letter N" << "No" << false;
    QTest::newRow("Yes/No: Y") << "Yes No" << "letter Y" << "Yes" << false;
    QTest::newRow("Yes/No: Shift+N") << "Yes No" << "letter Shift+N" << "No" << false;
    QTest::newRow("three-way: C") << "Yes No Cancel" << "letter C" << "Cancel" << false;
    QTest::newRow("three-way: N") << "Yes No Cancel" << "letter N" << "No" << false;
    QTest::newRow("three-way: Alt+C") << "Yes No Cancel" << "letter Alt+C" << "Cancel" << false;
    // A letter no button underlines, or one with Ctrl, does nothing.
    QTest::newRow("Yes/No: X") << "Yes No" << "letter X" << "Cancel" << true;
    QTest::newRow("Yes/No: C, no Cancel button") << "Yes No" << "letter C" << "Cancel" << true;
    QTest::newRow("Yes/No: Ctrl+N") << "Yes No" << "letter Ctrl+N" << "Cancel" << true;
    QTest::newRow("OK: O, not underlined") << "OK" << "letter O" << "Cancel" << true;
}

void tst_QtMessageBox::answers()
{
    QFETCH(QString, buttons);
    QFETCH(QString, action);
    QFETCH(QString, answer);
    QFETCH(bool, stillOpen);

    BoxSeen seen;
    const TModalResult result =
        ShowAndAct("Question?", TMsgDlgType::mtConfirmation, ButtonsNamed(buttons), action, seen);
    QVERIFY(seen.seen);
    QVERIFY(seen.active);
    QCOMPARE(NameOf(result), answer);
    QCOMPARE(seen.stillOpen, stillOpen);
    QTRY_VERIFY(!seen.box); // gone once answered
}

void tst_QtMessageBox::confirmMsg_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("Enter") << "Enter" << true;
    QTest::newRow("Escape") << "Escape" << false;
    QTest::newRow("Alt+N") << "Alt+N" << false;
    QTest::newRow("close box") << "close box" << false;
}

// ConfirmMsg through the real box: only Yes confirms.
void tst_QtMessageBox::confirmMsg()
{
    QFETCH(QString, action);
    QFETCH(bool, confirmed);

    BoxSeen seen;
    const bool result =
        DriveBox(action, seen, [] { return ConfirmMsg("Do you really want to revert to the saved file?"); });
    QCOMPARE(result, confirmed);
    QVERIFY(!seen.stillOpen);
    QCOMPARE(seen.title, QStringLiteral("Confirm"));
    QCOMPARE(seen.captions, QStringList({"&Yes", "&No"}));
}

void tst_QtMessageBox::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("one line") << "A" << QStringList{"A"};
    QTest::newRow("CR") << "A\rB" << QStringList{"A", "B"};
    QTest::newRow("CR CR gives an empty line") << "A\r\rB" << QStringList{"A", "", "B"};
    QTest::newRow("CR LF is one break") << "A\r\nB" << QStringList{"A", "B"};
    QTest::newRow("CR LF twice") << "A\r\n\r\nB" << QStringList{"A", "", "B"};
    QTest::newRow("LF") << "A\nB" << QStringList{"A", "B"};
    QTest::newRow("three CRs") << "A\r\r\rB" << QStringList{"A", "", "", "B"};
    QTest::newRow("marks on a line of their own")
        << "Save now.\r\r>> But make a backup. <<\r\rCreate it?"
        << QStringList{"Save now.", "", ">> But make a backup. <<", "", "Create it?"};
    QTest::newRow("ampersand and tags as they stand") << "a & b <b>c</b>" << QStringList{"a & b <b>c</b>"};
}

// Each CR breaks the line; the empty lines take their room in the box.
void tst_QtMessageBox::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);

    BoxSeen seen;
    ShowAndAct(text, TMsgDlgType::mtInformation, TMsgDlgBtn::mbOK, "Enter", seen);
    QVERIFY(seen.seen);
    QCOMPARE(seen.text.split('\n'), lines);
    const int count = int(lines.size());
    const QString height = QStringLiteral("height %1 for %2 lines").arg(seen.textSize.height()).arg(count);
    QVERIFY2(seen.textSize.height() >= count * seen.fontHeight, qPrintable(height));
    QVERIFY2(seen.textSize.height() < (count + 1) * seen.lineSpacing, qPrintable(height));
    QVERIFY(seen.labelSize.height() >= seen.textSize.height());
}

void tst_QtMessageBox::wrapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wraps");

    QStringList words;
    for (int i = 0; i < 80; ++i)
        words.append(QStringLiteral("word%1").arg(i));
    QTest::newRow("short") << "Text not found!" << false;
    QTest::newRow("many words") << words.join(' ') << true;
    QTest::newRow("one long word") << QString(300, 'W') << true;
    QTest::newRow("long lines among short ones") << "Head\r\r" + words.join(' ') + "\r\rTail" << true;
    QTest::newRow("long word among words") << "Path: /" + QString(200, 'x') + "/file is missing" << true;
}

// No line is wider than half the screen, so the box is never wider than
// that plus its icon and margins; nothing of the text is lost on the way.
void tst_QtMessageBox::wrapping()
{
    QFETCH(QString, text);
    QFETCH(bool, wraps);

    BoxSeen seen;
    ShowAndAct(text, TMsgDlgType::mtError, TMsgDlgBtn::mbOK, "Enter", seen);
    QVERIFY(seen.seen);
    const int half = seen.screen.width() / 2;
    QVERIFY2(seen.widestLine <= half, qPrintable(QString::number(seen.widestLine)));
    QVERIFY2(seen.labelSize.width() <= half, qPrintable(QString::number(seen.labelSize.width())));
    QVERIFY2(seen.frame.width() <= half + seen.iconWidth + 60,
             qPrintable(QStringLiteral("box %1 wide, half the screen %2").arg(seen.frame.width()).arg(half)));

    const QStringList shownLines = seen.text.split('\n');
    const QStringList givenLines = MessageBoxDisplayText(text).split('\n');
    QCOMPARE(shownLines.size() > givenLines.size(), wraps);
    if (wraps)
        QVERIFY2(seen.widestLine > half * 3 / 4, "a wrapped text uses the room it has");
    else
        QVERIFY2(seen.labelSize.width() < half / 2, "a short text keeps the box narrow");
    auto withoutBlanks = [](QString s) { return s.remove(' ').remove('\n').remove('\r'); };
    QCOMPARE(withoutBlanks(seen.text), withoutBlanks(text));
}

QTEST_MAIN(tst_QtMessageBox)
#include "tst_qtmessagebox.moc"
