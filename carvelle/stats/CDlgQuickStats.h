#pragma once
// The Quick Stats sheet: the figures of a computed CQuickStats under a title band. It changes
// nothing; "Done" and "Cancel" both close it.

#include "widgets/CFullScreenDialog.h"

class CQuickStats;
class CQuickStatsListView;

class CDlgQuickStats : public CFullScreenDialog {
    Q_OBJECT

public:
    // The figures are not owned and must outlive the dialog.
    explicit CDlgQuickStats(const CQuickStats& stats, QWidget* parent = nullptr);
    ~CDlgQuickStats() override;

    CQuickStatsListView* List() const { return m_List; }

private:
    CQuickStatsListView* m_List = nullptr; // a child widget
};
