#pragma once
// The printed report of one vehicle: its name and the range in view, the four charts, the table by
// month or year and the table across vehicles, laid out on pages of any size (A4 and Letter
// alike), a table's column titles repeated on each page it runs over, and page numbers.

#include "charts/CChartData.h"

#include <QString>

class CFleetSummary;
class QLocale;
class QPageSize;
class QPagedPaintDevice;

class CReportDocument {
public:
    // Neither is owned; both must outlive the document.
    CReportDocument(const CChartData& data, const CFleetSummary& fleet, const QString& title,
                    const QString& viewText);

    // Paints the report on the device, margins set here; false when the device cannot be painted
    // on (a file that cannot be written, a printer that fails).
    bool Print(QPagedPaintDevice& device, CChartData::PeriodKind kind) const;
    // The pages the last Print filled.
    int PageCount() const { return m_Pages; }

    // Letter where it is the usual paper, else A4.
    static QPageSize PageSizeFor(const QLocale& locale);

    // Where the next line goes, and when a page is full (in the source).
    class Pager;

private:
    void Lay(Pager& pager, CChartData::PeriodKind kind) const;

    const CChartData& m_Data;
    const CFleetSummary& m_Fleet;
    QString m_Title;
    QString m_ViewText;
    mutable int m_Pages = 0;
};
