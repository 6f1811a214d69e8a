#pragma once
// The Quick Stats sheet: the figures of a computed CQuickStats under a title band. It changes
// nothing; "Done" and "Cancel" both close it.

#include <QDialog>

#include <memory>

class CQuickStats;
class CQuickStatsListView;
class QMenu;

class CDlgQuickStats : public QDialog {
    Q_OBJECT

public:
    // The figures are not owned and must outlive the dialog.
    explicit CDlgQuickStats(const CQuickStats& stats, QWidget* parent = nullptr);
    ~CDlgQuickStats() override;

    CQuickStatsListView* List() const { return m_List; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<QMenu> m_SoftKeys; // "Done" and "Cancel"
    CQuickStatsListView* m_List = nullptr;
};
