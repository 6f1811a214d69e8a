#pragma once
// The date field of the editing pages and the reminder editor: a local day typed in the locale's
// short format (6/30/2027, 30.06.2027, with or without leading zeros, a two- or four-digit year)
// or picked from a calendar (the button at its right, Alt+Down or F4). Typing works as in any
// field, over a selection too; Tab leaves the field; Up and Down step a day. A text that is no
// date stays as typed until the page reads it and refuses it.
//
// It is given a stored (UTC) date and hands it back untouched unless the user chose another day;
// a new day keeps the stored time of day, so a record that was only looked at is not rewritten
// with its seconds cut off.

#include <QDate>
#include <QDateTime>
#include <QLineEdit>

class QCalendarWidget;
class QFrame;

class CDatePicker : public QLineEdit {
    Q_OBJECT

public:
    explicit CDatePicker(QWidget* parent = nullptr);
    ~CDatePicker() override;

    void SetOleDate(double oleDate);
    // The stored date when the field still shows its day; the field's day at the stored time of
    // day otherwise. The stored date when the text is no date: read Day() first.
    double OleDate() const;

    // The day the field shows; invalid when its text is no date.
    QDate Day() const;
    void SetDay(QDate day);
    // The day a refusal shows as an example: the one the field was given, else today.
    QDate ExampleDay() const;

    // The locale's short date format with the year in four digits, and a day in it.
    static QString DisplayFormat();
    static QString DayText(QDate day);

    void ShowCalendar();
    QCalendarWidget* Calendar() const { return m_Calendar; }

protected:
    void changeEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Through the undo stack and textEdited, as typing would.
    void Replace(QDate day);
    void StepDays(int days);
    void PaintCalendarIcon();

    double m_Stored = 0.0;
    QDateTime m_StoredLocal;
    QAction* m_CalendarAction = nullptr; // owned by the field
    QFrame* m_Popup = nullptr;           // child window, made on first use
    QCalendarWidget* m_Calendar = nullptr;
};
