#include "views/CVehicleListView.h"

#include "widgets/AppIcons.h"
#include "widgets/CWaitCursor.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "core/VehicleDisplayText.h"
#include "widgets/SharedFonts.h"

#include <QAction>
#include <QCollator>
#include <QFont>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QStyle>

namespace {

constexpr int MenuVehicleListView = 0;
constexpr int NameColumnWidth = 50;

// Rows are kept in the user's alphabetical order, ignoring case (so "Émile" sorts with the E's).
int CompareRowText(const QString& a, const QString& b) {
    static const QCollator collator = [] {
        // The bare C locale compares code points, which puts every accented letter after "z".
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English);
        QCollator made{locale};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator.compare(a, b);
}

} // namespace

CVehicleListView::CVehicleListView(QWidget* parent) : CCustomListView(parent) {
    SetContextMenuIndex(MenuVehicleListView);
    setObjectName(QStringLiteral("vehicleList"));
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    setIconSize(QSize(iconSize, iconSize));
    m_Icon = LoadIconResource(IDI_PROGRAM);
    SetColumns({LoadStringResource(IDS_COLUMN_NAME)}, {NameColumnWidth});
}

CVehicleListView::~CVehicleListView() = default;

QString CVehicleListView::DisplayText(const CVehicle& vehicle) {
    return VehicleDisplayText(vehicle);
}

void CVehicleListView::SetUp() {
    setFont(BoldFont());
    StretchColumn(0);
}

void CVehicleListView::LoadAll() {
    CWaitCursor wait;
    m_Vehicles.Clear();
    DeleteAllRows();
    if (!TheRecords().LoadVehicles(m_Vehicles)) {
        m_Vehicles.Clear(); // a failed load may leave some records behind
        return;
    }
    setUpdatesEnabled(false);
    for (int i = 0; i < m_Vehicles.GetCount(); ++i) {
        InsertVehicleRow(m_Vehicles.Get(i));
    }
    setUpdatesEnabled(true);
    viewport()->update();
}

CVehicle* CVehicleListView::FindByRefID(ULONG refID) const {
    for (int i = 0; i < m_Vehicles.GetCount(); ++i) {
        CVehicle* vehicle = m_Vehicles.Get(i);
        if (vehicle && vehicle->GetRefID() == refID) {
            return vehicle;
        }
    }
    return nullptr;
}

void CVehicleListView::AddVehicle(CVehicle* vehicle) {
    if (!vehicle) {
        return;
    }
    m_Vehicles.Add(vehicle);
    SelectRow(InsertVehicleRow(vehicle));
}

void CVehicleListView::UpdateVehicle(CVehicle* vehicle) {
    const int row = FindItem(vehicle);
    if (row < 0) {
        return;
    }
    DeleteRow(row);
    SelectRow(InsertVehicleRow(vehicle));
}

void CVehicleListView::RemoveVehicle(CVehicle* vehicle) {
    DeleteRow(FindItem(vehicle));
    for (int i = 0; i < m_Vehicles.GetCount(); ++i) {
        if (m_Vehicles.Get(i) == vehicle) {
            delete m_Vehicles.Disown(i);
            return;
        }
    }
}

CVehicle* CVehicleListView::GetSelectedVehicle() const {
    const int row = GetNextSelectedRow();
    return row < 0 ? nullptr : static_cast<CVehicle*>(GetItemData(row));
}

void CVehicleListView::SelectVehicle(CVehicle* vehicle) {
    const int row = FindItem(vehicle);
    if (row >= 0) {
        SelectRow(row);
    }
}

void CVehicleListView::PrepareContextMenu(QMenu& menu) {
    const bool selected = GetSelectedVehicle() != nullptr;
    for (QAction* action : menu.actions()) {
        const int command = action->data().toInt();
        if (command == ID_EDIT || command == ID_DELETE) {
            action->setEnabled(selected);
        }
    }
}

void CVehicleListView::resizeEvent(QResizeEvent* event) {
    CCustomListView::resizeEvent(event);
    StretchColumn(0);
}

int CVehicleListView::InsertVehicleRow(CVehicle* vehicle) {
    const QString text = DisplayText(*vehicle);
    // After the last row that does not sort after it: equal texts keep their insertion order.
    int low = 0;
    int high = GetRowCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (CompareRowText(GetRowText(middle), text) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return InsertRow(low, text, m_Icon, vehicle);
}

void CVehicleListView::SelectRow(int row) {
    SetItemState(row, StateSelected | StateFocused, StateSelected | StateFocused);
    EnsureVisible(row);
}
