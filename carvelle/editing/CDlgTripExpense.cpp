#include "editing/CDlgTripExpense.h"

#include "editing/KeywordPickList.h"
#include "widgets/CCustomPropertySheet.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/DecimalText.h"
#include "core/ResourceIds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <limits>

using DX = CWinDataExchangeLocale;

CDlgTripExpense::CDlgTripExpense()
    : CPropertyPage(IDD_TRIP_EXPENSE, QStringLiteral("Expense")), mileageRate(TheSettings().MileageRate) {}

CDlgTripExpense::~CDlgTripExpense() = default;

void CDlgTripExpense::OnInitDialog() {
    m_ElapsedCtl = Named(new QLineEdit(this), "elapsedDistance");
    m_ElapsedCtl->setReadOnly(true);
    m_ElapsedCtl->setFocusPolicy(Qt::ClickFocus); // shown, not typed: Tab passes it by
    m_RateCtl = Named(new QLineEdit(this), "mileageRate");
    m_RateCtl->setReadOnly(true);
    m_RateCtl->setFocusPolicy(Qt::ClickFocus);
    m_TotalCtl = Named(new QLineEdit(this), "amount");
    m_CategoryCtl = Named(new QComboBox(this), "category");
    QPushButton* calc = MakeButton("calc", QStringLiteral("Calc"));
    QPushButton* manage = MakeButton("manageKeywords", QStringLiteral("..."));

    AddRow(QStringLiteral("Elapsed dist.:"), m_ElapsedCtl);
    AddRow(QStringLiteral("Mileage rate:"), m_RateCtl);
    AddRow(QStringLiteral("Total cost:"), m_TotalCtl, calc);
    AddRow(QStringLiteral("Category:"), m_CategoryCtl, manage);

    FillKeywordCombo(CKeyword::KeywordTripCategory, m_CategoryCtl);
    Exchange(false);

    // A total typed by the user is theirs from then on.
    connect(m_TotalCtl, &QLineEdit::textEdited, this, [this] { followsDistance = false; });
    connect(calc, &QPushButton::clicked, this, &CDlgTripExpense::OnCalc);
    connect(manage, &QPushButton::clicked, this,
            [this] { ManageKeywords(CKeyword::KeywordTripCategory, m_CategoryCtl); });
}

bool CDlgTripExpense::Exchange(bool save) {
    return DX::ExchangeInteger(m_ElapsedCtl, elapsed, save) && DX::ExchangeDecimal(m_TotalCtl, total, save) &&
           DX::ExchangeDecimal(m_RateCtl, mileageRate, save) &&
           DX::ExchangeText(m_CategoryCtl, category, save);
}

float CDlgTripExpense::Price(LONG distance, float rate) {
    return RoundedMoney(static_cast<float>(distance) * rate);
}

bool CDlgTripExpense::IsPriced(float total, LONG distance, float rate) {
    return total == Price(distance, rate) || total == static_cast<float>(distance) * rate;
}

void CDlgTripExpense::SetDistance(LONG distance) {
    elapsed = distance;
    // A total that prices this distance already stays as stored, rounded or not.
    if (followsDistance && !IsPriced(total, elapsed, mileageRate))
        total = Price(elapsed, mileageRate);
    if (IsInitialized()) {
        DX::ExchangeInteger(m_ElapsedCtl, elapsed, false);
        if (followsDistance)
            DX::ExchangeDecimal(m_TotalCtl, total, false);
    }
}

void CDlgTripExpense::OnSetActive() {
    if (CCustomPropertySheet* sheet = Sheet()) {
        const long long distance = sheet->QuerySiblings();
        SetDistance(static_cast<LONG>(std::clamp<long long>(distance, 0, std::numeric_limits<LONG>::max())));
    } else {
        DX::ExchangeInteger(m_ElapsedCtl, elapsed, false);
    }
}

void CDlgTripExpense::OnCalc() {
    if (!Exchange(true))
        return;
    total = Price(elapsed, mileageRate);
    followsDistance = true;
    Exchange(false);
    m_TotalCtl->setFocus(Qt::OtherFocusReason);
    m_TotalCtl->selectAll();
}

bool CDlgTripExpense::OnApply() {
    return Exchange(true);
}

QWidget* CDlgTripExpense::FirstField() const {
    return m_TotalCtl;
}
