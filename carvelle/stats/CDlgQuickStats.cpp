#include "stats/CDlgQuickStats.h"

#include "stats/CQuickStatsListView.h"

#include "resources/CMenuResource.h"
#include "resources/ResourceIds.h"
#include "views/DrawTitleBand.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

CDlgQuickStats::CDlgQuickStats(const CQuickStats& stats, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg%1").arg(IDD_QUICK_STATS));
    setWindowTitle(QStringLiteral("Quick Stats"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, TitleBandHeight(), 0, 0);
    layout->setSpacing(0);
    m_List = new CQuickStatsListView(this);
    layout->addWidget(m_List, 1);

    m_SoftKeys = LoadMenuResource(IDR_DONE_CANCEL, this);
    auto* keys = new QHBoxLayout();
    int index = 1;
    for (QAction* action : m_SoftKeys->actions()) {
        auto* key = new QToolButton(this);
        key->setObjectName(QStringLiteral("softkey%1").arg(index));
        key->setDefaultAction(action);
        key->setToolButtonStyle(Qt::ToolButtonTextOnly);
        keys->addWidget(key);
        if (index == 1)
            keys->addStretch(1);
        ++index;
        const int id = action->data().toInt();
        connect(action, &QAction::triggered, this, [this, id] { done(id == ID_DONE ? 1 : 2); });
    }
    layout->addLayout(keys);

    m_List->SetStats(&stats);
    m_List->setFocus();
}

CDlgQuickStats::~CDlgQuickStats() = default;

void CDlgQuickStats::reject() {
    done(2);
}

void CDlgQuickStats::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done(1);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDlgQuickStats::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawTitleBand(painter, *this, windowTitle(), TitleBandDialog);
}

void CDlgQuickStats::showEvent(QShowEvent* event) {
    // Full screen over the main window.
    if (QWidget* owner = parentWidget())
        setGeometry(owner->window()->geometry());
    QDialog::showEvent(event);
}
