#include "editor/FindDialog.h"

#include "help/HelpUtils.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The platform's find dialog with its options hidden.
constexpr QSize kDesignClientSize(354, 101);
constexpr int kEditWidth = 180;
constexpr int kButtonWidth = 75;

} // namespace

TFindDialog::TFindDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    QFont designFont(QStringLiteral("Arial"));
    designFont.setPixelSize(13);
    setFont(designFont);
    SetHelpContext(this, OwnHelpTopic);

    FindWhatLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    FindWhatLabel->setObjectName(QStringLiteral("FindWhatLabel"));
    FindWhatEdit = new QLineEdit(this);
    FindWhatEdit->setObjectName(QStringLiteral("FindWhatEdit"));
    FindWhatEdit->setMinimumWidth(kEditWidth);
    FindWhatLabel->setBuddy(FindWhatEdit);

    FindNextButton = new QPushButton(QStringLiteral("&Find Next"), this);
    FindNextButton->setObjectName(QStringLiteral("FindNextButton"));
    FindNextButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    HelpButton = new QPushButton(QStringLiteral("&Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    for (QPushButton *button : {FindNextButton, CancelButton, HelpButton})
        button->setMinimumWidth(kButtonWidth);

    // The label and the find text on the top line, the button column on the
    // right.
    auto *textRow = new QHBoxLayout;
    textRow->addWidget(FindWhatLabel);
    textRow->addWidget(FindWhatEdit, 1);
    auto *textColumn = new QVBoxLayout;
    textColumn->addLayout(textRow);
    textColumn->addStretch();
    auto *buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(FindNextButton);
    buttonColumn->addWidget(CancelButton);
    buttonColumn->addWidget(HelpButton);
    buttonColumn->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(10);
    layout->addLayout(textColumn, 1);
    layout->addLayout(buttonColumn);

    setTabOrder(FindWhatEdit, FindNextButton);
    setTabOrder(FindNextButton, CancelButton);
    setTabOrder(CancelButton, HelpButton);

    setFixedSize(kDesignClientSize.expandedTo(sizeHint()));

    connect(FindWhatEdit, &QLineEdit::textChanged, this, &TFindDialog::FindWhatEditChange);
    connect(FindNextButton, &QPushButton::clicked, this, &TFindDialog::FindNextButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TFindDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, &TFindDialog::HelpButtonClick);
    FindWhatEditChange();
}

void TFindDialog::Show()
{
    // The find text takes the focus, and Enter is Find Next again, also after
    // the dialog was closed with another button focused (an auto-default
    // button that had the focus stays the default otherwise).
    FindWhatEdit->setFocus();
    FindNextButton->setDefault(true);
    if (isVisible()) {
        raise();
        activateWindow();
    } else {
        show();
    }
    FindWhatEdit->selectAll();
}

QString TFindDialog::FindText() const
{
    return FindWhatEdit->text();
}

void TFindDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        HelpButtonClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFindDialog::FindWhatEditChange()
{
    FindNextButton->setEnabled(!FindWhatEdit->text().isEmpty());
}

void TFindDialog::FindNextButtonClick()
{
    if (FindWhatEdit->text().isEmpty())
        return;
    emit FindRequested();
}

void TFindDialog::HelpButtonClick()
{
    ShowHelpContext(HelpContextOf(this));
}
