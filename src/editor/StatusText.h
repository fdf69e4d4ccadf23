#pragma once
// The words of the main window's status bar.

#include <QString>

class TShownMessages;
class TTranslationStatus;

// "3162 messages · 1204 translated (38%) · 12 placeholder problems", how
// many need review when any do (" · 7 need review"), and while a filter is
// on, how many messages it shows (" · 40 shown").
[[nodiscard]] QString StatusCountsText(const TTranslationStatus &status, const TShownMessages &shown);
