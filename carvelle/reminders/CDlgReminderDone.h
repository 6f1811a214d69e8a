#pragma once
// "Done...": asks the day and the odometer reading at which a reminder's work was done, and
// whether to store a repair entry with the reminder's name. The caller checks the reading against
// the log through the given check, which returns why a reading is refused (empty: accepted).

#include "widgets/CFullScreenDialog.h"

#include "platform/WinTypes.h"

#include <QDate>

#include <functional>
#include <optional>

class CDatePicker;
class CUpDownEdit;
class QCheckBox;
class QLineEdit;

class CDlgReminderDone : public CFullScreenDialog {
    Q_OBJECT

public:
    using ReadingCheck = std::function<QString(const QDate& day, LONG odometer)>;

    CDlgReminderDone(const QString& reminderName, const QDate& day, LONG odometer, ReadingCheck check,
                     QWidget* parent = nullptr);
    ~CDlgReminderDone() override;

    QDate Day() const { return m_Day; }
    LONG Odometer() const { return m_Odometer; }
    std::optional<double> RepairAmount() const { return m_RepairAmount; }

    void OnDone() override;

private:
    CDatePicker* m_DayField = nullptr;
    CUpDownEdit* m_OdometerField = nullptr;
    QCheckBox* m_RepairBox = nullptr;
    QLineEdit* m_AmountField = nullptr;
    ReadingCheck m_Check;
    QDate m_Day;
    LONG m_Odometer = 0;
    std::optional<double> m_RepairAmount;
};
