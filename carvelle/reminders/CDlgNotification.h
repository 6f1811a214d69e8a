#pragma once
// "Edit Reminder": the description (a repair pick list with "..." for the keyword manager), the
// two conditions, an odometer reading and a date, and how often it repeats (every so much distance
// and/or so many months; empty or 0 is never). The caller sets the values before it runs and
// reads them after "Done" (1); "Cancel" is 2. An empty reading is never due by the reading. The odometer's
// arrows step by 10 within 0 to 1,000,000, but any reading up to 2,147,483,647 may be typed. The date comes
// back exactly as it was given unless another day was picked.

#include "widgets/CFullScreenDialog.h"

#include "platform/WinTypes.h"

#include <QString>

class CDatePicker;
class CUpDownEdit;
class QComboBox;
class QPushButton;

class CDlgNotification : public CFullScreenDialog {
    Q_OBJECT

public:
    static constexpr LONG kStepMaximum = 1000000;
    static constexpr LONG kStep = 10;

    explicit CDlgNotification(QWidget* parent = nullptr);
    ~CDlgNotification() override;

    void SetValues(double date, const QString& description, LONG odometer);
    void SetInterval(LONG everyDistance, LONG everyMonths);
    LONG EveryDistance() const { return m_EveryDistance; }
    LONG EveryMonths() const { return m_EveryMonths; }
    double Date() const { return m_Date; }
    const QString& Description() const { return m_Description; }
    LONG Odometer() const { return m_Odometer; }

    void OnDone() override;

private:
    void OnKeywords();

    double m_Date = 0.0;
    QString m_Description;
    LONG m_Odometer = 0;
    LONG m_EveryDistance = 0;
    LONG m_EveryMonths = 0;
    QComboBox* m_DescriptionCombo = nullptr; // child widgets
    QPushButton* m_Keywords = nullptr;
    CUpDownEdit* m_OdometerField = nullptr;
    CDatePicker* m_DatePicker = nullptr;
    CUpDownEdit* m_EveryDistanceField = nullptr;
    CUpDownEdit* m_EveryMonthsField = nullptr;
};
