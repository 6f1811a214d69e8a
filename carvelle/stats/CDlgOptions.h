#pragma once
// "Options": the units of distance, volume and fuel economy, the locale's currency symbol and the
// mileage rate. On Done the values go into the settings; the caller saves them.

#include "widgets/CFullScreenDialog.h"

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

    // The mileage rate is read and shown as every decimal field is.
    static std::optional<float> ParseMileageRate(const QString& text);
    static QString MileageRateText(float rate);

private:
    QComboBox* m_Distance = nullptr; // child widgets
    QComboBox* m_Volume = nullptr;
    QComboBox* m_Economy = nullptr;
    QLineEdit* m_Currency = nullptr;
    QLineEdit* m_MileageRate = nullptr;
};
