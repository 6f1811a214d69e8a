#include "exchange/CCsvReader.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr qint64 kSniffBytes = 64 * 1024;
constexpr int kSniffLines = 20;

// The length of a valid UTF-8 sequence at p, or 0; at the end of the sample a cut sequence counts
// as valid when cut is set.
int Utf8SequenceLength(const unsigned char* p, qsizetype left, bool cut) {
    const unsigned char c = p[0];
    int length = 0;
    unsigned min = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return cut && left > 0 ? static_cast<int>(left) : 0;
    unsigned value = c & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

bool IsValidUtf8(const char* text, qsizetype size, bool cutAtEnd) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (qsizetype i = 0; i < size;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = Utf8SequenceLength(p + i, size - i, cutAtEnd);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool IsAscii(const std::string& text) {
    // Eight bytes at a time: no high bit in any of them.
    std::size_t i = 0;
    std::uint64_t high = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        high |= word;
    }
    for (; i < text.size(); ++i)
        high |= static_cast<unsigned char>(text[i]);
    return (high & 0x8080808080808080ULL) == 0;
}

bool IsBlank(const std::string& text) {
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\f' && c != '\v')
            return false;
    }
    return true;
}

} // namespace

CCsvReader::CCsvReader() = default;
CCsvReader::~CCsvReader() = default;

CCsvReader::OpenResult CCsvReader::Open(const QString& path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return OpenNotFound;
    return Open(std::move(file));
}

CCsvReader::OpenResult CCsvReader::Open(std::unique_ptr<QIODevice> device) {
    m_Device = std::move(device);
    if (!m_Device || !m_Device->isReadable())
        return OpenNotFound;
    m_Size = m_Device->size();
    const OpenResult result = Sniff();
    if (result == OpenOK)
        Rewind();
    return result;
}

CCsvReader::OpenResult CCsvReader::Sniff() {
    m_Device->seek(0);
    const QByteArray head = m_Device->read(kSniffBytes);
    if (head.isEmpty())
        return OpenEmpty;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return OpenDataFile;
    m_Start = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    // Control characters other than tab, line ends and form feed: a picture, a program, UTF-16.
    qsizetype control = 0;
    for (const char c : head) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0)
            return OpenNotText;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f')
            ++control;
    }
    if (control * 100 > head.size())
        return OpenNotText;
    const QByteArray text = head.mid(m_Start);
    if (text.trimmed().isEmpty())
        return OpenEmpty;
    m_Latin1 = !IsValidUtf8(text.constData(), text.size(), head.size() == kSniffBytes);

    // The delimiter that most of the first lines use most, outside quotes: a title line above
    // the header has none, and decimal commas in the rows are fewer than the semicolons.
    const char delimiters[] = {',', ';', '\t'};
    int votes[3] = {};
    int totals[3] = {};
    int counts[3] = {};
    int lines = 0;
    bool quoted = false;
    auto endLine = [&]() {
        const int most = std::max({counts[0], counts[1], counts[2]});
        for (int i = 0; i < 3 && most > 0; ++i) {
            if (counts[i] == most) {
                ++votes[i];
                break;
            }
        }
        for (int i = 0; i < 3; ++i) {
            totals[i] += counts[i];
            counts[i] = 0;
        }
        ++lines;
    };
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '\n') {
            endLine();
            if (lines == kSniffLines)
                break;
        } else if (!quoted) {
            for (int i = 0; i < 3; ++i) {
                if (c == delimiters[i])
                    ++counts[i];
            }
        }
    }
    if (lines < kSniffLines)
        endLine();
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (votes[i] > votes[best] || (votes[i] == votes[best] && totals[i] > totals[best]))
            best = i;
    }
    m_Delimiter = delimiters[best];
    return OpenOK;
}

bool CCsvReader::Rewind() {
    m_Buffer.clear();
    m_Pos = 0;
    m_Line = 1;
    m_AtEnd = false;
    m_Consumed = m_Start;
    return m_Device && m_Device->seek(m_Start);
}

bool CCsvReader::Fill() {
    if (m_AtEnd)
        return false;
    m_Buffer = m_Device->read(kChunk);
    m_Pos = 0;
    if (m_Buffer.isEmpty()) {
        m_AtEnd = true;
        return false;
    }
    return true;
}

QString CCsvReader::Decode(const std::string& text) {
    const auto size = static_cast<qsizetype>(text.size());
    if (m_Latin1 || IsAscii(text))
        return QString::fromLatin1(text.data(), size);
    if (!IsValidUtf8(text.data(), size, false))
        m_BadText = true;
    return QString::fromUtf8(text.data(), size);
}

CCsvReader::ReadResult CCsvReader::Next(QStringList& fields, qint64& line) {
    enum State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    for (;;) {
        fields.clear();
        m_BadText = false;
        // The fields' bytes; the strings are kept from record to record, so they seldom allocate.
        std::size_t count = 1;
        if (m_Raw.empty())
            m_Raw.emplace_back();
        m_Raw[0].clear();
        m_Quoted.assign(1, false);
        auto nextField = [&]() {
            if (count == m_Raw.size())
                m_Raw.emplace_back();
            m_Raw[count++].clear();
            m_Quoted.push_back(false);
        };
        qint64 recordBytes = 0;
        bool any = false;
        bool anyQuoted = false;
        State state = FieldStart;
        line = m_Line;
        bool ended = false;
        while (!ended) {
            if (m_Pos >= m_Buffer.size() && !Fill()) {
                if (!m_Device->atEnd())
                    return ReadFailed;
                if (!any)
                    return ReadEnd;
                // Taking the rest of the file as one value would lose every record after it.
                if (state == Quoted)
                    return ReadUnclosedQuote;
                break;
            }
            const char* data = m_Buffer.constData();
            const qsizetype size = m_Buffer.size();
            // Plain text runs up to the next mark in one step.
            qsizetype end = m_Pos;
            if (state == Unquoted || (state == FieldStart && data[m_Pos] != '"')) {
                while (end < size && data[end] != m_Delimiter && data[end] != '\n' && data[end] != '\r')
                    ++end;
                if (end > m_Pos)
                    state = Unquoted;
            } else if (state == Quoted) {
                while (end < size && data[end] != '"') {
                    if (data[end] == '\n')
                        ++m_Line;
                    ++end;
                }
            }
            if (end > m_Pos) {
                const qsizetype n = end - m_Pos;
                if ((recordBytes += n) > m_RecordLimit)
                    return ReadTooLong;
                m_Raw[count - 1].append(data + m_Pos, static_cast<std::size_t>(n));
                m_Pos = end;
                m_Consumed += n;
                any = true;
                continue;
            }

            const char c = data[m_Pos++];
            ++m_Consumed;
            any = true;
            if (++recordBytes > m_RecordLimit)
                return ReadTooLong;
            switch (state) {
            case FieldStart:
                if (c == '"') {
                    state = Quoted;
                    anyQuoted = true;
                    m_Quoted[count - 1] = true;
                    break;
                }
                state = Unquoted;
                [[fallthrough]];
            case Unquoted:
            case QuoteInQuoted:
                if (c == '"' && state == QuoteInQuoted) {
                    m_Raw[count - 1] += '"';
                    state = Quoted;
                } else if (c == m_Delimiter) {
                    nextField();
                    state = FieldStart;
                } else if (c == '\n' || c == '\r') {
                    ++m_Line;
                    if (c == '\r') {
                        // A CR LF pair is one line end.
                        if (m_Pos >= m_Buffer.size())
                            Fill();
                        if (m_Pos < m_Buffer.size() && m_Buffer.at(m_Pos) == '\n') {
                            ++m_Pos;
                            ++m_Consumed;
                        }
                    }
                    ended = true;
                } else {
                    // Text after a closing quote is kept as it stands.
                    m_Raw[count - 1] += c;
                    state = Unquoted;
                }
                break;
            case Quoted:
                // Only a quote comes here: the run above took everything else.
                state = QuoteInQuoted;
                break;
            }
        }
        bool empty = !anyQuoted;
        for (std::size_t i = 0; i < count && empty; ++i)
            empty = IsBlank(m_Raw[i]);
        if (empty)
            continue; // an empty line, or one of delimiters only
        fields.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = 0; i < count; ++i) {
            std::string& raw = m_Raw[i];
            if (!m_Quoted[i]) {
                const std::size_t first = raw.find_first_not_of(" \t");
                const std::size_t last = raw.find_last_not_of(" \t");
                if (first == std::string::npos)
                    raw.clear();
                else if (first > 0 || last + 1 < raw.size())
                    raw = raw.substr(first, last - first + 1);
            }
            fields.push_back(Decode(raw));
        }
        return ReadRecord;
    }
}
