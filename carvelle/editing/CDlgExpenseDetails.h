#pragma once
// The "Details" page of any other expense: the repair page's fields, with the expenses pick list,
// a vendor instead of a location, and no message beyond the beep for an unreadable field.

#include "editing/CDlgRepairDetails.h"

class CDlgExpenseDetails : public CDlgRepairDetails {
    Q_OBJECT

public:
    CDlgExpenseDetails();
    ~CDlgExpenseDetails() override;
};
