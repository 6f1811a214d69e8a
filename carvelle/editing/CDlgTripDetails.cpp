#include "editing/CDlgTripDetails.h"

#include "widgets/CDatePicker.h"
#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/SharedFonts.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <limits>

using DX = CWinDataExchangeLocale;

namespace {

LONG Clamped(long long value) {
    return static_cast<LONG>(
        std::clamp<long long>(value, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

} // namespace

CDlgTripDetails::CDlgTripDetails() : CPropertyPage(IDD_TRIP_DETAILS, QStringLiteral("Details")) {}

CDlgTripDetails::~CDlgTripDetails() = default;

LONG CDlgTripDetails::EndFrom(LONG start, LONG elapsed) {
    return elapsed > 0 ? Clamped(static_cast<long long>(start) + elapsed) : start;
}

LONG CDlgTripDetails::ElapsedFrom(LONG start, LONG end) {
    return start < end ? Clamped(static_cast<long long>(end) - start) : 0;
}

void CDlgTripDetails::OnInitDialog() {
    m_DateCtl = Named(new CDatePicker(this), "date");
    m_DescriptionCtl = Named(new QLineEdit(this), "description");
    auto* group = m_Group = new QGroupBox(QStringLiteral("Odometer"), this);
    m_StartCtl = Named(new CUpDownEdit(group), "tripStart");
    m_EndCtl = Named(new CUpDownEdit(group), "tripEnd");
    m_ElapsedCtl = Named(new CUpDownEdit(group), "elapsedDistance");

    AddRow(QStringLiteral("Date:"), m_DateCtl);
    AddRow(QStringLiteral("Description or purpose:"), m_DescriptionCtl);
    auto* grid = m_GroupGrid = new QGridLayout(group);
    grid->setColumnStretch(1, 1);
    const auto addOdometer = [&](const char* text, QWidget* field) {
        auto* label = new QLabel(QString::fromUtf8(text), group);
        label->setObjectName(LabelName(field));
        label->setFont(SmallBoldFont());
        label->setBuddy(field);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        ChainTab(field);
    };
    addOdometer("Start:", m_StartCtl);
    addOdometer("End:", m_EndCtl);
    addOdometer("Elapsed distance:", m_ElapsedCtl);
    Form()->addWidget(group, Form()->rowCount(), 0, 1, 3);

    Hop(m_ElapsedCtl, m_EndCtl, m_DateCtl);
    Hop(m_StartCtl, m_DescriptionCtl, m_EndCtl);
    Hop(m_EndCtl, m_StartCtl, m_ElapsedCtl);
    DX::ExchangeDate(m_DateCtl, date, false);
    elapsed = ElapsedFrom(start, end);
    m_StartCtl->SetRange(0, 1000000, 10);
    m_EndCtl->SetRange(0, 1000000, 10);
    m_ElapsedCtl->SetRange(0, 10000, 1);
    Exchange(false);
    for (QWidget* field : {static_cast<QWidget*>(m_StartCtl), static_cast<QWidget*>(m_EndCtl),
                           static_cast<QWidget*>(m_ElapsedCtl)})
        field->installEventFilter(this);
}

bool CDlgTripDetails::Exchange(bool save) {
    m_Reading = true;
    const bool ok = DX::ExchangeText(m_DescriptionCtl, description, save) &&
                    DX::ExchangeInteger(m_StartCtl, start, save) &&
                    DX::ExchangeInteger(m_EndCtl, end, save) &&
                    DX::ExchangeInteger(m_ElapsedCtl, elapsed, save);
    m_Reading = false;
    return ok;
}

bool CDlgTripDetails::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_Reading) {
        // Another window or a popup taking the focus is no field being left.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_ElapsedCtl)
                RecomputeEnd();
            else if (watched == m_StartCtl || watched == m_EndCtl)
                RecomputeElapsed();
        }
    }
    return CPropertyPage::eventFilter(watched, event);
}

void CDlgTripDetails::RecomputeEnd() {
    if (!Exchange(true))
        return;
    end = EndFrom(start, elapsed);
    DX::ExchangeInteger(m_EndCtl, end, false);
}

void CDlgTripDetails::RecomputeElapsed() {
    if (!Exchange(true))
        return;
    elapsed = ElapsedFrom(start, end);
    DX::ExchangeInteger(m_ElapsedCtl, elapsed, false);
}

bool CDlgTripDetails::OnKillActive() {
    if (!Exchange(true))
        return false;
    if (end < start) {
        Inform(IDS_END_BELOW_START, m_EndCtl);
        return false;
    }
    // The field being edited may not have been left yet: finish its recomputation here, and show
    // it, so that the stored end and the priced distance agree.
    QWidget* focus = focusWidget();
    if (focus == m_ElapsedCtl)
        RecomputeEnd();
    else if (focus == m_StartCtl || focus == m_EndCtl)
        RecomputeElapsed();
    return true;
}

bool CDlgTripDetails::OnApply() {
    if (!Exchange(true))
        return false;
    if (description.isEmpty()) {
        Inform(IDS_DESCRIPTION_REQUIRED, m_DescriptionCtl);
        return false;
    }
    if (end < start) {
        Inform(IDS_END_BELOW_START, m_EndCtl);
        return false;
    }
    if (!DX::ExchangeDate(m_DateCtl, date, true) || !odometerCheck.Confirm(m_EndCtl, date, end))
        return false;
    ReleaseHops();
    return true;
}

long long CDlgTripDetails::OnQuerySiblings() {
    return static_cast<long long>(end) - start;
}

QWidget* CDlgTripDetails::FirstField() const {
    return m_DateCtl;
}

namespace {

// How far the group's labels stand in from the page's: its frame and its layout's margin.
int GroupIndent(QGroupBox* group, QGridLayout* grid) {
    group->ensurePolished();
    return group->contentsMargins().left() + grid->contentsMargins().left();
}

} // namespace

int CDlgTripDetails::LabelColumnWidth() const {
    int width = CPropertyPage::LabelColumnWidth();
    if (!m_GroupGrid)
        return width;
    const int indent = GroupIndent(m_Group, m_GroupGrid);
    for (int row = 0; row < m_GroupGrid->rowCount(); ++row) {
        if (QLayoutItem* item = m_GroupGrid->itemAtPosition(row, 0); item && item->widget())
            width = qMax(width, indent + item->widget()->sizeHint().width());
    }
    return width;
}

void CDlgTripDetails::SetLabelColumnWidth(int width) {
    CPropertyPage::SetLabelColumnWidth(width);
    // The group's fields start where the page's do.
    if (m_GroupGrid)
        m_GroupGrid->setColumnMinimumWidth(0, qMax(0, width - GroupIndent(m_Group, m_GroupGrid)));
}
