#pragma once
// Sets over Qt's meta-enums, read and written as lists of member names (the
// style of a font record is kept as "*fsBold,fsItalic").
//
// The set type is a QMetaEnum. Of a flag type (Q_FLAG, Q_FLAG_NS) every
// enumerator whose value is a single bit is a member and a set holds that
// bit; combinations such as Qt::AlignCenter are not members. Of a plain
// enumeration (Q_ENUM, Q_ENUM_NS) every enumerator valued N = 0 to 31 is a
// member and a set holds bit N. A set has at most 32 members; member 0 is
// its lowest bit.

#include "diagnostics/Exception.h"

#include <QMetaEnum>
#include <QStringList>

LEXIVANE_DECLARE_EXCEPTION(ETypeUtilsError);

// Fills Names (cleared first) with the names of the members present in
// Value, from member 0 upward. Bits that belong to no member are ignored.
void SetToNames(quint32 value, const QMetaEnum &setType, QStringList &names);

// The set of the named members; names compare with the member names ignoring
// case, and are not trimmed. Raises ETypeUtilsError "Invalid set item
// specified" at the first name that is not a member.
[[nodiscard]] quint32 NamesToSet(const QStringList &names, const QMetaEnum &setType);
