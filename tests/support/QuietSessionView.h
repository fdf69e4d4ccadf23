#pragma once
// A window for an editing session that shows nothing, for tests that drive
// the session and look only at its stores, its questions and its files.

#include "editor/EditSession.h"

class QuietSessionView : public TSessionView
{
public:
    void RefreshGrid() override {}
    void RepaintMessage(int) override {}
    void UpdateCommands() override {}
};
