#pragma once
// The import dialog: the file's columns and what they map to, the delimiter, decimal mark and date
// format (detected, and changeable), the vehicle to import into, and the first ten rows as they will
// be stored. Done checks the whole file; with errors it lists them (the first 50 and a count) and
// offers to import the good rows only; then it imports with a progress bar that Cancel stops, and
// ends with a summary.

#include "widgets/CFullScreenDialog.h"

#include "platform/WinTypes.h"

#include <memory>

class CEntryImporter;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QTableWidget;

class CDlgImport : public CFullScreenDialog {
    Q_OBJECT

public:
    // The importer has opened its file; rows that name no vehicle go to the active vehicle.
    CDlgImport(CEntryImporter& importer, const QString& fileName, ULONG activeVehicle,
               QWidget* parent = nullptr);
    ~CDlgImport() override;

    void OnDone() override;
    // While importing: stops the import (everything is rolled back).
    void OnCancel() override;

    bool IsRunning() const { return m_Running; }

private:
    void FillVehicles(ULONG activeVehicle);
    void ApplyChoices();
    void ShowPreview();
    void ShowErrors();
    bool OnProgress(qint64 done, qint64 total);

    CEntryImporter& m_Importer;
    bool m_Running = false;
    bool m_CancelRequested = false;
    bool m_Updating = false;

    // Child widgets, owned by the dialog.
    QLabel* m_Columns = nullptr;
    QLabel* m_Note = nullptr;
    QComboBox* m_Delimiter = nullptr;
    QComboBox* m_Decimal = nullptr;
    QComboBox* m_DateFormat = nullptr;
    QComboBox* m_Vehicle = nullptr;
    QComboBox* m_ServiceType = nullptr;
    QLabel* m_ServiceTypeLabel = nullptr;
    QTableWidget* m_Preview = nullptr;
    QLabel* m_ErrorTitle = nullptr;
    QPlainTextEdit* m_Errors = nullptr;
    QCheckBox* m_GoodRowsOnly = nullptr;
    QProgressBar* m_Progress = nullptr;
};
