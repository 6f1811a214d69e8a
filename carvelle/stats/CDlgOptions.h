#pragma once
// "Options": the units of distance, volume and fuel economy, the locale's currency symbol and the
// mileage rate. On Done the values go into the settings; the caller saves them.

#include "views/CFullScreenDialog.h"

#include <optional>

class QComboBox;
class QLineEdit;

class CDlgOptions : public CFullScreenDialog {
    Q_OBJECT

public:
    explicit CDlgOptions(QWidget* parent = nullptr);
    ~CDlgOptions() override;

    // Refuses an unreadable mileage rate with a beep and the focus on the field.
    void OnDone() override;

    // A mileage rate as typed: blanks and tabs around a decimal number, with the locale's
    // decimal separator or "."; nothing when it is not a finite float.
    static std::optional<float> ParseMileageRate(const QString& text);
    // The rate as the field shows it: six significant digits at most, the locale's separator.
    static QString MileageRateText(float rate);

private:
    QComboBox* m_Distance = nullptr; // child widgets
    QComboBox* m_Volume = nullptr;
    QComboBox* m_Economy = nullptr;
    QLineEdit* m_Currency = nullptr;
    QLineEdit* m_MileageRate = nullptr;
};
