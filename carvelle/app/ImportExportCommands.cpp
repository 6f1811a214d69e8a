#include "app/ImportExportCommands.h"

#include "core/AppData.h"
#include "core/CQuickStats.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "exchange/CEntryExporter.h"
#include "exchange/CEntryImporter.h"
#include "exchange/ImportText.h"
#include "records/CEntryFilter.h"
#include "records/CVehicle.h"
#include "views/CDlgExport.h"
#include "views/CDlgImport.h"
#include "widgets/CPrompter.h"

bool ImportEntries(QWidget* parent, const QString& folder) {
    CPrompter& prompter = CPrompter::Instance();
    // Files to import are usually kept beside the data file.
    const QString path = prompter.GetOpenFileName(parent, LoadStringResource(IDS_CSV_FILE_FILTER), folder);
    if (path.isEmpty())
        return false;
    CEntryImporter importer(TheDataLayer());
    if (!importer.Open(path)) {
        prompter.MessageBox(parent, ImportText(importer.OpenFailure()), LoadStringResource(IDS_IMPORT_TITLE),
                            CPrompter::ButtonsOK, CPrompter::IconWarning);
        return false;
    }
    CDlgImport dialog(importer, path, TheSession().ActiveVehicle(), parent);
    return prompter.RunModal(dialog) == ID_DONE;
}

void ExportEntries(QWidget* parent, const CEntryFilter& filter, const CVehicle* vehicle,
                   const QString& entryType) {
    CEntryFilter inView = filter;
    QString viewText;
    if (vehicle) {
        viewText = QStringLiteral("%1, %2, %3")
                       .arg(QString::fromUtf16(vehicle->GetName()), entryType, DateRangeText(&inView));
    } else {
        inView.SetVehicleID(0);
    }
    CEntryExporter exporter(TheDataLayer());
    CDlgExport dialog(exporter, inView, viewText, parent);
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.RunModal(dialog) != ID_DONE)
        return;
    QString done = FormatStringResource(IDS_EXPORT_DONE, {QString::number(dialog.Count()), dialog.Path()});
    if (exporter.BadDates() > 0)
        done += QStringLiteral("\n\n") +
                FormatStringResource(IDS_EXPORT_BAD_DATES, {QString::number(exporter.BadDates())});
    prompter.MessageBox(parent, done, LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                        CPrompter::IconInformation);
}
