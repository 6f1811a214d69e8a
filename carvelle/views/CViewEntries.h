#pragma once
// The active vehicle's log: a caption band with the sort drop-down at its right end, over the
// entry list. It edits, deletes and sorts entries, and tells the frame when the stored entries
// changed (the vehicle's current odometer may follow).

#include <QWidget>

#include <functional>

class CDocListComboBox;
class QToolButton;
class CEntry;
class CEntryFilter;
class CEntryListView;
template <class T> class CObjectListT;

class CViewEntries : public QWidget {
    Q_OBJECT

public:
    // Opens an entry for editing; true when it was changed and saved.
    using EntryEditor = std::function<bool(CEntry& entry)>;

    explicit CViewEntries(QWidget* parent = nullptr);
    ~CViewEntries() override;

    // After the data file is connected.
    void Initialize();

    // The band's caption: the active vehicle's display text or "<No Active Vehicle>".
    void SetCaption(const QString& caption);
    QString Caption() const { return m_Caption; }
    // The entry type and date range in force ("Fuel · Last Two Weeks"), shown in the band before
    // the sort drop-down; empty when the list shows all entries of all dates.
    void SetFilterText(const QString& text);
    QString FilterText() const { return m_FilterText; }

    // Loads the entries that pass the filter (kept for later edits); no filter empties the list.
    // A failed load is reported and leaves the list empty.
    void Reload(CEntryFilter* filter);
    // Takes ownership.
    void AddEntry(CEntry* entry);
    const CObjectListT<CEntry>& Entries() const;

    // Until the editing sheet exists an edit behaves as cancelled.
    void SetEntryEditor(EntryEditor editor) { m_Editor = std::move(editor); }

    // Edit, Delete and the sort commands; false for commands this view does not know.
    bool HandleCommand(int id);
    void FocusList();
    CEntryListView* List() const { return m_List; }
    CDocListComboBox* SortDropDown() const { return m_SortDropDown; }
    QToolButton* ChartsButton() const { return m_ChartsButton; }

    // The width kept free at the band's right end for the charts button and the sort drop-down.
    int ReservedBandWidth() const;

signals:
    // Entries were saved or deleted: the frame brings the vehicle's current odometer up to date.
    void EntriesChanged();
    // The charts button in the band was pressed.
    void ChartsRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int SortDropDownWidth() const;
    void LayOut();
    void EditSelectedEntry();
    void DeleteSelectedEntries();
    void OnSortCommand(int id);
    void UpdateSortDropDown();

    CEntryListView* m_List = nullptr; // child widgets
    CDocListComboBox* m_SortDropDown = nullptr;
    QToolButton* m_ChartsButton = nullptr;
    CEntryFilter* m_Filter = nullptr; // the frame's, not owned
    EntryEditor m_Editor;
    QString m_Caption;
    QString m_FilterText;
};
