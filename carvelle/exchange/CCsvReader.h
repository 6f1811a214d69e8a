#pragma once
// Reads a CSV file (RFC 4180) one record at a time, so a file of any size is never held whole:
// it looks at the first bytes to refuse what is not text, skips a UTF-8 byte-order mark, falls
// back to Latin-1 when the start is not valid UTF-8, and finds the delimiter from the first lines.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CCsvReader {
public:
    enum OpenResult { OpenOK, OpenNotFound, OpenNotText, OpenDataFile, OpenEmpty };
    enum ReadResult { ReadRecord, ReadEnd, ReadTooLong, ReadUnclosedQuote, ReadFailed };

    CCsvReader();
    ~CCsvReader();
    CCsvReader(const CCsvReader&) = delete;
    CCsvReader& operator=(const CCsvReader&) = delete;

    OpenResult Open(const QString& path);
    // Reads from the given device, opened for reading and able to seek back to its start.
    OpenResult Open(std::unique_ptr<QIODevice> device);

    // ',' ';' or '\t': the one that most of the first lines use most (a comma when they use none);
    // may be changed.
    char Delimiter() const { return m_Delimiter; }
    void SetDelimiter(char delimiter) { m_Delimiter = delimiter; }
    // True when the file is read as Latin-1 because its start is not valid UTF-8.
    bool IsLatin1() const { return m_Latin1; }

    // The next record's fields and the line on which it starts; empty lines are skipped. Spaces and
    // tabs around a value outside quotes are left out; within quotes they are the value's. A record
    // that grows past the limit (an unclosed quote, say) ends the reading with ReadTooLong; a quote
    // still open at the end of the file ends it with ReadUnclosedQuote.
    ReadResult Next(QStringList& fields, qint64& line);
    // True when the last record held bytes that are not valid UTF-8 (they read as U+FFFD).
    bool LastRecordHadBadText() const { return m_BadText; }

    // Back to the first record (the header).
    bool Rewind();
    qint64 BytesRead() const { return m_Consumed; }
    qint64 Size() const { return m_Size; }

    // The longest record read; a longer one ends the reading with ReadTooLong.
    static constexpr qint64 DefaultRecordLimit = 16 << 20;
    qint64 RecordLimit() const { return m_RecordLimit; }
    void SetRecordLimit(qint64 bytes) { m_RecordLimit = bytes; }

private:
    OpenResult Sniff();
    bool Fill();
    QString Decode(const std::string& text);

    std::unique_ptr<QIODevice> m_Device;
    QByteArray m_Buffer;
    std::vector<std::string> m_Raw; // the fields of the record being read
    std::vector<bool> m_Quoted;     // whether each field of the record being read is quoted
    qsizetype m_Pos = 0;
    qint64 m_Start = 0;    // after the byte-order mark
    qint64 m_Consumed = 0; // bytes of the file consumed by the records read so far
    qint64 m_Size = 0;
    qint64 m_Line = 1;
    qint64 m_RecordLimit = DefaultRecordLimit;
    char m_Delimiter = ',';
    bool m_Latin1 = false;
    bool m_BadText = false;
    bool m_AtEnd = false;
};
