#include "views/CViewEntries.h"

#include "views/CCustomListView.h"
#include "views/CWaitCursor.h"
#include "views/DrawTitleBand.h"

#include "datastore/CDataLayer.h"
#include "resources/CStringTable.h"
#include "resources/ResourceIds.h"
#include "shell/AppGlobals.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// The sort drop-down's geometry: the arrow, its inset and its margin around the text.
constexpr int DropDownArrowWidth = 14;
constexpr int DropDownLeftInset = 0;
constexpr int DescriptionColumnWidth = 100;

} // namespace

CViewEntries::CViewEntries(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("view%1").arg(IDD_VIEW_ENTRIES));
    m_Caption = LoadStringResource(IDS_NO_ACTIVE_VEHICLE);
    m_List = new CCustomListView(this);
    m_List->setObjectName(QStringLiteral("list%1").arg(IDC_LIST));
    m_List->setHeaderHidden(true);
    m_List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_List->SetColumns({LoadStringResource(IDS_SORT_DESCRIPTION)}, {DescriptionColumnWidth});
    m_List->SetCommandHandler([this](int id) { HandleCommand(id); });
    setFocusProxy(m_List);
    LayOut();
}

CViewEntries::~CViewEntries() {
    // The rows hold the records' addresses: drop them before the records go.
    m_List->DeleteAllRows();
}

void CViewEntries::Initialize() {
    SetCaption(LoadStringResource(IDS_NO_ACTIVE_VEHICLE));
    m_List->setFont(BoldFont());
    LayOut();
}

void CViewEntries::SetCaption(const QString& caption) {
    m_Caption = caption;
    setWindowTitle(caption);
    update();
}

void CViewEntries::Reload(CEntryFilter* filter) {
    CWaitCursor wait;
    m_List->DeleteAllRows();
    m_Entries.Clear();
    if (!filter) {
        return;
    }
    if (!TheDataLayer().Load(m_Entries, *filter)) {
        m_Entries.Clear();
    }
}

void CViewEntries::AddEntry(CEntry* entry) {
    if (entry) {
        m_Entries.Add(entry);
    }
}

bool CViewEntries::HandleCommand(int id) {
    // Editing, deleting and sorting entries arrive with the entry list's rows.
    (void)id;
    return false;
}

void CViewEntries::FocusList() {
    m_List->setFocus();
}

int CViewEntries::ReservedBandWidth() const {
    const int margin = IsHighResolution(*this) ? 4 : 2;
    const QFontMetrics metrics(SmallBoldFont());
    return DropDownArrowWidth + DropDownLeftInset + margin +
           metrics.horizontalAdvance(LoadStringResource(IDS_SORT_DESCRIPTION)) + 1;
}

void CViewEntries::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawTitleBand(painter, *this, m_Caption, TitleBandView, ReservedBandWidth());
}

void CViewEntries::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CViewEntries::LayOut() {
    const int top = TitleBandHeight() + 1;
    m_List->setGeometry(0, top, width(), std::max(0, height() - top));
    m_List->StretchColumn(0);
}
