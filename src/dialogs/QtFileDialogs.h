#pragma once
// The file dialog presenter the program plugs in: Qt's own file dialog
// (drawn by Qt rather than by the platform, so that it behaves the same
// everywhere), set up from a request and shown over the active window. The
// overwrite question and the refusal of a missing file or folder are Qt's
// own boxes.

#include "dialogs/FileDialogs.h"

class TQtFileDialogs : public TFileDialogPresenter
{
public:
    std::optional<QString> Open(const TFileDialogRequest &request) override;
    std::optional<QString> Save(const TFileDialogRequest &request) override;
};
