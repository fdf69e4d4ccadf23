#include "dialogs/FileNameEdit.h"

#include "dialogs/FileDialogs.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

// The browse button's room beside its ellipsis, in pixels.
constexpr int BrowseTextPadding = 4;

bool IsBlank(QChar c)
{
    return c.unicode() <= ' ';
}

} // namespace

QString QuoteFileName(const QString &name)
{
    if (name.startsWith(QLatin1Char('"')) || !std::any_of(name.begin(), name.end(), IsBlank))
        return name;
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString FirstCommandLineItem(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text.at(i)))
        ++i;
    QString item;
    bool quoted = false;
    for (; i < text.size() && (quoted || !IsBlank(text.at(i))); ++i) {
        if (text.at(i) == QLatin1Char('"'))
            quoted = !quoted;
        else
            item += text.at(i);
    }
    return item;
}

TFileNameEdit::TFileNameEdit(QWidget *parent) : QLineEdit(parent), m_browseButton(new QToolButton(this))
{
    m_browseButton->setText(QStringLiteral("..."));
    m_browseButton->setFocusPolicy(Qt::NoFocus);
    m_browseButton->setCursor(Qt::ArrowCursor);
    connect(m_browseButton, &QToolButton::clicked, this, &TFileNameEdit::Browse);
    PlaceBrowseButton();
}

QString TFileNameEdit::FileName() const
{
    const QString current = text();
    if (QFileInfo(current).isFile())
        return current;
    return FirstCommandLineItem(current);
}

void TFileNameEdit::Browse()
{
    TFileDialogRequest request;
    request.Title = m_dialogTitle;
    request.Filter = m_filter;
    request.DefaultExt = m_defaultExt;
    request.FileName = FileName();
    request.Options = TOpenOption::ofHideReadOnly | TOpenOption::ofFileMustExist;
    const std::optional<QString> chosen = ExecuteOpenDialog(request);
    if (!chosen)
        return;
    setText(QuoteFileName(AddDefaultExt(*chosen, m_defaultExt)));
    setFocus();
}

void TFileNameEdit::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::ControlModifier) {
        event->accept();
        Browse();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TFileNameEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    PlaceBrowseButton();
}

// The button fills the box's right end inside its frame, as wide as it is
// high; the text stops short of it.
void TFileNameEdit::PlaceBrowseButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int height = qMax(0, this->height() - 2 * frame);
    const int textWidth = m_browseButton->fontMetrics().horizontalAdvance(m_browseButton->text());
    const int width = qMax(height, textWidth + BrowseTextPadding);
    m_browseButton->setGeometry(this->width() - frame - width, frame, width, height);
    setTextMargins(0, 0, width, 0);
}
