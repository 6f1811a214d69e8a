#include "views/CDlgDateRange.h"

#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "platform/SystemTime.h"
#include "widgets/CDatePicker.h"
#include "widgets/CPrompter.h"
#include "widgets/CWinDataExchangeLocale.h"
#include "widgets/SharedFonts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QDate LocalToday() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return QDate(now.wYear, now.wMonth, now.wDay);
}

// The local day of a UTC instant; today when there is none (all zero) or it is out of range.
QDate LocalDay(const SYSTEMTIME* utc) {
    if (utc != nullptr && utc->wYear != 0) {
        const QDateTime local = SystemTimeToLocal(*utc);
        if (local.isValid())
            return local.date();
    }
    return LocalToday();
}

} // namespace

CDlgDateRange::CDlgDateRange(SYSTEMTIME* start, SYSTEMTIME* end, QWidget* parent)
    : CFullScreenDialog(IDD_DATE_RANGE, QStringLiteral("Select Date Range"), parent), m_Start(start),
      m_End(end) {
    QVBoxLayout* layout = Body();

    auto makePicker = [this, layout](const char* name, const char* label) {
        auto* caption = new QLabel(QString::fromLatin1(label), this);
        caption->setFont(SmallBoldFont());
        auto* picker = new CDatePicker(this);
        picker->setObjectName(QLatin1String(name));
        caption->setBuddy(picker);
        layout->addWidget(caption);
        layout->addWidget(picker);
        return picker;
    };
    m_StartPicker = makePicker("startDate", "Start date:");
    m_EndPicker = makePicker("endDate", "End date:");

    // Created in the template's order, which the Tab key follows; laid out in two columns.
    struct Button {
        const char* name;
        const char* text;
        Shortcut shortcut;
        int row;
        int column;
    };
    static const Button kButtons[] = {
        {"last30Days", "Last 30 Days", Last30Days, 0, 1},
        {"last3Months", "Last 3 Months", Last3Months, 0, 0},
        {"last6Months", "Last 6 Months", Last6Months, 1, 0},
        {"last12Months", "Last 12 Months", Last12Months, 2, 0},
        {"previousMonth", "Previous Month", PreviousMonth, 1, 1},
        {"previousYear", "Previous Year", PreviousYear, 2, 1},
    };
    auto* grid = new QGridLayout();
    for (const Button& b : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(b.text), this);
        button->setObjectName(QLatin1String(b.name));
        // None is the default: Enter presses the focused one and is Done elsewhere.
        button->setAutoDefault(false);
        const Shortcut shortcut = b.shortcut;
        connect(button, &QPushButton::clicked, this, [this, shortcut] { ApplyShortcut(shortcut); });
        grid->addWidget(button, b.row, b.column);
    }
    layout->addSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing));
    layout->addLayout(grid);
    layout->addStretch(1);

    SetDays(LocalDay(m_Start), LocalDay(m_End));
}

CDlgDateRange::~CDlgDateRange() = default;

QDate CDlgDateRange::StartDay() const {
    return m_StartPicker->Day();
}

QDate CDlgDateRange::EndDay() const {
    return m_EndPicker->Day();
}

void CDlgDateRange::SetDays(const QDate& start, const QDate& end) {
    m_StartPicker->SetDay(start);
    m_EndPicker->SetDay(end);
}

void CDlgDateRange::ApplyShortcut(Shortcut shortcut) {
    const QDate today = LocalToday();
    switch (shortcut) {
    case Last30Days:
        SetDays(today.addDays(-30), today);
        break;
    case Last3Months:
        SetDays(today.addDays(-90), today);
        break;
    case Last6Months:
        SetDays(today.addDays(-180), today);
        break;
    case Last12Months:
        SetDays(today.addDays(-365), today);
        break;
    case PreviousMonth: {
        const QDate last = QDate(today.year(), today.month(), 1).addDays(-1);
        SetDays(QDate(last.year(), last.month(), 1), last);
        break;
    }
    case PreviousYear:
        SetDays(QDate(today.year() - 1, 1, 1), QDate(today.year() - 1, 12, 31));
        break;
    }
}

void CDlgDateRange::OnDone() {
    for (CDatePicker* picker : {m_StartPicker, m_EndPicker}) {
        if (!picker->Day().isValid()) {
            CWinDataExchangeLocale::Refuse(picker, CWinDataExchangeLocale::DateRefusal(picker));
            return;
        }
    }
    const QDateTime first = StartDay().startOfDay();
    const QDateTime last = EndOfLocalDay(EndDay());
    if (last < first) {
        CPrompter::Instance().MessageBox(this, LoadStringResource(IDS_END_BEFORE_START), QString(),
                                         CPrompter::ButtonsOK, CPrompter::IconInformation);
        return;
    }
    // Written only when accepted, so that a refused range never reaches the caller.
    *m_Start = LocalToSystemTime(first);
    *m_End = LocalToSystemTime(last);
    done(ID_DONE);
}
