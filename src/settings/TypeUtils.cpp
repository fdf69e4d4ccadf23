#include "settings/TypeUtils.h"

namespace {

// The bit the enumerator at Index holds in a set; 0 when it is no member.
quint32 MemberBit(const QMetaEnum &setType, int index)
{
    const auto value = static_cast<quint32>(setType.value(index));
    if (setType.isFlag())
        return qPopulationCount(value) == 1 ? value : 0;
    return value < 32 ? 1u << value : 0;
}

quint32 BitOfName(const QMetaEnum &setType, const QString &name)
{
    for (int i = 0; i < setType.keyCount(); ++i) {
        const quint32 bit = MemberBit(setType, i);
        if (bit != 0 && name.compare(QLatin1String(setType.key(i)), Qt::CaseInsensitive) == 0)
            return bit;
    }
    throw ETypeUtilsError(QStringLiteral("Invalid set item specified"));
}

} // namespace

void SetToNames(quint32 value, const QMetaEnum &setType, QStringList &names)
{
    names.clear();
    for (int shift = 0; shift < 32; ++shift) {
        const quint32 bit = 1u << shift;
        if ((value & bit) == 0)
            continue;
        for (int i = 0; i < setType.keyCount(); ++i) {
            if (MemberBit(setType, i) == bit) {
                names.append(QLatin1String(setType.key(i)));
                break;
            }
        }
    }
}

quint32 NamesToSet(const QStringList &names, const QMetaEnum &setType)
{
    quint32 result = 0;
    for (const QString &name : names)
        result |= BitOfName(setType, name);
    return result;
}
