#include "editing/CDlgTripExpense.h"

#include "editing/KeywordPickList.h"
#include "widgets/CCustomPropertySheet.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/ResourceIds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <limits>

using DX = CWinDataExchangeLocale;

CDlgTripExpense::CDlgTripExpense() : CPropertyPage(IDD_TRIP_EXPENSE, QStringLiteral("Expense")) {}

CDlgTripExpense::~CDlgTripExpense() = default;

void CDlgTripExpense::OnInitDialog() {
    m_ElapsedCtl = Named(new QLineEdit(this), IDC_ODOMETER);
    m_ElapsedCtl->setReadOnly(true);
    m_ElapsedCtl->setFocusPolicy(Qt::ClickFocus); // shown, not typed: Tab passes it by
    m_RateCtl = Named(new QLineEdit(this), IDC_TRIP_MILEAGE_RATE);
    m_RateCtl->setReadOnly(true);
    m_RateCtl->setFocusPolicy(Qt::ClickFocus);
    m_TotalCtl = Named(new QLineEdit(this), IDC_AMOUNT);
    m_CategoryCtl = Named(new QComboBox(this), IDC_CATEGORY);
    QPushButton* calc = MakeButton(IDC_CALC, QStringLiteral("Calc"));
    QPushButton* manage = MakeButton(IDC_MANAGE_KEYWORDS, QStringLiteral("..."));

    AddRow(1032, QStringLiteral("Elapsed dist.:"), m_ElapsedCtl);
    AddRow(1031, QStringLiteral("Mileage rate:"), m_RateCtl);
    AddRow(1033, QStringLiteral("Total cost:"), m_TotalCtl, calc);
    AddRow(1034, QStringLiteral("Category:"), m_CategoryCtl, manage);

    FillKeywordCombo(CKeyword::KeywordTripCategory, m_CategoryCtl);
    mileageRate = TheSettings().MileageRate;
    Exchange(false);

    connect(calc, &QPushButton::clicked, this, &CDlgTripExpense::OnCalc);
    connect(manage, &QPushButton::clicked, this,
            [this] { ManageKeywords(CKeyword::KeywordTripCategory, m_CategoryCtl); });
}

bool CDlgTripExpense::Exchange(bool save) {
    return DX::ExchangeInteger(m_ElapsedCtl, elapsed, save) && DX::ExchangeDecimal(m_TotalCtl, total, save) &&
           DX::ExchangeDecimal(m_RateCtl, mileageRate, save) &&
           DX::ExchangeText(m_CategoryCtl, category, save);
}

void CDlgTripExpense::OnSetActive() {
    if (CCustomPropertySheet* sheet = Sheet()) {
        const long long distance = sheet->QuerySiblings();
        elapsed = static_cast<LONG>(std::clamp<long long>(distance, 0, std::numeric_limits<LONG>::max()));
    }
    DX::ExchangeInteger(m_ElapsedCtl, elapsed, false);
}

void CDlgTripExpense::OnCalc() {
    if (!Exchange(true))
        return;
    total = static_cast<float>(elapsed) * mileageRate;
    if (!std::isfinite(total))
        total = 0.0f;
    Exchange(false);
    m_TotalCtl->setFocus(Qt::OtherFocusReason);
    m_TotalCtl->selectAll();
}

bool CDlgTripExpense::OnApply() {
    return Exchange(true);
}
