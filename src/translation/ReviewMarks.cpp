#include "translation/ReviewMarks.h"

#include "msgfile/FileUtils.h"
#include "platform/OsError.h"
#include "translation/ExchangeText.h"
#include "translation/SafeFileWrite.h"
#include "translation/TranslationEntry.h"
#include "uitext/Format.h"
#include "uitext/HexDigit.h"
#include "uitext/MsgRes.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>

namespace {

constexpr char Signature[] = "# Lexivane review marks";
constexpr char HexDigits[] = "0123456789ABCDEF";

[[noreturn]] void Damaged(const char *key, int line, std::initializer_list<FormatArg> args = {})
{
    throw ETranslationFileError(Format(GetMsg(QString::fromLatin1(key)), args), line, 0);
}

void AppendEscaped(QByteArray &out, QByteArrayView text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u > 0x7E) {
            out += "\\x";
            out += HexDigits[u >> 4];
            out += HexDigits[u & 0xF];
        } else {
            out += c;
        }
    }
}

QByteArray Unescaped(QByteArrayView text, int line)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E)
            Damaged("ReviewBadByte", line, {int(u)});
        if (c != '\\') {
            bytes += c;
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == '\\' || next == 'n' || next == 't') {
            bytes += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
            ++i;
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
        const int low = i + 3 < text.size() ? HexDigitValue(text[i + 3]) : -1;
        if (next != 'x' || high < 0 || low < 0)
            Damaged("ReviewBadEscape", line);
        bytes += char(high << 4 | low);
        i += 3;
    }
    return bytes;
}

} // namespace

std::optional<QByteArray> TReviewMarks::PreviousOriginal(quint32 code) const
{
    const auto found = m_marks.constFind(code);
    if (found == m_marks.constEnd())
        return std::nullopt;
    return *found;
}

bool TReviewMarks::Mark(quint32 code, const QByteArray &previousOriginal)
{
    const auto found = m_marks.find(code);
    if (found != m_marks.end()) {
        if (*found == previousOriginal)
            return false;
        *found = previousOriginal;
        return true;
    }
    m_marks.insert(code, previousOriginal);
    return true;
}

int TReviewMarks::CountIn(const TMsgData &messages) const
{
    if (m_marks.isEmpty())
        return 0;
    int count = 0;
    for (int i = 0; i < messages.Count(); ++i) {
        if (m_marks.contains(messages.Codes(i)))
            ++count;
    }
    return count;
}

void TReviewMarks::KeepOnly(const TMsgData &messages)
{
    if (m_marks.isEmpty())
        return;
    QSet<quint32> codes;
    codes.reserve(messages.Count());
    for (int i = 0; i < messages.Count(); ++i)
        codes.insert(messages.Codes(i));
    m_marks.removeIf([&codes](const auto &mark) { return !codes.contains(mark.key()); });
}

std::vector<quint32> TReviewMarks::Codes() const
{
    std::vector<quint32> codes(m_marks.keyBegin(), m_marks.keyEnd());
    std::sort(codes.begin(), codes.end());
    return codes;
}

QString ReviewFileName(const QString &msgFileName)
{
    return QFileInfo(msgFileName).absoluteFilePath() + QStringLiteral(".review");
}

QByteArray FormatReviewMarks(const TReviewMarks &marks)
{
    QByteArray bytes(Signature);
    bytes += '\n';
    for (const quint32 code : marks.Codes()) {
        AppendCodeText(bytes, code);
        bytes += ' ';
        AppendEscaped(bytes, *marks.PreviousOriginal(code));
        bytes += '\n';
    }
    return bytes;
}

TReviewMarks ParseReviewMarks(QByteArrayView bytes)
{
    TReviewMarks marks;
    int line = 1;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            Damaged("ReviewNoLineEnd", line);
        const QByteArrayView text = bytes.sliced(start, end - start);
        if (line == 1) {
            if (text != QByteArrayView(Signature))
                Damaged("ReviewNoSignature", line);
        } else {
            quint32 code = 0;
            if (text.size() < 9 || text[8] != ' ' || !ParseCodeText(QString::fromLatin1(text.first(8)), code))
                Damaged("ReviewBadLine", line);
            if (marks.IsMarked(code))
                Damaged("ReviewCodeTwice", line, {code});
            marks.Mark(code, Unescaped(text.sliced(9), line));
        }
        ++line;
        start = end + 1;
    }
    if (line == 1)
        Damaged("ReviewNoSignature", line);
    return marks;
}

TReviewMarks LoadReviewMarks(const QString &msgFileName, QString &warning)
{
    warning.clear();
    const QString name = ReviewFileName(msgFileName);
    QFile file(name);
    if (!file.exists())
        return {};
    QString problem;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            try {
                return ParseReviewMarks(bytes);
            } catch (const ETranslationFileError &error) {
                problem = Format(GetMsg(QStringLiteral("ReviewFileLine")), {error.Line(), error.Message()});
            }
        }
    }
    if (problem.isEmpty())
        problem = file.errorString();
    warning = Format(GetMsg(QStringLiteral("ReviewFileDropped")), {name, problem});
    return {};
}

void SaveReviewMarks(const QString &msgFileName, const TReviewMarks &marks)
{
    const QString name = ReviewFileName(msgFileName);
    if (marks.IsEmpty()) {
        if (FileExists(name)) {
            DeleteFileChecked(name);
            SyncDirectory(GetFileDir(name));
        }
        return;
    }
    const QByteArray bytes = FormatReviewMarks(marks);
    WriteFileSafely(name, [&bytes](QIODevice &device) {
        if (device.write(bytes) != bytes.size())
            RaiseOSError(EIO);
    });
}
