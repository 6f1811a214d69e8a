#include "editing/CDlgExpenseDetails.h"

#include "core/ResourceIds.h"

CDlgExpenseDetails::CDlgExpenseDetails()
    : CDlgRepairDetails(IDD_EXPENSE_DETAILS,
                        {CKeyword::KeywordExpense, "Description:", "Vendor:", "Amt. paid:", true, false}) {}

CDlgExpenseDetails::~CDlgExpenseDetails() = default;
