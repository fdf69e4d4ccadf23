#include "platform/Registry.h"

#include "platform/PlatformPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <optional>
#include <vector>

namespace {

QString RootName(RegistryRoot root)
{
    return root == RegistryRoot::LocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                              : QStringLiteral("HKEY_CURRENT_USER");
}

// "SOFTWARE\\X\\\\Y\\" gives SOFTWARE, X, Y: empty components are dropped.
QStringList SplitKeyPath(const QString &path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

ERegistryException InvalidDataType(const QString &name)
{
    return ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
}

ERegistryException FailedToSetData(const QString &name)
{
    return ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
}

// A string value's text ends at its first NUL.
QString UpToNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

enum RegistryType : uint { RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4 };

const QString EditorHeader = QStringLiteral("Windows Registry Editor Version 5.00");

struct RegValue
{
    QString Name;
    uint Type = RegSz;
    bool Quoted = false; // Text holds the value, else Bytes (hex) or Dword
    QString Text;
    QByteArray Bytes;
    quint32 Dword = 0;
};

// Reads a quoted string starting at text[pos] == '"'; on success pos is just
// past the closing quote. \\ and \" are escapes; a backslash before another
// character is kept, which forgives hand-written Windows paths.
bool ReadQuoted(const QString &text, qsizetype &pos, QString &result)
{
    if (pos >= text.size() || text.at(pos) != QLatin1Char('"'))
        return false;
    result.clear();
    for (qsizetype i = pos + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return true;
        }
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == QLatin1Char('\\') || next == QLatin1Char('"')) {
                result += next;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return false; // no closing quote
}

QString Quote(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

bool IsHexDigits(QStringView digits, qsizetype maxLength)
{
    if (digits.isEmpty() || digits.size() > maxLength)
        return false;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        const bool hex = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!hex)
            return false;
    }
    return true;
}

std::optional<quint32> ParseDword(const QString &digits)
{
    if (!IsHexDigits(digits, 8))
        return std::nullopt;
    return digits.toUInt(nullptr, 16);
}

// "hex:01,02" or "hex(2):41,00,00,00", continuation lines already joined.
std::optional<RegValue> ParseHex(const QString &name, const QString &data)
{
    RegValue value;
    value.Name = name;
    value.Type = RegBinary;
    qsizetype pos = 3; // past "hex"
    if (pos < data.size() && data.at(pos) == QLatin1Char('(')) {
        const qsizetype close = data.indexOf(QLatin1Char(')'), pos);
        if (close < 0)
            return std::nullopt;
        const QString type = data.mid(pos + 1, close - pos - 1).trimmed();
        if (!IsHexDigits(type, 8))
            return std::nullopt;
        value.Type = type.toUInt(nullptr, 16);
        pos = close + 1;
    }
    if (pos >= data.size() || data.at(pos) != QLatin1Char(':'))
        return std::nullopt;
    const QStringList bytes = data.mid(pos + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &byte : bytes) {
        const QString digits = byte.trimmed();
        if (!IsHexDigits(digits, 2))
            return std::nullopt;
        value.Bytes.append(static_cast<char>(digits.toUInt(nullptr, 16)));
    }
    return value;
}

QString HexBytes(const QByteArray &bytes)
{
    QStringList parts;
    parts.reserve(bytes.size());
    for (char byte : bytes)
        parts << QStringLiteral("%1").arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char(','));
}

QString FromUtf16Le(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(static_cast<ushort>(uchar(bytes.at(i)) | (uchar(bytes.at(i + 1)) << 8)));
    return text;
}

QByteArray ToUtf16Le(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(2 * text.size() + 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    bytes.append(2, '\0'); // the terminating NUL, as the registry stores it
    return bytes;
}

bool HasControlCharacter(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return true;
    }
    return false;
}

QStringList DecodeLines(const QByteArray &bytes)
{
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE); // drops the byte order mark
        text = decoder.decode(bytes);
    } else {
        text = QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line break
    return lines;
}

QString KeyId(const QStringList &path)
{
    return path.join(QLatin1Char('\\')).toCaseFolded();
}

} // namespace

// One root as a .reg file: its lines as read, with an index of the key
// sections and value entries found in them. Changes edit the lines, so that
// comments, layout and lines this code does not understand are kept.
class TRegistry::Hive
{
public:
    explicit Hive(RegistryRoot root) : m_root(root), m_rootName(RootName(root)) {}

    void Load();
    QStringList Spelling(const QStringList &path) const;
    bool KeyExists(const QStringList &path) const;
    bool CreateKey(const QStringList &path);
    bool ValueExists(const QStringList &path, const QString &name) const { return FindEntry(path, name) >= 0; }
    QString ReadString(const QStringList &path, const QString &name) const;
    bool WriteString(const QStringList &path, const QString &name, const QString &value);

private:
    struct Section
    {
        QStringList Path;
        QString Id;
        int LastLine; // its header, or the last line of its last value
    };
    struct Entry
    {
        int SectionIndex;
        int FirstLine;
        int LastLine;
        RegValue Value;
    };

    QString FileName() const;
    void Parse();
    int ParseSectionHeader(const QString &line, int lineIndex);
    std::optional<RegValue> ParseValue(int lineIndex, int &lastLine) const;
    int FindEntry(const QStringList &path, const QString &name) const;
    int FindSection(const QStringList &path) const;
    void AppendSection(QStringList &lines, const QStringList &path) const;
    bool Save(const QStringList &lines);

    RegistryRoot m_root;
    QString m_rootName;
    bool m_readable = true; // false: the file exists but could not be read
    QStringList m_lines;
    std::vector<Section> m_sections;
    std::vector<Entry> m_entries;
};

QString TRegistry::Hive::FileName() const
{
    const QString folder = m_root == RegistryRoot::LocalMachine ? SystemConfigDir() : UserConfigDir();
    return folder + QLatin1Char('/') + m_rootName + QStringLiteral(".reg");
}

void TRegistry::Hive::Load()
{
    m_lines.clear();
    m_readable = true;
    QFile file(FileName());
    if (file.exists()) {
        if (file.open(QIODevice::ReadOnly))
            m_lines = DecodeLines(file.readAll());
        else
            m_readable = false; // never overwrite what could not be read
    }
    Parse();
}

void TRegistry::Hive::Parse()
{
    m_sections.clear();
    m_entries.clear();
    int section = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString line = m_lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            section = ParseSectionHeader(line, i);
            continue;
        }
        if (section < 0)
            continue; // a value outside any key of this root
        int lastLine = i;
        if (std::optional<RegValue> value = ParseValue(i, lastLine)) {
            m_entries.push_back({section, i, lastLine, *value});
            m_sections[section].LastLine = lastLine;
            i = lastLine;
        }
    }
}

// "[HKEY_LOCAL_MACHINE\SOFTWARE\X]" adds a section and returns its index; a
// deletion ("[-...]"), another root or a malformed header gives -1, so the
// values below it are skipped.
int TRegistry::Hive::ParseSectionHeader(const QString &line, int lineIndex)
{
    if (!line.endsWith(QLatin1Char(']')))
        return -1;
    const QString inner = line.mid(1, line.size() - 2).trimmed();
    if (inner.startsWith(QLatin1Char('-')))
        return -1;
    QStringList path = SplitKeyPath(inner);
    if (path.isEmpty() || path.first().compare(m_rootName, Qt::CaseInsensitive) != 0)
        return -1;
    path.removeFirst();
    m_sections.push_back({path, KeyId(path), lineIndex});
    return static_cast<int>(m_sections.size()) - 1;
}

// A value line: "Name"=data or @=data. Hex data may run on over following
// lines that end in a backslash; lastLine tells the last line used.
std::optional<RegValue> TRegistry::Hive::ParseValue(int lineIndex, int &lastLine) const
{
    const QString line = m_lines.at(lineIndex).trimmed();
    QString name;
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@')))
        pos = 1;
    else if (!ReadQuoted(line, pos, name))
        return std::nullopt;
    const QString afterName = line.mid(pos).trimmed();
    if (!afterName.startsWith(QLatin1Char('=')))
        return std::nullopt;
    QString data = afterName.mid(1).trimmed();

    if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
        int current = lineIndex;
        while (data.endsWith(QLatin1Char('\\')) && current + 1 < m_lines.size()) {
            data.chop(1);
            data += m_lines.at(++current).trimmed();
        }
        std::optional<RegValue> value = ParseHex(name, data);
        if (value)
            lastLine = current;
        return value;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const std::optional<quint32> number = ParseDword(data.mid(6).trimmed());
        if (!number)
            return std::nullopt;
        RegValue value;
        value.Name = name;
        value.Type = RegDword;
        value.Dword = *number;
        return value;
    }
    qsizetype dataPos = 0;
    RegValue value;
    if (!ReadQuoted(data, dataPos, value.Text) || !data.mid(dataPos).trimmed().isEmpty())
        return std::nullopt; // also "=-", which deletes a value on import
    value.Name = name;
    value.Type = RegSz;
    value.Quoted = true;
    return value;
}

bool TRegistry::Hive::KeyExists(const QStringList &path) const
{
    if (path.isEmpty())
        return true; // the root
    const QString id = KeyId(path);
    const QString parentOf = id + QLatin1Char('\\');
    for (const Section &section : m_sections) {
        if (section.Id == id || section.Id.startsWith(parentOf))
            return true;
    }
    return false;
}

// The path with each component spelled as the file already spells it, so a
// key opened as "software\x" is written under "[...\SOFTWARE\X]".
QStringList TRegistry::Hive::Spelling(const QStringList &path) const
{
    QStringList spelled = path;
    for (int depth = 0; depth < path.size(); ++depth) {
        const QString prefixId = KeyId(path.mid(0, depth));
        for (const Section &section : m_sections) {
            if (section.Path.size() > depth && KeyId(section.Path.mid(0, depth)) == prefixId
                && section.Path.at(depth).compare(path.at(depth), Qt::CaseInsensitive) == 0) {
                spelled[depth] = section.Path.at(depth);
                break;
            }
        }
    }
    return spelled;
}

// The last entry wins, as when the file is imported.
int TRegistry::Hive::FindEntry(const QStringList &path, const QString &name) const
{
    const QString id = KeyId(path);
    for (int i = static_cast<int>(m_entries.size()) - 1; i >= 0; --i) {
        const Entry &entry = m_entries[i];
        if (m_sections[entry.SectionIndex].Id == id && entry.Value.Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TRegistry::Hive::FindSection(const QStringList &path) const
{
    const QString id = KeyId(path);
    for (int i = static_cast<int>(m_sections.size()) - 1; i >= 0; --i) {
        if (m_sections[i].Id == id)
            return i;
    }
    return -1;
}

QString TRegistry::Hive::ReadString(const QStringList &path, const QString &name) const
{
    const int index = FindEntry(path, name);
    if (index < 0)
        return {};
    const RegValue &value = m_entries[index].Value;
    if (value.Type != RegSz && value.Type != RegExpandSz)
        throw InvalidDataType(name);
    return UpToNul(value.Quoted ? value.Text : FromUtf16Le(value.Bytes));
}

void TRegistry::Hive::AppendSection(QStringList &lines, const QStringList &path) const
{
    if (lines.isEmpty())
        lines << EditorHeader;
    if (!lines.last().trimmed().isEmpty())
        lines << QString();
    const QString key = path.isEmpty() ? m_rootName : m_rootName + QLatin1Char('\\') + path.join(QLatin1Char('\\'));
    lines << QLatin1Char('[') + key + QLatin1Char(']');
}

bool TRegistry::Hive::CreateKey(const QStringList &path)
{
    Load();
    if (KeyExists(path))
        return true;
    if (!m_readable)
        return false;
    QStringList lines = m_lines;
    AppendSection(lines, Spelling(path));
    return Save(lines);
}

bool TRegistry::Hive::WriteString(const QStringList &path, const QString &name, const QString &value)
{
    if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        return false; // a name cannot span lines
    Load(); // another object may have changed the file since the key was opened
    if (!m_readable)
        return false;

    QStringList lines = m_lines;
    const int entryIndex = FindEntry(path, name);
    const QString spelledName = entryIndex >= 0 ? m_entries[entryIndex].Value.Name : name;
    const QString valueLine = (spelledName.isEmpty() ? QStringLiteral("@") : Quote(spelledName)) + QLatin1Char('=')
        + (HasControlCharacter(value) ? QStringLiteral("hex(1):") + HexBytes(ToUtf16Le(value)) : Quote(value));

    if (entryIndex >= 0) {
        const Entry &entry = m_entries[entryIndex];
        lines.erase(lines.begin() + entry.FirstLine, lines.begin() + entry.LastLine + 1);
        lines.insert(entry.FirstLine, valueLine);
    } else if (const int section = FindSection(path); section >= 0) {
        lines.insert(m_sections[section].LastLine + 1, valueLine);
    } else {
        AppendSection(lines, Spelling(path));
        lines << valueLine;
    }
    return Save(lines);
}

bool TRegistry::Hive::Save(const QStringList &lines)
{
    const QString fileName = FileName();
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return false;
    m_lines = lines;
    Parse();
    return true;
}

TRegistry::TRegistry(RegistryRoot root)
    : m_hive(std::make_unique<Hive>(root))
{
}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKey(const QString &key, bool canCreate)
{
    return Open(key, canCreate, false);
}

bool TRegistry::OpenKeyReadOnly(const QString &key)
{
    return Open(key, false, true);
}

// On failure the key open before (if any) stays open.
bool TRegistry::Open(const QString &key, bool canCreate, bool readOnly)
{
    const QStringList path = ResolvePath(key);
    m_hive->Load();
    if (!m_hive->KeyExists(path) && !(canCreate && m_hive->CreateKey(path)))
        return false;
    m_currentPath = m_hive->Spelling(path).join(QLatin1Char('\\'));
    m_open = true;
    m_readOnly = readOnly;
    return true;
}

QStringList TRegistry::ResolvePath(const QString &key) const
{
    QStringList path;
    if (!key.startsWith(QLatin1Char('\\')))
        path = CurrentComponents();
    path += SplitKeyPath(key);
    return path;
}

QStringList TRegistry::CurrentComponents() const
{
    return m_open ? SplitKeyPath(m_currentPath) : QStringList();
}

QString TRegistry::CurrentPath() const
{
    return m_open ? m_currentPath : QString();
}

bool TRegistry::ValueExists(const QString &name) const
{
    return m_open && m_hive->ValueExists(CurrentComponents(), name);
}

QString TRegistry::ReadString(const QString &name) const
{
    if (!m_open)
        return {};
    return m_hive->ReadString(CurrentComponents(), name);
}

void TRegistry::WriteString(const QString &name, const QString &value)
{
    if (!m_open || m_readOnly || !m_hive->WriteString(CurrentComponents(), name, value))
        throw FailedToSetData(name);
}
