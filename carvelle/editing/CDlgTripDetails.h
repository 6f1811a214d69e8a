#pragma once
// The "Details" page of a trip: date, purpose, and the start, end and elapsed odometer readings,
// kept consistent as the user moves between them: leaving the elapsed field sets the end,
// leaving the start or the end sets the elapsed distance. The end may not lie below the start,
// and Done questions an end out of step with the vehicle's other entries.

#include "editing/COdometerCheck.h"
#include "widgets/CPropertyPage.h"

#include "platform/WinTypes.h"

class CDatePicker;
class CUpDownEdit;
class QGridLayout;
class QGroupBox;
class QLineEdit;

class CDlgTripDetails : public CPropertyPage {
    Q_OBJECT

public:
    CDlgTripDetails();
    ~CDlgTripDetails() override;

    // The entry's fields, copied in before the sheet runs and back after Done.
    double date = 0.0;
    QString description;
    LONG start = 0;
    LONG end = 0;
    LONG elapsed = 0;             // not stored
    COdometerCheck odometerCheck; // of the end, the entry's reading

    bool OnKillActive() override;
    bool OnApply() override;
    // The distance the expense page prices.
    long long OnQuerySiblings() override;
    QWidget* FirstField() const override;
    int LabelColumnWidth() const override;
    void SetLabelColumnWidth(int width) override;

    // The sums of the three fields, in 64 bits and held within 32.
    static LONG EndFrom(LONG start, LONG elapsed);
    static LONG ElapsedFrom(LONG start, LONG end);

protected:
    void OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Description, start, end and elapsed; stops at the first refusal.
    bool Exchange(bool save);
    void RecomputeEnd();
    void RecomputeElapsed();

    CDatePicker* m_DateCtl = nullptr; // child widgets
    QLineEdit* m_DescriptionCtl = nullptr;
    CUpDownEdit* m_StartCtl = nullptr;
    CUpDownEdit* m_EndCtl = nullptr;
    CUpDownEdit* m_ElapsedCtl = nullptr;
    QGroupBox* m_Group = nullptr;
    QGridLayout* m_GroupGrid = nullptr; // owned by the group
    bool m_Reading = false;             // a refusal moves the focus; that is no field being left
};
