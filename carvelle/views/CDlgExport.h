#pragma once
// The export dialog: the entries in view (the entry list's vehicle, type and date range) or every
// vehicle's entries, spreadsheet-safe unless the user unticks it. Done asks for the CSV file and
// writes it.

#include "widgets/CFullScreenDialog.h"

#include "records/CEntryFilter.h"

class CEntryExporter;
class QCheckBox;
class QRadioButton;

class CDlgExport : public CFullScreenDialog {
    Q_OBJECT

public:
    // The filter of the entries in view; its vehicle 0 leaves only every vehicle's entries. The
    // exporter reads the open data file.
    CDlgExport(CEntryExporter& exporter, const CEntryFilter& inView, const QString& viewText,
               QWidget* parent = nullptr);
    ~CDlgExport() override;

    // Asks for the file and writes it; closes only when written.
    void OnDone() override;

    // Where the entries went and how many, after a run that returned 1.
    const QString& Path() const { return m_Path; }
    qint64 Count() const { return m_Count; }

private:
    CEntryExporter& m_Exporter;
    CEntryFilter m_InView;
    QString m_Path;
    qint64 m_Count = 0;
    QRadioButton* m_InViewButton = nullptr; // child widgets, owned by the dialog
    QRadioButton* m_AllButton = nullptr;
    QCheckBox* m_SafeBox = nullptr;
};
