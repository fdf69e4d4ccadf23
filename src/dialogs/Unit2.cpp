#include "dialogs/Unit2.h"

#include "help/HelpUtils.h"
#include "platform/CodePages.h"
#include "settings/ConfigUtils.h"
#include "settings/FormPlacement.h"
#include "settings/QtFonts.h"
#include "translation/Placeholders.h"
#include "translation/TextDiff.h"
#include "uitext/DlgUtils.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <utility>

namespace {

// Design sizes, in pixels.
constexpr int DesignFontPixelSize = 13;
constexpr int DesignClientWidth = 492;
constexpr int DesignClientHeight = 273;
constexpr int DesignUpperPaneHeight = 124;
constexpr int BottomStripHeight = 30;
constexpr int SplitterWidth = 5;
// The least room on either side of the splitter, measured from its top edge:
// the upper pane, and the splitter with the lower pane.
constexpr int SplitterMinSize = 30;
// The caption strips above the two boxes, and the room left and right of
// their labels.
constexpr int TextCaptionHeight = 20;
constexpr int OriginalCaptionHeight = 16;
constexpr int CaptionMargin = 2;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
// The bottom strip: the count from its left edge, then the OEM area at
// x = StripLeftMargin + CountLabelWidth = 120, then the buttons.
constexpr int StripLeftMargin = 4;
constexpr int CountLabelWidth = 116;
constexpr QSize OemAreaSize(29, 14);
constexpr QMargins ButtonPanelMargins(6, 4, 4, 1);
constexpr int ButtonSpacing = 5;
// Where the hidden OEM check box and conversion button stand in the strip.
constexpr QPoint OemCheckPosition(102, 8);
constexpr QRect ConvertButtonGeometry(161, 4, ButtonWidth, ButtonHeight);

const QString PaneHeightIdent = QStringLiteral("Form2.Panel5.Height");

// The placeholder problem line, in the red of the grid's problem mark.
const QColor ProblemTextColor(200, 0, 0);
// What changed from the previous original to the original: the words added
// on green, the words dropped on red.
const QColor AddedColor(190, 240, 190);
const QColor RemovedColor(250, 200, 200);

template <typename T>
T *Named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

QWidget *NewPanel(QWidget *parent, const char *name)
{
    return Named(new QWidget(parent), name);
}

// A strip of fixed height holding one label at its left edge.
QLabel *NewCaptionStrip(QWidget *strip, int height, const char *labelName, const QString &text)
{
    strip->setFixedHeight(height);
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(CaptionMargin, 0, CaptionMargin, 0);
    auto *label = Named(new QLabel(text, strip), labelName);
    layout->addWidget(label, 0, Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QPlainTextEdit *NewMemo(QWidget *parent, const char *name)
{
    auto *memo = Named(new QPlainTextEdit(parent), name);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setTabChangesFocus(true);
    return memo;
}

// A button of the bottom strip: design size, reached by the mouse only.
QPushButton *NewButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = Named(new QPushButton(text, parent), name);
    button->setMinimumSize(ButtonWidth, ButtonHeight);
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAutoDefault(false);
    return button;
}

void ApplyFont(QPlainTextEdit *memo, const TFontRecord &font)
{
    memo->setFont(ToQFont(font));
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Text, ToQColor(font.Color));
    memo->setPalette(palette);
}

QString DisplayText(const QByteArray &stored, bool oem)
{
    return oem ? OemToUnicode(stored) : AnsiToUnicode(stored);
}

bool EncodeStored(const QString &characters, bool oem, QByteArray &stored, qsizetype *badPosition)
{
    return oem ? UnicodeToOem(characters, stored, badPosition) : UnicodeToAnsi(characters, stored, badPosition);
}

// Characters, a surrogate pair counting once: each takes one byte when stored.
qsizetype CharacterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

QString WithLineFeeds(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text.at(i);
        if (character == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            result += QLatin1Char('\n');
        } else if (character == QChar::ParagraphSeparator || character == QChar::LineSeparator) {
            result += QLatin1Char('\n');
        } else {
            result += character;
        }
    }
    return result;
}

TOemToggleArea::TOemToggleArea(QWidget *parent)
    : QWidget(parent)
{
}

void TOemToggleArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void TOemToggleArea::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (clicked)
        emit Click();
}

void TOemToggleArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    // The release that ends a double click is no click of its own.
    m_pressed = false;
    emit DblClick();
}

template <typename Handler>
void TForm2::Guarded(Handler &&handler)
{
    try {
        handler();
    } catch (...) {
        if (!m_pendingError)
            m_pendingError = std::current_exception();
        if (isVisible())
            QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
}

TForm2::TForm2(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    QFont designFont(QStringLiteral("Arial"));
    designFont.setPixelSize(DesignFontPixelSize);
    setFont(designFont);
    CreateComponents();
    SetHelpContext(this, OwnHelpTopic);
    resize(DesignClientWidth, DesignClientHeight);
}

void TForm2::CreateComponents()
{
    auto *formLayout = new QVBoxLayout(this);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->setSpacing(0);

    // The two panes, one above the other, with the splitter between them.
    Panel4 = NewPanel(this, "Panel4");
    formLayout->addWidget(Panel4, 1);
    auto *panesLayout = new QVBoxLayout(Panel4);
    panesLayout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = Named(new QSplitter(Qt::Vertical, Panel4), "Splitter1");
    Splitter1->setHandleWidth(SplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    panesLayout->addWidget(Splitter1);

    Panel5 = NewPanel(Splitter1, "Panel5");
    Panel5->setMinimumHeight(SplitterMinSize);
    auto *upperLayout = new QVBoxLayout(Panel5);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    Panel6 = NewPanel(Panel5, "Panel6");
    TextLabel = NewCaptionStrip(Panel6, TextCaptionHeight, "TextLabel", QStringLiteral("Message text"));
    Memo1 = NewMemo(Panel5, "Memo1");
    // The placeholder problem of the text as it is typed, or nothing.
    ProblemLabel = Named(new QLabel(Panel5), "ProblemLabel");
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setContentsMargins(2, 1, 2, 1);
    QPalette problemPalette = ProblemLabel->palette();
    problemPalette.setColor(QPalette::WindowText, ProblemTextColor);
    ProblemLabel->setPalette(problemPalette);
    upperLayout->addWidget(Panel6);
    upperLayout->addWidget(Memo1, 1);
    upperLayout->addWidget(ProblemLabel);

    Panel7 = NewPanel(Splitter1, "Panel7");
    Panel7->setMinimumHeight(SplitterMinSize - SplitterWidth);
    auto *lowerLayout = new QVBoxLayout(Panel7);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    Panel8 = NewPanel(Panel7, "Panel8");
    OrigLabel = NewCaptionStrip(Panel8, OriginalCaptionHeight, "OrigLabel", QStringLiteral("Original text"));
    Memo2 = NewMemo(Panel7, "Memo2");
    Memo2->setReadOnly(true);
    Memo2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A message to review: the original its translation was made for, under
    // the original, with what changed marked in both.
    Panel9 = NewPanel(Panel7, "Panel9");
    PrevOrigLabel = NewCaptionStrip(Panel9, OriginalCaptionHeight, "PrevOrigLabel",
                                    QStringLiteral("Previous original text"));
    Memo3 = NewMemo(Panel7, "Memo3");
    Memo3->setReadOnly(true);
    Memo3->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lowerLayout->addWidget(Panel8);
    lowerLayout->addWidget(Memo2, 1);
    lowerLayout->addWidget(Panel9);
    lowerLayout->addWidget(Memo3, 1);

    Splitter1->addWidget(Panel5);
    Splitter1->addWidget(Panel7);
    // Like a pane aligned to the top: the upper pane keeps its height when
    // the window is resized, the lower one takes the rest.
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({DesignUpperPaneHeight, DesignClientHeight - BottomStripHeight - SplitterWidth - DesignUpperPaneHeight});

    // The bottom strip: the count, the unmarked OEM area and the buttons.
    Panel1 = NewPanel(this, "Panel1");
    Panel1->setFixedHeight(BottomStripHeight);
    formLayout->addWidget(Panel1);
    auto *stripLayout = new QHBoxLayout(Panel1);
    stripLayout->setContentsMargins(StripLeftMargin, 0, 0, 0);
    stripLayout->setSpacing(0);
    CCountLabel = Named(new QLabel(Panel1), "CCountLabel");
    CCountLabel->setMinimumWidth(CountLabelWidth);
    stripLayout->addWidget(CCountLabel);
    Panel3 = Named(new TOemToggleArea(Panel1), "Panel3");
    Panel3->setFixedSize(OemAreaSize);
    stripLayout->addWidget(Panel3);
    stripLayout->addStretch(1);

    Panel2 = NewPanel(Panel1, "Panel2");
    stripLayout->addWidget(Panel2);
    auto *buttonLayout = new QHBoxLayout(Panel2);
    buttonLayout->setContentsMargins(ButtonPanelMargins);
    buttonLayout->setSpacing(ButtonSpacing);
    btnOK = NewButton(Panel2, "btnOK", QStringLiteral("OK"));
    btnOK->setDefault(true);
    Button2 = NewButton(Panel2, "Button2", QStringLiteral("Cancel"));
    Button3 = NewButton(Panel2, "Button3", QStringLiteral("&Help"));
    buttonLayout->addWidget(btnOK);
    buttonLayout->addWidget(Button2);
    buttonLayout->addWidget(Button3);

    // Never shown: the OEM state, the area's caption and the conversion
    // button, which no command reaches.
    OEMCheck = Named(new QCheckBox(QStringLiteral("OEM"), Panel1), "OEMCheck");
    OEMCheck->move(OemCheckPosition);
    OEMCheck->setVisible(false);
    Label1 = Named(new QLabel(QStringLiteral("&OEM"), Panel3), "Label1");
    Label1->setVisible(false);
    Button1 = Named(new QPushButton(QStringLiteral("Convert..."), Panel1), "Button1");
    Button1->setGeometry(ConvertButtonGeometry);
    Button1->setFocusPolicy(Qt::NoFocus);
    Button1->setAutoDefault(false);
    Button1->setVisible(false);

    ContextHelp1 = new TContextHelp(this);

    connect(btnOK, &QPushButton::clicked, this, &TForm2::accept);
    connect(Button2, &QPushButton::clicked, this, &TForm2::reject);
    connect(Button3, &QPushButton::clicked, this, [this] { Guarded([this] { ContextHelp1->ShowFormHelp(this); }); });
    connect(Panel3, &TOemToggleArea::Click, this, &TForm2::Panel3Click);
    connect(Panel3, &TOemToggleArea::DblClick, this, &TForm2::Panel3Click);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TForm2::UpdateCharCount);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TForm2::UpdateProblemLine);
    Memo1->installEventFilter(this);
}

void TForm2::SetEditFonts(const TFontRecord &text, const TFontRecord &original)
{
    m_textFont = text;
    m_originalFont = original;
}

bool TForm2::EditText(QByteArray &text, const QByteArray &original, bool &oem,
                      const std::optional<QByteArray> &previousOriginal)
{
    // Only the state: nothing is focused while the dialog is hidden.
    OEMCheck->setChecked(oem);
    Memo1->setPlainText(DisplayText(text, oem));
    Memo2->setPlainText(DisplayText(original, oem));
    ShowPreviousOriginal(previousOriginal ? std::optional<QString>(DisplayText(*previousOriginal, oem)) : std::nullopt);
    m_givenText = text;
    m_givenOem = oem;
    m_givenOriginal = original;
    UpdateProblemLine();
    m_acceptedText.clear();
    m_pendingError = nullptr;

    const int result = exec();
    if (m_pendingError)
        std::rethrow_exception(std::exchange(m_pendingError, nullptr));
    if (result != QDialog::Accepted)
        return false;
    text = m_acceptedText;
    oem = OEMCheck->isChecked();
    return true;
}

QString TForm2::StoredCharacters() const
{
    // The raw text keeps every character as typed; toPlainText() would turn
    // no-break spaces into blanks.
    return WithLineFeeds(Memo1->document()->toRawText());
}

bool TForm2::GetStoredText(QByteArray &stored, qsizetype *badPosition) const
{
    return EncodeStored(StoredCharacters(), OEMCheck->isChecked(), stored, badPosition);
}

void TForm2::UpdateCharCount()
{
    const qsizetype count = CharacterCount(StoredCharacters());
    CCountLabel->setText(Format(QStringLiteral("%s: %d"), {GetMsg(QStringLiteral("CCountLabel")), count}));
}

QString TForm2::PlaceholderProblem() const
{
    // Placeholders are ASCII: a character the code page lacks (refused on
    // OK) cannot hide or make one.
    QByteArray stored;
    if (!GetStoredText(stored))
        stored = StoredCharacters().toLatin1();
    return DescribePlaceholderProblem(FindPlaceholderProblem(m_givenOriginal, stored));
}

void TForm2::UpdateProblemLine()
{
    ProblemLabel->setText(PlaceholderProblem());
}

void TForm2::accept()
{
    Guarded([this] {
        QByteArray stored;
        qsizetype badPosition = -1;
        if (!GetStoredText(stored, &badPosition)) {
            RefuseCharacter(StoredCharacters(), badPosition);
            return;
        }
        // The limit is for what the user changes: a text loaded longer than
        // it (the file allows 1016 bytes) can still be confirmed as it is.
        const bool unchanged = stored == m_givenText && OEMCheck->isChecked() == m_givenOem;
        if (!unchanged && stored.size() > MaxEditTextLength) {
            ShowErrorMsg(QStringLiteral("TextTooLarge"));
            return;
        }
        const QString problem = DescribePlaceholderProblem(FindPlaceholderProblem(m_givenOriginal, stored));
        if (!unchanged && !problem.isEmpty() && !ConfirmMsgFmt(QStringLiteral("ConfirmPlaceholders"), {problem})) {
            Memo1->setFocus();
            return;
        }
        m_acceptedText = stored;
        QDialog::accept();
    });
}

void TForm2::RefuseCharacter(const QString &characters, qsizetype position)
{
    const bool pair = characters.at(position).isHighSurrogate() && position + 1 < characters.size()
        && characters.at(position + 1).isLowSurrogate();
    const QString character = characters.mid(position, pair ? 2 : 1);
    const CodePageNames pages = CurrentCodePages();
    ShowErrorMsg(QStringLiteral("CharNotInCodePage"), {character, OEMCheck->isChecked() ? pages.Oem : pages.Ansi});

    // Every character before it could be stored, so its first occurrence in
    // the box is the one refused.
    const qsizetype at = Memo1->document()->toRawText().indexOf(character);
    if (at < 0)
        return;
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(int(at));
    cursor.setPosition(int(at + character.size()), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    Memo1->setFocus();
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Guarded([this] { FormShow(); });
}

void TForm2::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    Guarded([this] { FormHide(); });
}

void TForm2::FormShow()
{
    setWindowTitle(GetMsg(QStringLiteral("EditTextTitle")));
    ApplyMemoFonts();
    Memo1->setFocus();
    CenterForm(*this);
    TrySettings([this] { RestoreFormPlacement(*this); });
    int stored = UpperPaneHeight();
    TrySettings([&stored] { stored = AppIni().ReadInteger(LastSection, PaneHeightIdent, stored); });
    SetUpperPaneHeight(qMin(stored, Panel4->height() - SplitterMinSize));
    QTextCursor cursor = Memo1->textCursor();
    cursor.movePosition(QTextCursor::Start);
    Memo1->setTextCursor(cursor);
    UpdateCharCount();
}

void TForm2::FormHide()
{
    TrySettings([this] { SaveFormPlacement(*this); });
    TrySettings([this] { AppIni().WriteInteger(LastSection, PaneHeightIdent, UpperPaneHeight()); });
}

int TForm2::UpperPaneHeight() const
{
    return Panel5->height();
}

void TForm2::SetUpperPaneHeight(int height)
{
    const int room = Splitter1->height() - Splitter1->handleWidth();
    Splitter1->setSizes({height, room - height});
}

void TForm2::ShowPreviousOriginal(const std::optional<QString> &previous)
{
    Panel9->setVisible(previous.has_value());
    Memo3->setVisible(previous.has_value());
    Memo2->setExtraSelections({});
    if (!previous) {
        Memo3->clear();
        return;
    }
    Memo3->setPlainText(*previous);
    // The document's own text, in which a line break is one character as in
    // the strings compared.
    const TTextDiff diff = DiffWords(Memo3->document()->toRawText(), Memo2->document()->toRawText());
    const auto marks = [](QPlainTextEdit *memo, const QList<TTextRange> &ranges, const QColor &colour) {
        QList<QTextEdit::ExtraSelection> selections;
        for (const TTextRange &range : ranges) {
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(memo->document());
            selection.cursor.setPosition(int(range.Start));
            selection.cursor.setPosition(int(range.Start + range.Length), QTextCursor::KeepAnchor);
            selection.format.setBackground(colour);
            selections.append(selection);
        }
        memo->setExtraSelections(selections);
    };
    marks(Memo2, diff.Added, AddedColor);
    marks(Memo3, diff.Removed, RemovedColor);
}

void TForm2::ApplyMemoFonts()
{
    ApplyFont(Memo1, m_textFont);
    ApplyFont(Memo2, m_originalFont);
    ApplyFont(Memo3, m_originalFont);
}

void TForm2::Panel3Click()
{
    // Only the code page of the stored form changes: the characters shown
    // stay, and so does their count.
    OEMCheck->setChecked(!OEMCheck->isChecked());
    ApplyMemoFonts();
    Memo1->setFocus();
}

void TForm2::ToggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TForm2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        ToggleMaximized();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Enter in the text box means OK; Ctrl+Enter breaks the line, as it does in
// an edit box that does not take Enter.
bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Memo1 || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (!IsEnterKey(key->key()))
        return QDialog::eventFilter(watched, event);
    if (key->modifiers() & Qt::ControlModifier)
        Memo1->insertPlainText(QStringLiteral("\n"));
    else
        btnOK->click();
    return true;
}
