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
    if (!expand) {
        buffer = text.toByteArray();
    } else {
        // A byte gives at most TabWidth (a tab at a tab stop): room for all
        // of them once, then written through a pointer (Find looks at every
        // text of a file this way).
        buffer.resize(text.size() * TabWidth);
        char *const start = buffer.data();
        char *out = start;
        for (const char c : text) {
            if (c == '\t') {
                const qsizetype blanks = TabWidth - (out - start) % TabWidth;
                std::memset(out, ' ', size_t(blanks));
                out += blanks;
            } else if (c == '\n') {
                out[0] = '\\';
                out[1] = 'n';
                out += 2;
            } else {
                *out++ = c;
            }
        }
        buffer.resize(out - start);
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
