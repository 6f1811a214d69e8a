#pragma once
// Owns a statement text made by sqlite3_mprintf and frees it with sqlite3_free.

class CSqlText {
public:
    // Takes ownership of text (null when the engine ran out of memory).
    explicit CSqlText(char* text) : m_Text(text) {}
    ~CSqlText();
    CSqlText(const CSqlText&) = delete;
    CSqlText& operator=(const CSqlText&) = delete;

    const char* Get() const { return m_Text; }
    explicit operator bool() const { return m_Text != nullptr; }

private:
    char* m_Text;
};
