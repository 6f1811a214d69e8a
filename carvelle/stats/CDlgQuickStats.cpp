#include "stats/CDlgQuickStats.h"

#include "stats/CQuickStatsListView.h"

#include "core/ResourceIds.h"

#include <QVBoxLayout>

CDlgQuickStats::CDlgQuickStats(const CQuickStats& stats, QWidget* parent)
    : CFullScreenDialog(IDD_QUICK_STATS, QStringLiteral("Quick Stats"), parent) {
    FillToEdges();
    m_List = new CQuickStatsListView(this);
    Body()->addWidget(m_List, 1);
    m_List->SetStats(&stats);
    m_List->setFocus();
}

CDlgQuickStats::~CDlgQuickStats() = default;
