#pragma once
// The import dialog: what the file was read as, its tables (a file may hold several), each
// table's columns with what they hold (the user may correct them, and say what a lone price
// means), the delimiter, decimal mark and date format (detected, and changeable), the vehicle to
// import into, and the first ten rows of a table as they will be stored. Done reads and imports
// the file with a progress bar that Cancel stops; with errors it lists them and offers to import
// the good rows only; it ends with a summary.

#include "widgets/CFullScreenDialog.h"

#include "exchange/CImportMapping.h"

#include "platform/WinTypes.h"

#include <memory>

class CColumnMappingEditor;
class CEntryImporter;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
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
    void FillTables();
    // The table whose columns and rows are shown.
    int Shown() const;
    CImportMapping* ShownMapping() const;
    void ApplyChoices();
    void ShowTable();
    void ShowNotes();
    // The file's units as the import takes them now.
    void ShowUnits();
    // The partial fill-up column's values, of which the user may tick those that set it.
    void ShowFlagValues(const CImportMapping& mapping);
    void ShowPreview();
    void ShowErrors();
    void Forget();
    bool OnProgress(qint64 done, qint64 total);
    void EnableChoices(bool enabled);

    CEntryImporter& m_Importer;
    ULONG m_ActiveVehicle = 0;
    bool m_Running = false;
    bool m_CancelRequested = false;
    bool m_Updating = false;

    // Child widgets, owned by the dialog.
    QLabel* m_Note = nullptr;
    QComboBox* m_Table = nullptr;
    QLabel* m_TableLabel = nullptr;
    QComboBox* m_Delimiter = nullptr;
    QComboBox* m_Decimal = nullptr;
    QComboBox* m_DateFormat = nullptr;
    QComboBox* m_FileDistance = nullptr;
    QComboBox* m_FileVolume = nullptr;
    QComboBox* m_Vehicle = nullptr;
    QComboBox* m_ServiceType = nullptr;
    QLabel* m_ServiceTypeLabel = nullptr;
    QComboBox* m_Price = nullptr;
    QListWidget* m_FlagValue = nullptr;
    QLabel* m_FlagValueLabel = nullptr;
    QLabel* m_PriceLabel = nullptr;
    CColumnMappingEditor* m_Columns = nullptr;
    QTableWidget* m_Preview = nullptr;
    QLabel* m_ErrorTitle = nullptr;
    QPlainTextEdit* m_Errors = nullptr;
    QCheckBox* m_GoodRowsOnly = nullptr;
    QProgressBar* m_Progress = nullptr;
};
