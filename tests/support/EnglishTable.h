#pragma once
// Makes the built-in English table the current language, as the program
// does at its start, so that a test sees the texts a user sees.

#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

inline void UseEnglishTable()
{
    AddLanguage(QString::fromLatin1(EnglishLanguageEntry), EnglishTable());
    LoadLanguageTable(QStringLiteral("ENGLISH"), CurrentKeys(), CurrentValues());
}
