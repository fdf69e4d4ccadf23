#include "dialogs/FileDialogs.h"

namespace {

TFileDialogPresenter *g_presenter = nullptr;

TFileDialogPresenter &Presenter()
{
    if (!g_presenter)
        throw EDialogError(QStringLiteral("No file dialogs are available to ask the user"));
    return *g_presenter;
}

// The description without a parenthesised pattern list at its end:
// "Message files (*.MSG)" gives "Message files".
QString BareDescription(const QString &description)
{
    const QString trimmed = description.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !trimmed.endsWith(QLatin1Char(')')))
        return trimmed;
    return trimmed.left(open).trimmed();
}

QStringList QtPatterns(const QString &patterns)
{
    QStringList result;
    const QStringList parts = patterns.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        for (const QString &form : {pattern, pattern.toLower()}) {
            if (!result.contains(form))
                result.append(form);
        }
    }
    return result;
}

} // namespace

TFileDialogPresenter *SetFileDialogPresenter(TFileDialogPresenter *presenter)
{
    TFileDialogPresenter *previous = g_presenter;
    g_presenter = presenter;
    return previous;
}

TFileDialogPresenter *FileDialogPresenter()
{
    return g_presenter;
}

std::optional<QString> ExecuteOpenDialog(const TFileDialogRequest &request)
{
    return Presenter().Open(request);
}

std::optional<QString> ExecuteSaveDialog(const TFileDialogRequest &request)
{
    return Presenter().Save(request);
}

QStringList QtNameFilters(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    // A description left without its patterns at the end is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = QtPatterns(parts.at(i + 1));
        if (patterns.isEmpty())
            continue;
        const QString description = BareDescription(parts.at(i));
        const QString list = patterns.join(QLatin1Char(' '));
        result.append(description.isEmpty() ? list : description + QStringLiteral(" (") + list + QLatin1Char(')'));
    }
    return result;
}

QString AddDefaultExt(const QString &fileName, const QString &defaultExt)
{
    QString extension = defaultExt;
    if (extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    if (extension.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('.')))
        return fileName;
    return fileName + QLatin1Char('.') + extension;
}

TFileDialog::TFileDialog(QObject *owner, TOpenOptions options) : QObject(owner)
{
    m_request.Options = options;
}

bool TFileDialog::TakeAnswer(const std::optional<QString> &answer)
{
    if (!answer)
        return false;
    m_request.FileName = AddDefaultExt(*answer, m_request.DefaultExt);
    return true;
}

TOpenDialog::TOpenDialog(QObject *owner) : TFileDialog(owner, TOpenOption::ofHideReadOnly)
{
}

TSaveDialog::TSaveDialog(QObject *owner) : TFileDialog(owner, TOpenOption::ofHideReadOnly)
{
}

bool TOpenDialog::Execute()
{
    return TakeAnswer(ExecuteOpenDialog(Request()));
}

bool TSaveDialog::Execute()
{
    return TakeAnswer(ExecuteSaveDialog(Request()));
}
