#pragma once
// A table of the report: sorted by a click on a column title (by the model's raw figures, with
// the total row kept last), and copied as tab-separated text under its column titles, which a
// spreadsheet takes as it is.

#include <QTableView>

class QAbstractItemModel;

class CReportTable : public QTableView {
    Q_OBJECT

public:
    // The model is not owned. sortRole holds the raw figures; a row true under pinnedRole (0: none)
    // stays last whichever way the table is sorted.
    CReportTable(QAbstractItemModel* model, int sortRole, int pinnedRole, QWidget* parent = nullptr);

    // The selected rows (every row when none is) as lines of tab-separated cells, under the titles.
    QString SelectionText() const;
    // To the clipboard.
    void Copy() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
