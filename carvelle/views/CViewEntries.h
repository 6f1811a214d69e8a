#pragma once
// The active vehicle's log: a caption band (with room for the sort drop-down) over the entry list.

#include "records/CObjectListT.h"

#include <QWidget>

class CCustomListView;
class CEntryFilter;

class CViewEntries : public QWidget {
    Q_OBJECT

public:
    explicit CViewEntries(QWidget* parent = nullptr);
    ~CViewEntries() override;

    // After the data file is connected.
    void Initialize();

    // The band's caption: the active vehicle's display text or "<No Active Vehicle>".
    void SetCaption(const QString& caption);
    QString Caption() const { return m_Caption; }

    // Loads the entries that pass the filter; no filter empties the list.
    void Reload(CEntryFilter* filter);
    // Takes ownership.
    void AddEntry(CEntry* entry);
    const CObjectListT<CEntry>& Entries() const { return m_Entries; }

    // False for commands this view does not know.
    bool HandleCommand(int id);
    void FocusList();
    CCustomListView* List() const { return m_List; }

    // The width kept free at the band's right end for the sort drop-down.
    int ReservedBandWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    CCustomListView* m_List = nullptr; // a child widget
    CObjectListT<CEntry> m_Entries;
    QString m_Caption;
};
