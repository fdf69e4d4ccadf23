#include "dialogs/QtFontDialog.h"

#include "settings/QtFonts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kSwatchSize(24, 14);

QColor AskColor(const QColor &initial, QWidget *parent)
{
    return QColorDialog::getColor(initial, parent);
}

QPixmap Swatch(const QColor &color)
{
    QPixmap pixmap(kSwatchSize);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(QRect(QPoint(0, 0), kSwatchSize - QSize(1, 1)));
    return pixmap;
}

int WholePoints(const QFont &font)
{
    return qRound(font.pointSizeF());
}

} // namespace

TQtFontDialog::TQtFontDialog(QWidget *parent)
    : QDialog(parent),
      m_fontBox(new QFontDialog(this)),
      m_colorButton(new QPushButton(QStringLiteral("&Color..."), this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      m_colorChooser(AskColor)
{
    setObjectName(QStringLiteral("QtFontDialog"));
    setWindowTitle(QStringLiteral("Font"));

    // QFontDialog as a plain widget inside this dialog: no buttons of its
    // own, no window of its own.
    m_fontBox->setObjectName(QStringLiteral("FontBox"));
    m_fontBox->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fontBox->setWindowFlags(Qt::Widget);
    m_fontBox->installEventFilter(this);

    m_colorButton->setObjectName(QStringLiteral("ColorButton"));
    m_colorButton->setAutoDefault(false);
    m_colorButton->setIconSize(kSwatchSize);
    m_buttons->setObjectName(QStringLiteral("Buttons"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_colorButton);
    bottom->addStretch(1);
    bottom->addWidget(m_buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fontBox, 1);
    layout->addLayout(bottom);

    // The embedded QFontDialog still closes itself on Escape, and on Enter
    // in its lists; it stays in place and this dialog closes instead.
    connect(m_fontBox, &QDialog::finished, this, [this](int result) {
        m_fontBox->setVisible(true);
        done(result);
    });
    connect(m_colorButton, &QPushButton::clicked, this, &TQtFontDialog::ChooseColor);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    SetFontRecord(TFontRecord());
}

void TQtFontDialog::SetFontRecord(const TFontRecord &font)
{
    m_record = font;
    // A face that is not installed is drawn with a substitute; the box
    // selects that one, the face the user sees in the grid, rather than
    // whatever it would fall back to for a name it does not list.
    QFont shown = ToQFont(font);
    shown.setFamily(QFontInfo(shown).family());
    m_fontBox->setCurrentFont(shown);
    m_shownFont = m_fontBox->currentFont();
    m_color = ToQColor(font.Color);
    m_colorChosen = false;
    ShowColor();
}

TFontRecord TQtFontDialog::FontRecord() const
{
    // Start from the record and take over only what the user changed in the
    // font box, so that a face or style Qt could not show as it is survives.
    const QFont now = m_fontBox->currentFont();
    QFont merged = ToQFont(m_record);
    if (now.family() != m_shownFont.family())
        merged.setFamily(now.family());
    if (WholePoints(now) != WholePoints(m_shownFont))
        merged.setPointSize(qMax(1, WholePoints(now)));
    if (now.bold() != m_shownFont.bold())
        merged.setBold(now.bold());
    if (now.italic() != m_shownFont.italic())
        merged.setItalic(now.italic());
    if (now.underline() != m_shownFont.underline())
        merged.setUnderline(now.underline());
    if (now.strikeOut() != m_shownFont.strikeOut())
        merged.setStrikeOut(now.strikeOut());

    TFontRecord result = m_record;
    AssignQFont(result, merged, m_color);
    if (!m_colorChosen)
        result.Color = m_record.Color;
    return result;
}

void TQtFontDialog::SetCurrentColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_color = color;
    m_colorChosen = true;
    ShowColor();
}

void TQtFontDialog::SetColorChooser(TColorChooser chooser)
{
    m_colorChooser = chooser ? std::move(chooser) : TColorChooser(AskColor);
}

QPushButton *TQtFontDialog::OkButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

QPushButton *TQtFontDialog::CancelButton() const
{
    return m_buttons->button(QDialogButtonBox::Cancel);
}

bool TQtFontDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Enter that reaches the embedded QFontDialog would be swallowed there
    // (it has no visible default button); it confirms this dialog.
    if (watched == m_fontBox && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TQtFontDialog::ChooseColor()
{
    SetCurrentColor(m_colorChooser(m_color, this));
}

void TQtFontDialog::ShowColor()
{
    m_colorButton->setIcon(QIcon(Swatch(m_color)));
    m_colorButton->setToolTip(m_color.name().toUpper());
}

bool TQtFontDialogPresenter::Execute(TFontRecord &font)
{
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    TQtFontDialog dialog(parent);
    dialog.SetFontRecord(font);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.FontRecord();
    return true;
}
