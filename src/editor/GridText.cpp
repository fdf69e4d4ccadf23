#include "editor/GridText.h"

#include "editor/EditSession.h"
#include "platform/CodePages.h"

#include <cstring>

namespace {

constexpr qsizetype TabWidth = 8;

bool Contains(QByteArrayView text, char c)
{
    return !text.isEmpty() && std::memchr(text.data(), c, size_t(text.size())) != nullptr;
}

} // namespace

QByteArrayView ToGridBytes(QByteArrayView text, bool oem, QByteArray &buffer)
{
    const bool expand = Contains(text, '\t') || Contains(text, '\n');
    if (!expand && !oem)
        return text;
    buffer.clear(); // keeps the capacity for the next text
    if (!expand) {
        buffer.append(text);
    } else {
        for (const char c : text) {
            if (c == '\t')
                buffer.append(TabWidth - buffer.size() % TabWidth, ' ');
            else if (c == '\n')
                buffer.append("\\n", 2);
            else
                buffer.append(c);
        }
    }
    if (oem)
        OemToCharA(buffer);
    return buffer;
}

QByteArray ToGridText(const QByteArray &text, bool oem)
{
    QByteArray buffer;
    const QByteArrayView shown = ToGridBytes(text, oem, buffer);
    return shown.data() == buffer.constData() ? buffer : text;
}

QByteArrayView GridCellBytes(const TEditSession &session, int index, bool fromOriginal, QByteArray &buffer)
{
    if (fromOriginal)
        return ToGridBytes(session.TextView(index, true), session.OriginalOem(index), buffer);
    return ToGridBytes(session.TextView(index, false), session.Messages()->Oem(index), buffer);
}
