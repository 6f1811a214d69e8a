#include "views/CDlgExport.h"

#include "exchange/CEntryExporter.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/CPrompter.h"

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

CDlgExport::CDlgExport(CEntryExporter& exporter, const CEntryFilter& inView, const QString& viewText,
                       QWidget* parent)
    : CFullScreenDialog(IDD_EXPORT, LoadStringResource(IDS_EXPORT_TITLE), parent), m_Exporter(exporter),
      m_InView(inView) {
    m_InViewButton = new QRadioButton(FormatStringResource(IDS_EXPORT_IN_VIEW, {viewText}), this);
    m_InViewButton->setObjectName(QStringLiteral("inView"));
    m_AllButton = new QRadioButton(LoadStringResource(IDS_EXPORT_ALL), this);
    m_AllButton->setObjectName(QStringLiteral("all"));
    Body()->addWidget(m_InViewButton);
    Body()->addWidget(m_AllButton);
    // The file is most often opened in a spreadsheet, where a note like "=1+1" would run.
    m_SafeBox = new QCheckBox(LoadStringResource(IDS_EXPORT_SPREADSHEET_SAFE), this);
    m_SafeBox->setObjectName(QStringLiteral("spreadsheetSafe"));
    m_SafeBox->setChecked(true);
    Body()->addSpacing(m_SafeBox->sizeHint().height() / 2);
    Body()->addWidget(m_SafeBox);
    Body()->addStretch(1);
    const bool haveView = m_InView.GetVehicleID() != 0;
    m_InViewButton->setEnabled(haveView);
    (haveView ? m_InViewButton : m_AllButton)->setChecked(true);
    (haveView ? m_InViewButton : m_AllButton)->setFocus();
}

CDlgExport::~CDlgExport() = default;

void CDlgExport::OnDone() {
    // Beside the data file, named after the day.
    const QString dataFile = QString::fromStdU16String(TheSettings().DBPath);
    const QDir folder = dataFile.isEmpty()
                            ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                            : QFileInfo(dataFile).absoluteDir();
    const QString initial =
        folder.filePath(QStringLiteral("%1 %2.csv")
                            .arg(LoadStringResource(IDS_MY_VEHICLES),
                                 QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    CPrompter& prompter = CPrompter::Instance();
    const QString path = prompter.GetSaveFileName(this, LoadStringResource(IDS_CSV_FILE_FILTER), initial);
    if (path.isEmpty())
        return;
    CEntryFilter filter = m_InView;
    if (m_AllButton->isChecked())
        filter = CEntryFilter();
    m_Exporter.spreadsheetSafe = m_SafeBox->isChecked();
    if (!m_Exporter.WriteFile(filter, path)) {
        prompter.MessageBox(this, FormatStringResource(IDS_EXPORT_FAILED, {path, m_Exporter.Problem()}),
                            QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
        return;
    }
    m_Path = path;
    m_Count = m_Exporter.Count();
    done(ID_DONE);
}
