#include "dialogs/Unit3.h"

#include "dialogs/FileDialogs.h"
#include "dialogs/FileNameEdit.h"
#include "help/HelpUtils.h"
#include "msgfile/MsgFileLocation.h"
#include "settings/FormPlacement.h"
#include "uitext/DlgUtils.h"
#include "uitext/FormTranslation.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <memory>

namespace {

// Design sizes, in pixels: the client area, the font, the buttons.
constexpr int DesignWidth = 377;
constexpr int DesignHeight = 143;
constexpr int DesignFontPixelSize = 13;
constexpr QSize ButtonSize(75, 25);
// The choices' column: its margins, the room between the choices and
// between "Other" and the file box under it, and the file box's indent.
constexpr QMargins ChoicesMargins(6, 2, 0, 0);
constexpr int ChoiceSpacing = 12;
constexpr int OtherFileSpacing = 7;
constexpr int FileBoxIndent = 16;
constexpr int ButtonSpacing = 7; // in the button column
constexpr int FormMargin = 10;

bool FileExists(const QString &name)
{
    return QFileInfo(name).isFile();
}

template <typename T>
T *NamedChild(QWidget *parent, const char *name)
{
    auto *child = new T(parent);
    child->setObjectName(QLatin1String(name));
    return child;
}

} // namespace

TForm3::TForm3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(DesignFontPixelSize);
    setFont(font);
    CreateControls();
    SetHelpContext(this, OwnHelpTopic);
    setFixedSize(QSize(DesignWidth, DesignHeight).expandedTo(minimumSizeHint()));
    CenterForm(*this);
}

TForm3::~TForm3() = default;

void TForm3::CreateControls()
{
    IB32Check = NamedChild<QRadioButton>(this, "IB32Check");
    IB16Check = NamedChild<QRadioButton>(this, "IB16Check");
    CustomCheck = NamedChild<QRadioButton>(this, "CustomCheck");
    CustomEdit = NamedChild<TFileNameEdit>(this, "CustomEdit");
    CustomEdit->SetDefaultExt(QStringLiteral("MSG"));
    Button1 = NamedChild<QPushButton>(this, "Button1");
    Button1->setText(QStringLiteral("OK"));
    Button1->setDefault(true);
    Button2 = NamedChild<QPushButton>(this, "Button2");
    Button3 = NamedChild<QPushButton>(this, "Button3");
    for (QPushButton *button : {Button1, Button2, Button3})
        button->setMinimumSize(ButtonSize);
    ContextHelp1 = new TContextHelp(this);
    ContextHelp1->setObjectName(QStringLiteral("ContextHelp1"));
    // Only the language table's rows use it.
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));

    // The choices stacked on the left, the file box indented under
    // "Other"; the buttons in a column on the right.
    auto *choices = new QVBoxLayout;
    choices->setContentsMargins(ChoicesMargins);
    choices->setSpacing(ChoiceSpacing);
    choices->addWidget(IB32Check);
    choices->addWidget(IB16Check);
    auto *other = new QVBoxLayout;
    other->setSpacing(OtherFileSpacing);
    other->addWidget(CustomCheck);
    auto *editRow = new QHBoxLayout;
    editRow->setContentsMargins(FileBoxIndent, 0, 0, 0);
    editRow->addWidget(CustomEdit);
    other->addLayout(editRow);
    choices->addLayout(other);
    choices->addStretch();
    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(ButtonSpacing);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addStretch();
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(FormMargin, FormMargin, FormMargin, FormMargin);
    columns->addLayout(choices, 1);
    columns->addLayout(buttons);

    setTabOrder(IB32Check, IB16Check);
    setTabOrder(IB16Check, CustomCheck);
    setTabOrder(CustomCheck, CustomEdit);
    setTabOrder(CustomEdit, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);

    for (QRadioButton *choice : {IB32Check, IB16Check}) {
        connect(choice, &QRadioButton::clicked, this, &TForm3::ServerCheckClick);
        choice->installEventFilter(this);
    }
    connect(CustomCheck, &QRadioButton::clicked, this, &TForm3::CustomCheckClick);
    CustomCheck->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::reject);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
}

bool TForm3::SelectMessageFile(QString &fileName)
{
    auto form = std::make_unique<TForm3>();
    form->FindServerFiles();
    form->EnableCustomEdit(false);
    TranslateForm(form.get());
    if (form->exec() != QDialog::Accepted)
        return false;
    fileName = form->GetSelectedFile();
    return true;
}

void TForm3::FindServerFiles()
{
    m_ib32Path = FindMsgFile32();
    m_ib16Path = FindMsgFile16();
    IB32Check->setEnabled(!m_ib32Path.isEmpty());
    IB16Check->setEnabled(!m_ib16Path.isEmpty());
    CustomCheck->setEnabled(true);
}

QString TForm3::GetSelectedFile() const
{
    if (IB32Check->isChecked())
        return m_ib32Path;
    if (IB16Check->isChecked())
        return m_ib16Path;
    return CustomEdit->FileName();
}

void TForm3::EnableCustomEdit(bool on)
{
    CustomEdit->setEnabled(on);
    const QColor background = QApplication::palette(CustomEdit).color(on ? QPalette::Base : QPalette::Button);
    QPalette palette = CustomEdit->palette();
    palette.setColor(QPalette::Base, background);
    CustomEdit->setPalette(palette);
}

void TForm3::accept()
{
    const QString name = GetSelectedFile();
    if (!name.trimmed().isEmpty() && !FileExists(name)) {
        ShowErrorMsg(QStringLiteral("FileNotExists"), {name});
        return;
    }
    QDialog::accept();
}

void TForm3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

// The first choice on offer is checked, as a click would check it.
void TForm3::FormShow()
{
    for (QRadioButton *choice : {IB32Check, IB16Check, CustomCheck}) {
        if (!choice->isEnabled())
            continue;
        choice->setChecked(true);
        if (choice == CustomCheck)
            CustomCheckClick();
        else
            ServerCheckClick();
        return;
    }
}

void TForm3::ServerCheckClick()
{
    EnableCustomEdit(CustomCheck->isChecked());
}

void TForm3::CustomCheckClick()
{
    EnableCustomEdit(CustomCheck->isChecked());
    CustomEdit->setFocus();
}

// OK has no result of its own: with "Other" and no name it browses instead
// of closing; otherwise the close query decides.
void TForm3::Button1Click()
{
    if (CustomCheck->isChecked() && CustomEdit->FileName().trimmed().isEmpty()) {
        CustomEdit->Browse();
        return;
    }
    accept();
}

void TForm3::Button3Click()
{
    ContextHelp1->ShowFormHelp(this);
}

bool TForm3::IsChoice(const QObject *object) const
{
    return object == IB32Check || object == IB16Check || object == CustomCheck;
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonDblClick || !IsChoice(watched))
        return QDialog::eventFilter(watched, event);
    auto *choice = static_cast<QRadioButton *>(watched);
    if (!choice->isEnabled() || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return QDialog::eventFilter(watched, event);
    // The first click of the pair has checked it already; make sure.
    if (!choice->isChecked())
        choice->click();
    Button1Click();
    return true;
}
