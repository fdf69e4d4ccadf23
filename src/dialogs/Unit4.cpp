#include "dialogs/Unit4.h"

#include "dialogs/FontDialogSeam.h"
#include "help/HelpUtils.h"
#include "settings/FormPlacement.h"
#include "settings/QtFonts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTextCursor>
#include <utility>

namespace {

// Design sizes, in pixels.
constexpr QSize kDesignClientSize(481, 190);
constexpr int kDesignFontPixelSize = 13;
constexpr QMargins kFormMargins(8, 5, 8, 10);
constexpr int kListWidth = 161;
constexpr int kItemHeight = 16;
constexpr int kButtonWidth = 81;

const char kSamplePhrase[] = "arithmetic exception, numeric overflow, or string truncation";
constexpr int kSampleRepeats = 30;
constexpr int kSampleLineWidth = 51;

QPushButton *MakeButton(QWidget *form, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, form);
    button->setObjectName(QLatin1String(name));
    button->setMinimumWidth(kButtonWidth);
    return button;
}

} // namespace

QStringList FontSampleLines()
{
    QStringList phrases;
    for (int i = 0; i < kSampleRepeats; ++i)
        phrases.append(QLatin1String(kSamplePhrase));
    const QStringList words = phrases.join(QLatin1Char(' ')).split(QLatin1Char(' '));

    // Each word keeps the blank after it; a line takes words while they fit.
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString piece = i + 1 < words.size() ? words.at(i) + QLatin1Char(' ') : words.at(i);
        if (!line.isEmpty() && line.size() + piece.size() > kSampleLineWidth) {
            lines.append(line);
            line.clear();
        }
        line += piece;
    }
    lines.append(line);
    lines << QString() << QStringLiteral(" ") << QString();
    return lines;
}

TForm4::TForm4(QWidget *parent)
    : QDialog(parent),
      Label1(new QLabel(QStringLiteral("&Font"), this)),
      Label2(new QLabel(QStringLiteral("&Sample"), this)),
      ListBox1(new QListWidget(this)),
      Memo1(new QPlainTextEdit(this)),
      Button1(MakeButton(this, "Button1", QStringLiteral("&Change..."))),
      Button2(MakeButton(this, "Button2", QStringLiteral("OK"))),
      Button3(MakeButton(this, "Button3", QStringLiteral("Cancel"))),
      Button4(MakeButton(this, "Button4", QStringLiteral("&Apply"))),
      Button5(MakeButton(this, "Button5", QStringLiteral("&Help"))),
      FontDialog1(new TFontDialog(this)),
      ContextHelp1(new TContextHelp(this))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Font setup"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kDesignFontPixelSize);
    setFont(font);
    SetHelpContext(this, OwnHelpTopic);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(ListBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setBuddy(Memo1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setFixedWidth(kListWidth);
    // Read-only, as a memo without returns and tabs: Enter reaches the
    // default button and Tab the next control.
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(FontSampleLines().join(QLatin1Char('\n')));
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));

    // Only OK is a default button; the others would otherwise take Enter
    // while they have the focus.
    for (QPushButton *button : {Button1, Button3, Button4, Button5})
        button->setAutoDefault(false);
    Button2->setDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(ListBox1, 1, 0);
    grid->addWidget(Memo1, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    for (QPushButton *button : {Button2, Button3, Button4, Button5})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kFormMargins);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    setTabOrder(ListBox1, Memo1);
    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Button5);

    // A fixed border at the design size, or larger where a bigger font needs it.
    setFixedSize(kDesignClientSize.expandedTo(minimumSizeHint()));

    // A click selects the row before it becomes the current one; the sample
    // follows whichever comes last.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TForm4::ShowSample);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TForm4::ShowSample);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm4::Button1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button4, &QPushButton::clicked, this, &TForm4::ApplyChanges);
    connect(Button5, &QPushButton::clicked, this, &TForm4::Button5Click);

    SetModified(false);
}

TForm4::~TForm4() = default;

void TForm4::AddFontSlot(const QString &title, TFontRecord *font)
{
    m_slots.append({title, font});
}

bool TForm4::ExecuteFontSetup()
{
    m_workingCopies.clear();
    for (const TFontSlot &slot : std::as_const(m_slots))
        m_workingCopies.append(*slot.Font);
    const auto dropCopies = qScopeGuard([this] { m_workingCopies.clear(); });

    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed)
        ApplyChanges();
    return confirmed;
}

void TForm4::ApplyChanges()
{
    const qsizetype count = qMin(m_slots.size(), m_workingCopies.size());
    for (qsizetype i = 0; i < count; ++i)
        *m_slots.at(i).Font = m_workingCopies.at(i);
    if (OnApply)
        OnApply(*this);
    SetModified(false);
}

void TForm4::SetModified(bool on)
{
    Button4->setEnabled(on);
}

void TForm4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CenterForm(*this);
    FormShow();
}

void TForm4::FormShow()
{
    {
        const QSignalBlocker blocker(ListBox1);
        ListBox1->clear();
        for (const TFontSlot &slot : std::as_const(m_slots)) {
            auto *item = new QListWidgetItem(slot.Title, ListBox1);
            item->setSizeHint(QSize(ListBox1->fontMetrics().horizontalAdvance(slot.Title),
                                    qMax(kItemHeight, ListBox1->fontMetrics().height())));
        }
        if (ListBox1->count() > 0)
            ListBox1->setCurrentRow(0);
    }
    QTextCursor cursor = Memo1->textCursor();
    cursor.movePosition(QTextCursor::Start);
    Memo1->setTextCursor(cursor);
    ListBox1->setFocus();
    ShowSample();
    SetModified(false);
}

int TForm4::SelectedSlot() const
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= m_workingCopies.size() || !ListBox1->item(row)->isSelected())
        return -1;
    return row;
}

void TForm4::ShowSample()
{
    const int slot = SelectedSlot();
    if (slot < 0)
        return;
    const TFontRecord &font = m_workingCopies.at(slot);
    Memo1->setFont(ToQFont(font));
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, ToQColor(font.Color));
    Memo1->setPalette(palette);
}

void TForm4::Button1Click()
{
    const int slot = SelectedSlot();
    if (slot < 0)
        return;
    FontDialog1->SetFont(m_workingCopies.at(slot));
    if (!FontDialog1->Execute())
        return;
    m_workingCopies[slot] = FontDialog1->Font();
    SetModified(true);
    ShowSample();
}

void TForm4::Button5Click()
{
    ContextHelp1->ShowFormHelp(this);
}
