#pragma once
// "Select Date Range": a start and an end day, picked directly or filled by one of six shortcuts.
// The caller's two values are UTC instants; the pickers show their local days. "Done" writes back
// the start of the first local day and the end (23:59:59) of the last, unless the end day comes
// before the start day; "Cancel" leaves both untouched.

#include "platform/WinTypes.h"

#include <QDate>
#include <QDialog>

#include <memory>

class QDateEdit;
class QMenu;

class CDlgDateRange : public QDialog {
    Q_OBJECT

public:
    // Both values are read now and written on an accepted "Done"; an all-zero value opens on today.
    CDlgDateRange(SYSTEMTIME* start, SYSTEMTIME* end, QWidget* parent = nullptr);
    ~CDlgDateRange() override;

    QDate StartDay() const;
    QDate EndDay() const;

    void OnDone();
    void OnCancel();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum Shortcut { Last30Days, Last3Months, Last6Months, Last12Months, PreviousMonth, PreviousYear };

    void ApplyShortcut(Shortcut shortcut);
    void SetDays(const QDate& start, const QDate& end);

    SYSTEMTIME* m_Start;
    SYSTEMTIME* m_End;
    QDateEdit* m_StartPicker = nullptr;
    QDateEdit* m_EndPicker = nullptr;
    std::unique_ptr<QMenu> m_SoftKeys; // "Done" and "Cancel"
};
