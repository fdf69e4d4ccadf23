#include "dialogs/SWUtils.h"

#include "diagnostics/LogUtils.h"
#include "dialogs/SomeCursors.h"
#include "dialogs/WaitCursor.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>

namespace {

TShellRunner &Runner()
{
    static TShellRunner runner;
    return runner;
}

TURLExceptionHandler &ExceptionHandler()
{
    static TURLExceptionHandler handler;
    return handler;
}

void ReportException(const std::exception &error)
{
    if (ExceptionHandler())
        ExceptionHandler()(error);
    else
        LogFile().LogException(error);
}

// The link colour: pure blue (0xFF0000 in the 0x00BBGGRR form of the
// original colour value).
const QColor kLinkColor(0, 0, 255);

int XorKey(int key)
{
    return key & 0xFF;
}

} // namespace

TShellRunner SetShellRunner(TShellRunner runner)
{
    TShellRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}

bool RunProgram(const QString &target)
{
    const QUrl url = QUrl::fromUserInput(target);
    TWaitScope wait;
    if (Runner())
        return Runner()(url);
    return QDesktopServices::openUrl(url);
}

void SetURLExceptionHandler(TURLExceptionHandler handler)
{
    ExceptionHandler() = std::move(handler);
}

TURLLabel::TURLLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, kLinkColor);
    setPalette(linkPalette);
    setCursor(ScreenCursor(AddNamedCursor(QLatin1String(URLHandCursorName), QCursor(Qt::PointingHandCursor))));
}

void TURLLabel::OpenURL()
{
    emit clicked();
    if (m_url.isEmpty() || RunProgram(m_url))
        return;
    if (OnOpenFailed) {
        OnOpenFailed(this);
        return;
    }
    throw EURLError(QStringLiteral("Can't open web-site. May be you have no default browser installed"));
}

void TURLLabel::CopyURL() const
{
    QGuiApplication::clipboard()->setText(m_url);
}

void TURLLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (!click)
        return;
    try {
        OpenURL();
    } catch (const std::exception &error) {
        ReportException(error);
    }
}

TXLabel::TXLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void TXLabel::Load(const QString &value, int xValue)
{
    m_value = value;
    m_xValue = xValue;
    setText(Scramble(m_value, m_xValue));
}

void TXLabel::SetValue(const QString &value)
{
    m_value = value;
    setText(Scramble(m_value, m_xValue));
}

void TXLabel::SetXValue(int xValue)
{
    const QString plain = Caption();
    m_xValue = xValue;
    m_value = Scramble(plain, m_xValue);
}

void TXLabel::SetCaption(const QString &caption)
{
    m_value = Scramble(caption, m_xValue);
    setText(caption);
}

QString TXLabel::Scramble(const QString &text, int key)
{
    const char16_t mask = char16_t(XorKey(key));
    QString result = text;
    for (QChar &c : result)
        c = QChar(char16_t(c.unicode() ^ mask));
    return result;
}
