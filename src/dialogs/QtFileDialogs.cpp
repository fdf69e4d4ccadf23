#include "dialogs/QtFileDialogs.h"

#include "help/HelpUtils.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// Qt's file dialog, refusing a name whose folder does not exist when the
// request says so (Qt itself would take it and let the save fail later).
class TQtFileDialog : public QFileDialog
{
public:
    TQtFileDialog(QWidget *parent, const TFileDialogRequest &request) : QFileDialog(parent), m_request(request) {}

protected:
    void accept() override
    {
        if (m_request.Options.testFlag(TOpenOption::ofPathMustExist) && !ChosenFolderExists())
            return;
        QFileDialog::accept();
    }

private:
    bool ChosenFolderExists()
    {
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return true;
        const QFileInfo info(files.first());
        if (info.isDir() || info.absoluteDir().exists())
            return true;
        // Qt's own text for a missing folder, in Qt's translation.
        QMessageBox::warning(this, windowTitle(),
                             QFileDialog::tr("%1\nDirectory not found.\nPlease verify the correct directory name was given.")
                                 .arg(info.absolutePath()));
        return false;
    }

    TFileDialogRequest m_request;
};

void AddHelpButton(QFileDialog &dialog, int context)
{
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    if (!buttons)
        return;
    buttons->addButton(QDialogButtonBox::Help);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog, [context] { ShowHelpContext(context); });
}

// Where the dialog starts: the folder of FileName when it names one, else
// InitialDir (else Qt's choice, the working folder); the name in the box.
void SetStartingPoint(QFileDialog &dialog, const TFileDialogRequest &request)
{
    const QString fileName = request.FileName;
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        dialog.setDirectory(QFileInfo(fileName).absolutePath());
    else if (!request.InitialDir.isEmpty())
        dialog.setDirectory(request.InitialDir);
    const QString name = fileName.mid(slash + 1);
    if (!name.isEmpty())
        dialog.selectFile(name);
}

std::optional<QString> Run(const TFileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    TQtFileDialog dialog(QApplication::activeWindow(), request);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    const bool mustExist = mode == QFileDialog::AcceptOpen && request.Options.testFlag(TOpenOption::ofFileMustExist);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.Options.testFlag(TOpenOption::ofOverwritePrompt));
    if (!request.Title.isEmpty())
        dialog.setWindowTitle(request.Title);
    const QStringList filters = QtNameFilters(request.Filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.DefaultExt);
    if (request.Options.testFlag(TOpenOption::ofShowHelp))
        AddHelpButton(dialog, request.HelpContext);
    SetStartingPoint(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

} // namespace

std::optional<QString> TQtFileDialogs::Open(const TFileDialogRequest &request)
{
    return Run(request, QFileDialog::AcceptOpen);
}

std::optional<QString> TQtFileDialogs::Save(const TFileDialogRequest &request)
{
    return Run(request, QFileDialog::AcceptSave);
}
