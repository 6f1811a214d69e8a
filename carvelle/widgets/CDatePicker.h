#pragma once
// The date field of the editing pages and the reminder editor: a local day in the locale's short
// format, with a calendar to pick from. It is given a stored (UTC) date and hands it back
// untouched unless the user picked another day; a new day keeps the stored time of day, so a
// record that was only looked at is not rewritten with its seconds cut off.

#include <QDateTime>
#include <QDateTimeEdit>

class CDatePicker : public QDateTimeEdit {
    Q_OBJECT

public:
    explicit CDatePicker(QWidget* parent = nullptr);

    void SetOleDate(double oleDate);
    double OleDate() const;

    // The day the field shows.
    QDate Day() const { return date(); }
    void SetDay(QDate day) { setDate(day); }

    // The locale's short date format with the year in four digits.
    static QString DisplayFormat();

protected:
    void wheelEvent(QWheelEvent* event) override;
    // Ctrl+Tab belongs to the sheet's tabs.
    void keyPressEvent(QKeyEvent* event) override;
    // Tab leaves the field, as in every other field of a form; the arrows move between its parts.
    bool focusNextPrevChild(bool next) override;

private:
    double m_Stored = 0.0;
    QDateTime m_StoredLocal;
};
