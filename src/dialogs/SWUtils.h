#pragma once
// Opening a web address or a document as the desktop would (RunProgram), the
// link label TURLLabel that opens its URL when clicked, and the label
// TXLabel whose caption is kept scrambled.

#include "diagnostics/Exception.h"

#include <QLabel>
#include <QString>
#include <QUrl>
#include <exception>
#include <functional>

// A link label could not open its URL and has no OnOpenFailed handler.
LEXIVANE_DECLARE_EXCEPTION(EURLError);

// Opens a URL with the desktop's handler; true on success. The program uses
// the desktop services; tests plug in their own so that nothing is launched.
using TShellRunner = std::function<bool(const QUrl &url)>;
// Plugs Runner in (an empty one: the desktop services) and returns the one
// plugged in before.
TShellRunner SetShellRunner(TShellRunner runner);

// Opens Target (a web address, a document or a program; a plain path is
// taken as a local file) with the wait cursor shown meanwhile, restored also
// when the runner raises. True when the desktop reports success.
bool RunProgram(const QString &target);

// What becomes of an exception a link label raises on a mouse click, which
// cannot travel through the toolkit's event handling: the application's
// handler once start-up plugs it in; until then it is written to the log.
using TURLExceptionHandler = std::function<void(const std::exception &)>;
void SetURLExceptionHandler(TURLExceptionHandler handler);

// A label that stands for a link: underlined, pure blue, the hand cursor.
// A click emits clicked() and then opens URL.
class TURLLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE SetURL)

public:
    explicit TURLLabel(QWidget *parent = nullptr);

    [[nodiscard]] QString URL() const { return m_url; }
    void SetURL(const QString &url) { m_url = url; }

    // Raised instead of EURLError when the URL cannot be opened; Sender is
    // the label.
    std::function<void(TURLLabel *sender)> OnOpenFailed;

    // Acts as a click on the label: clicked(), then the URL opened when it
    // is not empty. A failure goes to OnOpenFailed, or raises EURLError.
    void OpenURL();
    // Puts URL on the clipboard as text.
    void CopyURL() const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_url;
    bool m_pressed = false;
};

// A label whose text is held scrambled: Value is the caption with every
// character combined by exclusive or with the low byte of XValue, so that
// the text does not stand readable in the program's file.
class TXLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString Value READ Value WRITE SetValue)
    Q_PROPERTY(int XValue READ XValue WRITE SetXValue)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit TXLabel(QWidget *parent = nullptr);

    // Takes Value and XValue together, as stored, and shows the caption they
    // give, whatever order they would be set in one by one.
    void Load(const QString &value, int xValue);

    [[nodiscard]] QString Value() const { return m_value; }
    // A new scrambled text: the caption follows.
    void SetValue(const QString &value);

    [[nodiscard]] int XValue() const { return m_xValue; }
    // A new key: the caption's plain text stays, Value is scrambled anew.
    void SetXValue(int xValue);

    // The caption (the plain text shown).
    [[nodiscard]] QString Caption() const { return text(); }
    // Shows Caption and stores its scrambled form in Value.
    void SetCaption(const QString &caption);

    // Text with every character combined with the low byte of Key.
    [[nodiscard]] static QString Scramble(const QString &text, int key);

private:
    QString m_value;
    int m_xValue = 0;
};
