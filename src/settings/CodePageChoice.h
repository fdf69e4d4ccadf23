#pragma once
// The code pages the translator chooses for the message texts (Options >
// Code page), kept in the user's settings: one of the pairs of ANSI and OEM
// code pages Windows uses for a group of languages, or the pair of the
// desktop's language. The environment variables LEXIVANE_ANSI_CODEPAGE and
// LEXIVANE_OEM_CODEPAGE still win where they are set.
//
// A choice only changes how the bytes of the texts are shown and read back
// from the edit dialog; no byte of a message changes with it.

#include "platform/CodePages.h"

#include <QList>
#include <QString>

struct TCodePageChoice
{
    QString TitleKey;    // the language table's name of the group ("CodePageCyrillic")
    CodePageNames Pages; // the pair
};

// The pairs offered, Western European first.
[[nodiscard]] const QList<TCodePageChoice> &CodePageChoices();

// The pair stored in the user's settings (read without changing them);
// empty names for the desktop's language (also when nothing, or something
// unusable, is stored). Raises ERegistryException when the settings cannot
// be read.
[[nodiscard]] CodePageNames StoredCodePageChoice();
// Stores Choice (empty names: the desktop's language). Raises
// EAppIniError when the settings cannot be written.
void StoreCodePageChoice(const CodePageNames &choice);

// The code pages Choice comes to: the environment's where set, else the
// pair, else the desktop language's.
[[nodiscard]] CodePageNames CodePagesForChoice(const CodePageNames &choice);
// Uses them (SetCodePages).
void ApplyCodePageChoice(const CodePageNames &choice);
