#include "uitext/QtMessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <QVBoxLayout>

namespace {

QStyle::StandardPixmap IconOf(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case TMsgDlgType::mtError:
        return QStyle::SP_MessageBoxCritical;
    case TMsgDlgType::mtInformation:
        return QStyle::SP_MessageBoxInformation;
    case TMsgDlgType::mtConfirmation:
        return QStyle::SP_MessageBoxQuestion;
    }
    return QStyle::SP_MessageBoxInformation;
}

// The button's caption (the toolkit's own text) and the name a test finds it by.
QString CaptionOf(TMsgDlgBtn button)
{
    switch (button) {
    case TMsgDlgBtn::mbYes:
        return QStringLiteral("&Yes");
    case TMsgDlgBtn::mbNo:
        return QStringLiteral("&No");
    case TMsgDlgBtn::mbOK:
        return QStringLiteral("OK");
    case TMsgDlgBtn::mbCancel:
        return QStringLiteral("&Cancel");
    }
    return QString();
}

// The letter a caption underlines (the one after "&"), or none.
QChar MnemonicOf(const QString &caption)
{
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toUpper() : QChar();
}

QString NameOf(TMsgDlgBtn button)
{
    return CaptionOf(button).remove(QLatin1Char('&'));
}

// Breaks each line of Text so that none is wider than Width in Font: at a
// word boundary where there is one, else anywhere, so that not even one long
// word can widen the box. A QLabel's own word wrap would let such a word
// through.
QString WrappedToWidth(const QString &text, const QFont &font, int width)
{
    QStringList wrapped;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.isEmpty()) {
            wrapped.append(QString());
            continue;
        }
        QTextLayout layout(line, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
            piece.setLineWidth(width);
            // The blank a line was broken at would only add width.
            QString part = line.mid(piece.textStart(), piece.textLength());
            while (part.size() > 1 && part.back().isSpace())
                part.chop(1);
            wrapped.append(part);
        }
        layout.endLayout();
    }
    return wrapped.join(QLatin1Char('\n'));
}

class TMessageForm : public QDialog
{
public:
    TMessageForm(const TMessageBoxRequest &request, QWidget *parent);

    TModalResult Answer() const { return m_answer; }
    // The close box (and whatever else rejects a dialog) answers Cancel.
    void reject() override { Finish(TModalResult::mrCancel); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Finish(TModalResult answer);
    QLayout *MakeButtonRow(const TMessageBoxRequest &request);
    // The button whose underlined letter Key types, or none.
    QPushButton *ButtonForLetter(const QKeyEvent *key) const;

    TModalResult m_answer = TModalResult::mrCancel;
    QList<QPushButton *> m_buttons;
    std::optional<TModalResult> m_escapeResult;
};

TMessageForm::TMessageForm(const TMessageBoxRequest &request, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_escapeResult(request.EscapeResult)
{
    setWindowTitle(request.Title);
    setWindowModality(Qt::ApplicationModal);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    const QIcon icon = style()->standardIcon(IconOf(request.Kind), nullptr, this);
    image->setPixmap(icon.pixmap(QSize(iconSize, iconSize), devicePixelRatio()));
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *message = new QLabel(this);
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->ensurePolished();
    const int wrapWidth = qMax(1, screen()->geometry().width() / 2);
    message->setText(WrappedToWidth(MessageBoxDisplayText(request.Text), message->font(), wrapWidth));
    message->setMaximumWidth(wrapWidth);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *textRow = new QHBoxLayout;
    textRow->addWidget(image, 0, Qt::AlignTop);
    textRow->addSpacing(style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this));
    textRow->addWidget(message, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(textRow);
    layout->addSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing, nullptr, this));
    layout->addLayout(MakeButtonRow(request));
}

QLayout *TMessageForm::MakeButtonRow(const TMessageBoxRequest &request)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    QList<QPushButton *> buttons;
    for (TMsgDlgBtn kind : request.ButtonOrder) {
        auto *button = new QPushButton(CaptionOf(kind), this);
        button->setObjectName(NameOf(kind));
        const TModalResult result = ButtonResult(kind);
        connect(button, &QPushButton::clicked, this, [this, result] { Finish(result); });
        if (request.DefaultButton == kind) {
            button->setDefault(true);
            button->setFocus();
        }
        row->addWidget(button);
        buttons.append(button);
    }
    m_buttons = buttons;
    row->addStretch();

    // Buttons of one width, as message boxes have them.
    int width = 0;
    for (QPushButton *button : buttons)
        width = qMax(width, button->sizeHint().width());
    for (QPushButton *button : buttons)
        button->setMinimumWidth(width);
    if (!request.DefaultButton && !buttons.isEmpty())
        buttons.first()->setFocus();
    return row;
}

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
    // Escape gives the box's Escape answer, not the close box's Cancel; a box
    // without one ignores it.
    if (event->matches(QKeySequence::Cancel)) {
        if (m_escapeResult)
            Finish(*m_escapeResult);
        event->accept();
        return;
    }
    // A plain letter presses the button it underlines, as the platform's
    // own message boxes do; Alt with the letter is the button's shortcut.
    if (QPushButton *button = ButtonForLetter(event)) {
        event->accept();
        button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QPushButton *TMessageForm::ButtonForLetter(const QKeyEvent *key) const
{
    const Qt::KeyboardModifiers others = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (others != Qt::NoModifier || key->text().size() != 1 || !key->text().at(0).isLetter())
        return nullptr;
    const QChar letter = key->text().at(0).toUpper();
    for (QPushButton *button : m_buttons) {
        if (MnemonicOf(button->text()) == letter)
            return button;
    }
    return nullptr;
}

// Centred, frame included, once its size is final, which is only when it
// is shown.
void TMessageForm::showEvent(QShowEvent *event)
{
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(screen()->geometry().center());
    move(frame.topLeft());
    QDialog::showEvent(event);
}

void TMessageForm::Finish(TModalResult answer)
{
    m_answer = answer;
    done(QDialog::Accepted);
}

} // namespace

QString MessageBoxDisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

TModalResult TQtMessageBoxPresenter::Show(const TMessageBoxRequest &request)
{
    // On the heap and watched: the window it stands on may be destroyed while
    // the box is open, taking the box with it.
    QPointer<TMessageForm> form = new TMessageForm(request, QApplication::activeWindow());
    form->exec();
    if (!form)
        return TModalResult::mrCancel;
    const TModalResult answer = form->Answer();
    delete form;
    return answer;
}
