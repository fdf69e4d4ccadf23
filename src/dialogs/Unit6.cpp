#include "dialogs/Unit6.h"

#include "help/HelpUtils.h"
#include "settings/FormPlacement.h"
#include "uitext/FormTranslation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <memory>

namespace {

// Design sizes, in pixels.
constexpr QSize kDesignClientSize(347, 106);
constexpr int kDesignFontPixelSize = 13;
constexpr int kEditWidth = 241;
constexpr int kButtonWidth = 75;
constexpr int kFormMargin = 8;
constexpr int kColumnSpacing = 15; // between the answer and the buttons

bool IsBlankChar(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

} // namespace

TStringEnterForm::TStringEnterForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("StringEnterForm"));
    QFont designFont(QStringLiteral("Arial"));
    designFont.setPixelSize(kDesignFontPixelSize);
    setFont(designFont);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(kEditWidth);
    Label1->setBuddy(Edit1);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    for (QPushButton *button : {OKBtn, CancelBtn, HelpBtn})
        button->setMinimumWidth(kButtonWidth);

    ContextHelp1 = new TContextHelp(this);

    // The prompt above the answer on the left, the button column on the
    // right.
    auto *answerColumn = new QVBoxLayout;
    answerColumn->addStretch(1);
    answerColumn->addWidget(Label1);
    answerColumn->addWidget(Edit1);
    answerColumn->addStretch(2);
    auto *buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(OKBtn);
    buttonColumn->addWidget(CancelBtn);
    buttonColumn->addWidget(HelpBtn);
    buttonColumn->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin);
    layout->setSpacing(kColumnSpacing);
    layout->addLayout(answerColumn, 1);
    layout->addLayout(buttonColumn);

    setTabOrder(Edit1, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, HelpBtn);

    // A fixed dialog border, at the design size or what the font needs.
    setFixedSize(kDesignClientSize.expandedTo(sizeHint()));

    connect(Edit1, &QLineEdit::textChanged, this, &TStringEnterForm::Edit1Change);
    connect(OKBtn, &QPushButton::clicked, this, &TStringEnterForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TStringEnterForm::reject);
    connect(HelpBtn, &QPushButton::clicked, this, &TStringEnterForm::HelpBtnClick);
}

bool TStringEnterForm::EnterString(const QString &caption, const QString &prompt, QString &text,
                                   const QString &helpKey, bool allowEmpty)
{
    auto form = std::make_unique<TStringEnterForm>();
    form->Prepare(caption, prompt, text, helpKey, allowEmpty);
    TranslateForm(form.get());
    if (form->exec() != QDialog::Accepted)
        return false;
    text = form->Edit1->text();
    return true;
}

void TStringEnterForm::Prepare(const QString &caption, const QString &prompt, const QString &text,
                               const QString &helpKey, bool allowEmpty)
{
    setWindowTitle(caption);
    Label1->setText(prompt);
    ContextHelp1->SetDefaultContext(helpKey);
    AllowEmpty = allowEmpty;
    Edit1->setText(text);
    // Placing the text counts as a change even when it equals what was
    // there (an empty text raises no change signal).
    Edit1Change();
}

bool TStringEnterForm::IsBlank(const QString &text)
{
    for (QChar c : text) {
        if (!IsBlankChar(c))
            return false;
    }
    return true;
}

void TStringEnterForm::accept()
{
    // Enter and the OK button arrive here; neither may close the dialog
    // while OK is disabled.
    if (!OKBtn->isEnabled())
        return;
    QDialog::accept();
}

void TStringEnterForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CenterForm(*this);
}

void TStringEnterForm::Edit1Change()
{
    OKBtn->setEnabled(AllowEmpty || !IsBlank(Edit1->text()));
}

void TStringEnterForm::HelpBtnClick()
{
    ContextHelp1->ShowFormHelp(this);
}
