#include "platform/Registry.h"

#include "platform/TextConversion.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kKeyLine = "[HKEY_CURRENT_USER\\Software\\Ferrox Software\\Carvelle]";
constexpr std::string_view kFolderName = "Ferrox Software";
constexpr std::string_view kFileName = "Carvelle.reg";

// The settings are a few hundred bytes; anything far larger is not ours to parse.
constexpr std::size_t kMaxFileSize = 16u * 1024u * 1024u;

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<BYTE> DwordBytes(DWORD value) {
    return {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
            static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>((value >> 24) & 0xFF)};
}

std::vector<BYTE> StringBytes(std::u16string_view text) {
    std::vector<BYTE> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>((c >> 8) & 0xFF));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// A quoted text at the start of s ("..." with \\ and \" escaped); the rest follows the quote.
bool ParseQuoted(std::string_view& s, std::string& out) {
    if (s.empty() || s.front() != '"')
        return false;
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return false;
            out.push_back(s[++i]);
        } else {
            out.push_back(c);
        }
    }
    return false; // no closing quote: a cut-off line
}

// "cd,cc,cc,3e" (spaces allowed around the commas); an empty list is zero bytes.
bool ParseHexBytes(std::string_view s, std::vector<BYTE>& out) {
    out.clear();
    s = Trim(s);
    if (s.empty())
        return true;
    while (true) {
        s = Trim(s);
        if (s.size() < 2)
            return false;
        const int hi = HexDigit(s[0]);
        const int lo = HexDigit(s[1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<BYTE>(hi * 16 + lo));
        s = Trim(s.substr(2));
        if (s.empty())
            return true;
        if (s.front() != ',')
            return false;
        s.remove_prefix(1);
    }
}

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        c = AsciiLower(c);
    return lower;
}

} // namespace

bool RegistryText::ParseValueLine(std::string_view line, std::string& name, DWORD& type,
                                  std::vector<BYTE>& data) {
    if (line.empty())
        return false;
    if (line.front() == '@') {
        name.clear();
        line.remove_prefix(1);
    } else if (!ParseQuoted(line, name)) {
        return false;
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=')
        return false;
    line = Trim(line.substr(1));

    if (!line.empty() && line.front() == '"') {
        std::string text;
        if (!ParseQuoted(line, text) || !Trim(line).empty())
            return false;
        type = REG_SZ;
        data = StringBytes(Utf8ToWide(text));
        return true;
    }
    if (line.substr(0, 6) == "dword:") {
        const std::string_view digits = line.substr(6);
        if (digits.size() != 8) // a cut-off dword must not read as a smaller number
            return false;
        DWORD value = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                return false;
            value = value * 16 + static_cast<DWORD>(d);
        }
        type = REG_DWORD;
        data = DwordBytes(value);
        return true;
    }
    if (line.substr(0, 3) != "hex")
        return false;
    line.remove_prefix(3);
    type = REG_BINARY;
    if (!line.empty() && line.front() == '(') {
        const std::size_t close = line.find(')');
        if (close == std::string_view::npos || close == 1 || close > 9)
            return false;
        DWORD t = 0;
        for (char c : line.substr(1, close - 1)) {
            const int d = HexDigit(c);
            if (d < 0)
                return false;
            t = t * 16 + static_cast<DWORD>(d);
        }
        type = t;
        line.remove_prefix(close + 1);
    }
    if (line.empty() || line.front() != ':')
        return false;
    return ParseHexBytes(line.substr(1), data);
}

namespace {

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// The text form of a REG_SZ value, when it carries the bytes exactly: one terminator at the end,
// no line breaks, and text that survives the trip through UTF-8.
std::optional<std::string> PlainText(const std::vector<BYTE>& data) {
    if (data.size() < 2 || data.size() % 2 != 0)
        return std::nullopt;
    std::u16string text;
    const std::size_t count = data.size() / 2 - 1;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        text.push_back(static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
    if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0)
        return std::nullopt;
    for (char16_t c : text) {
        if (c == 0 || c == u'\n' || c == u'\r')
            return std::nullopt;
    }
    std::string utf8 = WideToUtf8(text);
    if (Utf8ToWide(utf8) != text) // lone surrogates
        return std::nullopt;
    return utf8;
}

} // namespace

std::string RegistryText::FormatValueLine(const std::string& name, DWORD type,
                                          const std::vector<BYTE>& data) {
    std::string line = name.empty() ? std::string("@") : "\"" + Escape(name) + "\"";
    line += '=';
    if (type == REG_SZ) {
        if (std::optional<std::string> text = PlainText(data)) {
            line += "\"" + Escape(*text) + "\"";
            return line;
        }
    }
    if (type == REG_DWORD && data.size() == 4) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "dword:%08x",
                      static_cast<unsigned>(data[0] | (data[1] << 8) | (data[2] << 16)) |
                          (static_cast<unsigned>(data[3]) << 24));
        line += buf;
        return line;
    }
    if (type == REG_BINARY) {
        line += "hex:";
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(type));
        line += buf;
    }
    static constexpr char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0)
            line += ',';
        line += digits[data[i] >> 4];
        line += digits[data[i] & 0xF];
    }
    return line;
}

namespace {

// Files saved by the registry editor are UTF-16 with a byte-order mark; ours are UTF-8.
std::string DecodeText(std::string_view raw) {
    if (raw.substr(0, 2) == "\xFF\xFE") {
        std::u16string wide;
        wide.reserve(raw.size() / 2);
        for (std::size_t i = 2; i + 1 < raw.size(); i += 2)
            wide.push_back(
                static_cast<char16_t>(static_cast<BYTE>(raw[i]) | (static_cast<BYTE>(raw[i + 1]) << 8)));
        return WideToUtf8(wide);
    }
    if (raw.substr(0, 3) == "\xEF\xBB\xBF")
        raw.remove_prefix(3);
    return std::string(raw);
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty())
        return false;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string CRegistryKey::SettingsFilePath() {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') { // a relative value is to be ignored
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* pw = ::getpwuid(::getuid());
            home = (pw != nullptr) ? pw->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] == '\0')
            return {};
        base = home;
        while (base.size() > 1 && base.back() == '/')
            base.pop_back();
        base += "/.config";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/" + std::string(kFolderName) + "/" + std::string(kFileName);
}

CRegistryKey::CRegistryKey() : m_Path(SettingsFilePath()) {}

CRegistryKey::CRegistryKey(std::string filePath) : m_Path(std::move(filePath)) {}

CRegistryKey::LoadResult CRegistryKey::Load() {
    m_Values.clear();
    m_Index.clear();
    if (m_Path.empty())
        return LoadResult::Unreadable;
    const int fd = ::open(m_Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Unreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return LoadResult::Unreadable;
    }
    std::string raw;
    bool tooLarge = false;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return LoadResult::Unreadable;
        }
        if (n == 0)
            break;
        if (raw.size() + static_cast<std::size_t>(n) > kMaxFileSize) {
            tooLarge = true; // counts as a file of no readable values
            break;
        }
        raw.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (tooLarge)
        return LoadResult::Loaded;

    const std::string text = DecodeText(raw);
    bool inKey = false;
    std::string logical;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        // Long hex lists may be wrapped with a trailing backslash.
        if (!line.empty() && line.back() == '\\' && pos < text.size()) {
            logical.append(line.substr(0, line.size() - 1));
            continue;
        }
        logical.append(line);
        const std::string_view l = Trim(logical);
        if (!l.empty() && l.front() == '[') {
            inKey = EqualNoCase(l, kKeyLine);
        } else if (inKey && !l.empty() && (l.front() == '"' || l.front() == '@')) {
            Value v;
            if (RegistryText::ParseValueLine(l, v.Name, v.Type, v.Data)) {
                const auto [at, added] = m_Index.try_emplace(LowerName(v.Name), m_Values.size());
                if (added)
                    m_Values.push_back(std::move(v));
                else
                    m_Values[at->second] = std::move(v); // the last one counts
            }
        }
        logical.clear();
    }
    return LoadResult::Loaded;
}

bool CRegistryKey::Open() {
    Close();
    if (Load() != LoadResult::Loaded) {
        m_Values.clear();
        return false;
    }
    m_Open = true;
    return true;
}

bool CRegistryKey::Create() {
    Close();
    if (Load() == LoadResult::Unreadable) {
        m_Values.clear();
        return false;
    }
    m_Open = true;
    m_Writable = true;
    return true;
}

void CRegistryKey::Close() {
    m_Values.clear();
    m_Index.clear();
    m_Open = false;
    m_Writable = false;
}

const CRegistryKey::Value* CRegistryKey::Find(std::string_view name) const {
    const auto found = m_Index.find(LowerName(name));
    return found == m_Index.end() ? nullptr : &m_Values[found->second];
}

CRegistryKey::Value* CRegistryKey::Find(std::string_view name) {
    return const_cast<Value*>(static_cast<const CRegistryKey*>(this)->Find(name));
}

bool CRegistryKey::QueryValue(std::string_view name, DWORD& type, std::vector<BYTE>& data) const {
    const Value* v = m_Open ? Find(name) : nullptr;
    if (v == nullptr)
        return false;
    type = v->Type;
    data = v->Data;
    return true;
}

std::optional<DWORD> CRegistryKey::QueryDword(std::string_view name) const {
    const Value* v = m_Open ? Find(name) : nullptr;
    if (v == nullptr || v->Type != REG_DWORD || v->Data.size() != 4)
        return std::nullopt;
    const std::vector<BYTE>& d = v->Data;
    return static_cast<DWORD>(d[0]) | (static_cast<DWORD>(d[1]) << 8) | (static_cast<DWORD>(d[2]) << 16) |
           (static_cast<DWORD>(d[3]) << 24);
}

std::optional<std::u16string> CRegistryKey::QueryString(std::string_view name) const {
    const Value* v = m_Open ? Find(name) : nullptr;
    if (v == nullptr || (v->Type != REG_SZ && v->Type != REG_EXPAND_SZ))
        return std::nullopt;
    const std::vector<BYTE>& d = v->Data;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(d[i] | (d[i + 1] << 8));
        if (c == 0)
            return text;
        text.push_back(c);
    }
    return std::nullopt; // not terminated
}

std::optional<std::vector<BYTE>> CRegistryKey::QueryBinary(std::string_view name) const {
    const Value* v = m_Open ? Find(name) : nullptr;
    if (v == nullptr || v->Type != REG_BINARY)
        return std::nullopt;
    return v->Data;
}

bool CRegistryKey::SetValue(std::string_view name, DWORD type, const void* data, std::size_t size) {
    if (!m_Writable || (data == nullptr && size != 0))
        return false;
    for (char c : name) {
        if (c == '\n' || c == '\r' || c == '\0')
            return false; // cannot stand on one line
    }
    const BYTE* bytes = static_cast<const BYTE*>(data);
    std::vector<BYTE> copy(bytes, bytes + size);
    if (Value* old = Find(name); old != nullptr) {
        old->Type = type;
        old->Data = std::move(copy);
    } else {
        m_Index.emplace(LowerName(name), m_Values.size());
        m_Values.push_back(Value{std::string(name), type, std::move(copy)});
    }
    return true;
}

bool CRegistryKey::SetDword(std::string_view name, DWORD value) {
    const std::vector<BYTE> bytes = DwordBytes(value);
    return SetValue(name, REG_DWORD, bytes.data(), bytes.size());
}

bool CRegistryKey::SetString(std::string_view name, std::u16string_view text) {
    const std::vector<BYTE> bytes = StringBytes(text);
    return SetValue(name, REG_SZ, bytes.data(), bytes.size());
}

bool CRegistryKey::SetBinary(std::string_view name, const void* data, std::size_t size) {
    return SetValue(name, REG_BINARY, data, size);
}

bool CRegistryKey::DeleteValue(std::string_view name) {
    if (!m_Writable)
        return false;
    const auto found = m_Index.find(LowerName(name));
    if (found == m_Index.end())
        return false;
    m_Values.erase(m_Values.begin() + static_cast<std::ptrdiff_t>(found->second));
    // Later values moved up by one.
    m_Index.clear();
    for (std::size_t i = 0; i < m_Values.size(); ++i)
        m_Index.emplace(LowerName(m_Values[i].Name), i);
    return true;
}

std::vector<std::string> CRegistryKey::ValueNames() const {
    std::vector<std::string> names;
    for (const Value& v : m_Values)
        names.push_back(v.Name);
    return names;
}

bool CRegistryKey::Commit() {
    if (!m_Writable || m_Path.empty())
        return false;

    // Write beside the real file when the settings file is a link (kept in a dotfiles folder).
    std::string target = m_Path;
    struct stat lst {};
    if (::lstat(m_Path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* real = ::realpath(m_Path.c_str(), nullptr); real != nullptr) {
            target = real;
            std::free(real);
        }
    }
    const std::size_t slash = target.find_last_of('/');
    const std::string folder = (slash == std::string::npos) ? std::string(".") : target.substr(0, slash);
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder))
        return false;

    std::string text(kHeader);
    text += "\n\n";
    text += kKeyLine;
    text += '\n';
    for (const Value& v : m_Values) {
        text += RegistryText::FormatValueLine(v.Name, v.Type, v.Data);
        text += '\n';
    }
    text += '\n';

    std::string tempPath = target + ".XXXXXX";
    const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here does not undo the write.
    if (const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}
