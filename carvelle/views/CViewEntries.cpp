#include "views/CViewEntries.h"

#include "views/CEntryListView.h"
#include "widgets/AppIcons.h"
#include "widgets/CDocListComboBox.h"
#include "widgets/CWaitCursor.h"
#include "widgets/DrawTitleBand.h"
#include "widgets/SharedFonts.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "records/CEntryFilter.h"
#include "widgets/CPrompter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace {

constexpr int kMenuSortBy = 2;
constexpr int kColumnGroup = 0;
constexpr int kDirectionGroup = 1;

// The sort commands and their texts, in the order of the list's columns (the stored sort column).
struct SortColumn {
    int command;
    int text;
};
constexpr SortColumn kSortColumns[] = {{ID_SORT_DATE, IDS_SORT_DATE},
                                       {ID_SORT_DESCRIPTION, IDS_SORT_DESCRIPTION},
                                       {ID_SORT_ODOMETER, IDS_SORT_ODOMETER},
                                       {ID_SORT_AMOUNT, IDS_SORT_AMOUNT}};
constexpr LONG kSortColumnCount = static_cast<LONG>(std::size(kSortColumns));

// The column a sort command stands for; -1 for a command that sorts by none.
LONG SortColumnOf(int command) {
    for (LONG column = 0; column < kSortColumnCount; ++column) {
        if (kSortColumns[column].command == command)
            return column;
    }
    return -1;
}

QString DataFilePath() {
    return QString::fromStdU16String(TheSettings().DBPath);
}

} // namespace

CViewEntries::CViewEntries(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("view%1").arg(IDD_VIEW_ENTRIES));
    m_Caption = LoadStringResource(IDS_NO_ACTIVE_VEHICLE);
    m_List = new CEntryListView(this);
    m_List->SetCommandHandler([this](int id) { HandleCommand(id); });
    connect(m_List, &CCustomListView::RowClicked, this, [this](int) { EditSelectedEntry(); });
    connect(m_List, &CCustomListView::EnterPressed, this, &CViewEntries::EditSelectedEntry);
    setFocusProxy(m_List);
    LayOut();
}

CViewEntries::~CViewEntries() = default;

void CViewEntries::Initialize() {
    SetCaption(LoadStringResource(IDS_NO_ACTIVE_VEHICLE));
    m_List->SetUp();
    if (!m_SortDropDown) {
        m_SortDropDown = new CDocListComboBox(this);
        m_SortDropDown->SetMenu(IDR_CONTEXT_MENUS, kMenuSortBy);
        m_SortDropDown->SetPrompt(LoadStringResource(IDS_SORT_BY));
        m_SortDropDown->SetRadioGroup(kColumnGroup, ID_SORT_DATE, ID_SORT_AMOUNT, 0);
        m_SortDropDown->SetRadioGroup(kDirectionGroup, ID_SORT_ASCENDING, ID_SORT_DESCENDING, 0);
        connect(m_SortDropDown, &CDocListComboBox::CommandChosen, this,
                [this](int id) { HandleCommand(id); });
        m_SortDropDown->show();
        setTabOrder(m_List, m_SortDropDown);
        UpdateSortDropDown();
    }
    if (!m_ChartsButton) {
        m_ChartsButton = new QToolButton(this);
        m_ChartsButton->setObjectName(QStringLiteral("chartsButton"));
        m_ChartsButton->setIcon(LoadIconResource(IDI_CHARTS));
        m_ChartsButton->setToolTip(LoadStringResource(IDS_CHARTS_TITLE));
        m_ChartsButton->setAccessibleName(LoadStringResource(IDS_CHARTS_TITLE));
        m_ChartsButton->setAutoRaise(true);
        connect(m_ChartsButton, &QToolButton::clicked, this, &CViewEntries::ChartsRequested);
        m_ChartsButton->show();
        setTabOrder(m_SortDropDown, m_ChartsButton);
    }
    LayOut();
}

void CViewEntries::SetCaption(const QString& caption) {
    m_Caption = caption;
    setWindowTitle(caption);
    update();
}

void CViewEntries::SetFilterText(const QString& text) {
    m_FilterText = text;
    update();
}

const CObjectListT<CEntry>& CViewEntries::Entries() const {
    return m_List->Entries();
}

void CViewEntries::Reload(CEntryFilter* filter) {
    m_Filter = filter;
    if (!m_List->Reload(filter) && !m_List->WasCancelled()) {
        // An empty list would look like an empty log.
        CPrompter::Instance().MessageBox(this, FormatStringResource(IDS_ENTRIES_NOT_READ, {DataFilePath()}),
                                         QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
    }
}

void CViewEntries::AddEntry(CEntry* entry) {
    m_List->AddEntry(entry);
}

bool CViewEntries::HandleCommand(int id) {
    switch (id) {
    case ID_EDIT:
        EditSelectedEntry();
        return true;
    case ID_DELETE:
        DeleteSelectedEntries();
        return true;
    default:
        break;
    }
    if (SortColumnOf(id) >= 0 || id == ID_SORT_ASCENDING || id == ID_SORT_DESCENDING) {
        OnSortCommand(id);
        return true;
    }
    return false;
}

void CViewEntries::EditSelectedEntry() {
    const std::vector<CEntry*> selected = m_List->SelectedEntries();
    if (selected.size() != 1 || !m_Editor)
        return;
    CEntry* entry = selected.front();
    if (!m_Editor(*entry))
        return;
    if (m_Filter && m_Filter->EntryMatchesFilter(entry))
        m_List->UpdateEntry(entry);
    else
        m_List->RemoveEntryRow(entry);
    emit EntriesChanged();
}

void CViewEntries::DeleteSelectedEntries() {
    const std::vector<CEntry*> selected = m_List->SelectedEntries();
    if (selected.empty())
        return;
    const int question = selected.size() == 1 ? IDS_DELETE_ENTRY : IDS_DELETE_ENTRIES;
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.MessageBox(this, LoadStringResource(question), LoadStringResource(IDS_PRODUCT_NAME),
                            CPrompter::ButtonsYesNo, CPrompter::IconWarning) != CPrompter::IDYES)
        return;
    std::vector<CEntry*> deleted;
    {
        CWaitCursor wait;
        for (CEntry* entry : selected) {
            if (TheRecords().Delete(*entry))
                deleted.push_back(entry);
        }
    }
    {
        // Only the rows whose entry is gone from the file go from the list.
        CWaitCursor wait;
        m_List->setUpdatesEnabled(false);
        for (CEntry* entry : deleted)
            m_List->RemoveEntryRow(entry);
        m_List->setUpdatesEnabled(true);
        m_List->viewport()->update();
    }
    if (!deleted.empty())
        emit EntriesChanged();
    if (deleted.size() != selected.size()) {
        prompter.MessageBox(this, FormatStringResource(IDS_ENTRIES_NOT_DELETED, {DataFilePath()}), QString(),
                            CPrompter::ButtonsOK, CPrompter::IconWarning);
    }
}

void CViewEntries::OnSortCommand(int id) {
    CAppSettings& settings = TheSettings();
    if (const LONG column = SortColumnOf(id); column >= 0) {
        // The column in force chosen again sorts the other way; another column keeps the order.
        if (column == settings.LastColSorted)
            settings.SortAscending = settings.SortAscending ? 0 : 1;
        settings.LastColSorted = column;
    } else if (id == ID_SORT_ASCENDING) {
        settings.SortAscending = 1;
    } else if (id == ID_SORT_DESCENDING) {
        settings.SortAscending = 0;
    }
    m_List->SortItems(settings.LastColSorted);
    const int row = m_List->GetNextSelectedRow();
    if (row >= 0)
        m_List->EnsureVisible(row);
    UpdateSortDropDown();
}

void CViewEntries::UpdateSortDropDown() {
    if (!m_SortDropDown)
        return;
    const CAppSettings& settings = TheSettings();
    const LONG column = settings.LastColSorted;
    const bool known = column >= 0 && column < kSortColumnCount;
    m_SortDropDown->SetChecked(kColumnGroup, known ? kSortColumns[column].command : 0);
    m_SortDropDown->SetChecked(kDirectionGroup,
                               settings.SortAscending ? ID_SORT_ASCENDING : ID_SORT_DESCENDING);
    m_SortDropDown->SetCurrentText(known ? LoadStringResource(kSortColumns[column].text) : QString());
    m_SortDropDown->SetSortIndicator(
        known
            ? std::optional<Qt::SortOrder>(settings.SortAscending ? Qt::AscendingOrder : Qt::DescendingOrder)
            : std::nullopt);
}

void CViewEntries::FocusList() {
    m_List->setFocus();
}

int CViewEntries::ReservedBandWidth() const {
    return SortDropDownWidth() + (m_ChartsButton ? TitleBandHeight() : 0);
}

int CViewEntries::SortDropDownWidth() const {
    // Room for the longest column name.
    return CDocListComboBox::WidthFor(*this, LoadStringResource(IDS_SORT_DESCRIPTION));
}

void CViewEntries::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int reserved = ReservedBandWidth();
    if (m_FilterText.isEmpty()) {
        DrawTitleBand(painter, *this, m_Caption, TitleBandView, reserved);
        return;
    }
    // The filter as a tag before the drop-down; it takes at most half the band, the caption the
    // rest.
    const QFontMetrics metrics(SmallBoldFont());
    const int band = TitleBandHeight();
    const int pad = metrics.horizontalAdvance(QLatin1Char(' '));
    const int room = std::max(0, (width() - reserved) / 2 - 2 * pad);
    const QString shown = CutTextToWidth(m_FilterText, room, metrics);
    const int tagWidth = metrics.horizontalAdvance(shown) + 2 * pad;
    const QRect tag(width() - reserved - pad - tagWidth, 2, tagWidth, std::max(0, band - 4));
    DrawTitleBand(painter, *this, m_Caption, TitleBandView, reserved + tagWidth + 2 * pad);
    const QPalette& colours = palette();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colours.color(QPalette::Mid));
    painter.setBrush(colours.color(QPalette::Base));
    painter.drawRoundedRect(QRectF(tag).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.setFont(SmallBoldFont());
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(tag, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

void CViewEntries::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CViewEntries::LayOut() {
    const int band = TitleBandHeight();
    const int high = IsHighResolution(*this) ? band - 1 : band;
    const int sortWidth = SortDropDownWidth();
    if (m_SortDropDown) {
        m_SortDropDown->setGeometry(width() - sortWidth, 0, sortWidth, high);
        m_SortDropDown->update();
    }
    // A square button just before the drop-down.
    if (m_ChartsButton)
        m_ChartsButton->setGeometry(width() - sortWidth - band, 0, band, high);
    const int top = band + 1;
    m_List->setGeometry(0, top, width(), std::max(0, height() - top));
    m_List->StretchColumn(0);
}
