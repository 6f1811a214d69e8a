#pragma once
// The active vehicle's log: one two-line row per entry (date and odometer over description and
// amount) with an icon for its kind, sorted by date, description, odometer or amount. It owns
// the entries of the last reload and those added since.

#include "widgets/CCustomListView.h"

#include "platform/WinTypes.h"
#include "records/CObjectListT.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

class CEntry;
class CEntryFilter;

class CEntryListView : public CCustomListView {
    Q_OBJECT

public:
    // The sort columns (the settings' LastColSorted).
    enum { SortDate = 0, SortDescription = 1, SortOdometer = 2, SortAmount = 3 };

    explicit CEntryListView(QWidget* parent = nullptr);
    ~CEntryListView() override;

    // The entry's second line: "12.50 gal @ $3.10 (Shell)", "Oil change (Garage)", "Oil change".
    static QString EntryDescription(const CEntry& entry);

    // Once the shared fonts exist: the font, the column and the icons.
    void SetUp();

    // Drops every entry and row, then loads those that pass the filter (none without a filter),
    // off the window's thread. False when the load failed or was cancelled: the list is then empty.
    bool Reload(CEntryFilter* filter);
    // The last reload was cancelled by the user (not failed).
    bool WasCancelled() const { return m_Cancelled; }
    // Takes ownership; the new row is selected, focused, sorted into place and scrolled to.
    void AddEntry(CEntry* entry);
    // The entry's row after an edit: sorted into place again, selected and scrolled to.
    void UpdateEntry(CEntry* entry);
    // Removes the entry's row; the record stays until the next reload.
    void RemoveEntryRow(CEntry* entry);

    // Sorts by the column (-1: the stored one) in the stored direction; stores the column.
    void SortItems(int column);

    // The entries of the selected rows, in row order (not owned).
    std::vector<CEntry*> SelectedEntries() const;
    CEntry* EntryAt(int row) const;
    const CObjectListT<CEntry>& Entries() const { return m_Entries; }

    // The first line's texts of a row, as drawn.
    QString DateText(int row) const;

    // Two lines of the bold font and 3 pixels.
    int RowHeight() const;

protected:
    QString RowText(int row) const override;
    void PrepareContextMenu(QMenu& menu) override;
    void DrawRow(QPainter& painter, const QStyleOptionViewItem& option, int row) override;
    int MeasureRow(const QStyleOptionViewItem& option) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What a sort reads of an entry, copied out when the entry is loaded, added or edited, so
    // that a sort touches no record. A row's tag is its entry's index in m_Entries.
    struct SortKey {
        double date = 0.0;
        float amount = 0.0f;
        LONG odometer = 0;
        LONG id = 0;
    };

    QIcon IconFor(const CEntry& entry) const;
    void SelectOnly(int row);
    void SetKey(std::uint32_t tag, const CEntry& entry);
    // The entry's description, case-folded, formatted the first time a sort needs it.
    const QString& FoldedDescription(std::uint32_t tag);
    // The rows' places (into tags) in the column's order, keys only: no row is touched, so it
    // also runs off the window's thread.
    std::vector<int> OrderOf(const std::vector<std::uint32_t>& tags, int column, bool descending);
    // The place of every entry's description in the order of all of them (equal texts share
    // one), worked out once until an entry is added or edited.
    void RankDescriptions();

    // Reads the entry's fill flags anew, after it was stored.
    void ReadFillFlags(const CEntry& entry);

    CObjectListT<CEntry> m_Entries;
    std::unordered_map<ULONG, DWORD> m_FillFlags; // set flags by the entry's reference ID
    std::vector<SortKey> m_Keys;
    std::vector<std::optional<QString>> m_Descriptions;
    std::vector<std::uint32_t> m_DescriptionRanks; // empty while not worked out
    QIcon m_Icons[4];                              // fuel, repair, trip, other expense
    bool m_Cancelled = false;
};
