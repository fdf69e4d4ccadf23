#pragma once
// The file name box: a line edit with a browse button (an ellipsis) at its
// right end. The button, and Ctrl+Enter in the box, ask for an existing file
// through the file dialog seam; the chosen name replaces the text, in double
// quotes when it holds a blank, so that the text still reads as one item of
// a command line (FileName).

#include <QLineEdit>
#include <QString>

class QToolButton;

// Name in double quotes when it holds a blank and does not already start
// with a double quote; otherwise Name itself.
[[nodiscard]] QString QuoteFileName(const QString &name);

// The first item of Text read as a command line: items are separated by
// blanks (a space or any control character), double quotes group blanks
// into an item and are removed. Empty when Text holds no item.
[[nodiscard]] QString FirstCommandLineItem(const QString &text);

class TFileNameEdit : public QLineEdit
{
    Q_OBJECT
    // The browse dialog's filter ("Message files (*.MSG)|*.MSG|..."), title
    // and default extension (without the dot).
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(QString DialogTitle READ DialogTitle WRITE SetDialogTitle)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)

public:
    explicit TFileNameEdit(QWidget *parent = nullptr);

    QString Filter() const { return m_filter; }
    void SetFilter(const QString &filter) { m_filter = filter; }
    QString DialogTitle() const { return m_dialogTitle; }
    void SetDialogTitle(const QString &title) { m_dialogTitle = title; }
    QString DefaultExt() const { return m_defaultExt; }
    void SetDefaultExt(const QString &extension) { m_defaultExt = extension; }

    // The file the box names: its text when that is an existing file's
    // name, otherwise the first item of the text read as a command line.
    [[nodiscard]] QString FileName() const;

    QToolButton *BrowseButton() const { return m_browseButton; }

public Q_SLOTS:
    // Asks for an existing file, starting from the one the box names; a
    // chosen file replaces the text (QuoteFileName). Raises EDialogError
    // when no file dialogs are plugged in.
    void Browse();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void PlaceBrowseButton();

    QToolButton *m_browseButton;
    QString m_filter;
    QString m_dialogTitle;
    QString m_defaultExt;
};
