#include "views/CDlgImport.h"

#include "exchange/CEntryImporter.h"
#include "exchange/ImportText.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Label {
    LabelFile,
    LabelColumns,
    LabelDelimiter,
    LabelDecimal,
    LabelDateFormat,
    LabelInto,
    LabelRows,
    LabelService
};
enum Choice {
    ChoiceComma,
    ChoiceSemicolon,
    ChoiceTab,
    ChoicePoint,
    ChoiceDecimalComma,
    ChoiceFileVehicles,
    ChoiceRepairs,
    ChoiceExpenses
};

QString LabelText(Label label) {
    return LoadStringResource(IDS_IMPORT_LABELS).split(u'|').value(label);
}

QString ChoiceText(Choice choice) {
    return LoadStringResource(IDS_IMPORT_CHOICES).split(u'|').value(choice);
}

QLabel* MakeLabel(QWidget* parent, Label label) {
    auto* widget = new QLabel(LabelText(label), parent);
    widget->setFont(SmallBoldFont());
    return widget;
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    return list;
}

// A number as the preview shows it: the user's locale, no more decimals than it has.
QString Number(double value) {
    return QLocale().toString(value, 'g', 7);
}

constexpr int kPreviewRows = 10;
constexpr char kDelimiters[] = {',', ';', '\t'};

} // namespace

CDlgImport::CDlgImport(CEntryImporter& importer, const QString& fileName, ULONG activeVehicle,
                       QWidget* parent)
    : CFullScreenDialog(IDD_IMPORT, LoadStringResource(IDS_IMPORT_TITLE), parent), m_Importer(importer) {
    auto* form = new QFormLayout();
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto* file = new QLabel(QFileInfo(fileName).fileName(), this);
    file->setObjectName(QStringLiteral("file"));
    file->setToolTip(fileName);
    form->addRow(MakeLabel(this, LabelFile), file);

    m_Delimiter = MakeList(this, "delimiter",
                           {ChoiceText(ChoiceComma), ChoiceText(ChoiceSemicolon), ChoiceText(ChoiceTab)});
    m_Decimal = MakeList(this, "decimal", {ChoiceText(ChoicePoint), ChoiceText(ChoiceDecimalComma)});
    QStringList formats;
    for (int f = 0; f < CImportMapping::DateFormatCount; ++f)
        formats << CImportMapping::DateFormatName(static_cast<CImportMapping::DateFormat>(f));
    m_DateFormat = MakeList(this, "dateFormat", formats);
    m_Vehicle = MakeList(this, "vehicle", {});
    // A name that no vehicle has yet makes one.
    m_Vehicle->setEditable(true);
    m_Vehicle->setInsertPolicy(QComboBox::NoInsert);
    m_ServiceType = MakeList(this, "serviceType", {ChoiceText(ChoiceRepairs), ChoiceText(ChoiceExpenses)});
    m_ServiceTypeLabel = MakeLabel(this, LabelService);
    form->addRow(MakeLabel(this, LabelDelimiter), m_Delimiter);
    form->addRow(MakeLabel(this, LabelDecimal), m_Decimal);
    form->addRow(MakeLabel(this, LabelDateFormat), m_DateFormat);
    form->addRow(MakeLabel(this, LabelInto), m_Vehicle);
    form->addRow(m_ServiceTypeLabel, m_ServiceType);
    Body()->addLayout(form);

    m_Note = new QLabel(this);
    m_Note->setObjectName(QStringLiteral("note"));
    m_Note->setWordWrap(true);
    m_Note->setFont(BoldFont());
    Body()->addWidget(m_Note);

    Body()->addWidget(MakeLabel(this, LabelColumns));
    m_Columns = new QLabel(this);
    m_Columns->setObjectName(QStringLiteral("columns"));
    m_Columns->setWordWrap(true);
    Body()->addWidget(m_Columns);

    Body()->addWidget(MakeLabel(this, LabelRows));
    m_Preview = new QTableWidget(this);
    m_Preview->setObjectName(QStringLiteral("preview"));
    m_Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_Preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_Preview->verticalHeader()->hide();
    m_Preview->setWordWrap(false);
    Body()->addWidget(m_Preview, 2);

    m_ErrorTitle = new QLabel(this);
    m_ErrorTitle->setObjectName(QStringLiteral("errorTitle"));
    m_ErrorTitle->setWordWrap(true);
    m_ErrorTitle->setFont(SmallBoldFont());
    m_Errors = new QPlainTextEdit(this);
    m_Errors->setObjectName(QStringLiteral("errors"));
    m_Errors->setReadOnly(true);
    m_Errors->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_GoodRowsOnly = new QCheckBox(this);
    m_GoodRowsOnly->setObjectName(QStringLiteral("goodRowsOnly"));
    Body()->addWidget(m_ErrorTitle);
    Body()->addWidget(m_Errors, 1);
    Body()->addWidget(m_GoodRowsOnly);
    m_ErrorTitle->hide();
    m_Errors->hide();
    m_GoodRowsOnly->hide();

    m_Progress = new QProgressBar(this);
    m_Progress->setObjectName(QStringLiteral("progress"));
    m_Progress->setRange(0, 1000);
    m_Progress->setFormat(LoadStringResource(IDS_IMPORT_CHECKING) + QStringLiteral(" %p%"));
    m_Progress->hide();
    Body()->addWidget(m_Progress);

    // What the file told.
    const CImportMapping& mapping = m_Importer.Mapping();
    for (int i = 0; i < 3; ++i) {
        if (kDelimiters[i] == m_Importer.Reader().Delimiter())
            m_Delimiter->setCurrentIndex(i);
    }
    m_Decimal->setCurrentIndex(mapping.decimalComma ? 1 : 0);
    m_DateFormat->setCurrentIndex(mapping.dateFormat);
    FillVehicles(activeVehicle);

    auto changed = [this] {
        if (!m_Updating)
            ApplyChoices();
    };
    connect(m_Delimiter, &QComboBox::currentIndexChanged, this, [this, changed] {
        if (m_Updating)
            return;
        m_Importer.SetDelimiter(kDelimiters[std::max(0, m_Delimiter->currentIndex())]);
        changed();
    });
    connect(m_Decimal, &QComboBox::currentIndexChanged, this, changed);
    connect(m_DateFormat, &QComboBox::currentIndexChanged, this, changed);
    connect(m_ServiceType, &QComboBox::currentIndexChanged, this, changed);
    connect(m_Vehicle, &QComboBox::currentTextChanged, this, changed);
    ApplyChoices();
    m_DateFormat->setFocus();
}

CDlgImport::~CDlgImport() = default;

void CDlgImport::FillVehicles(ULONG activeVehicle) {
    CObjectListT<CVehicle> vehicles;
    TheRecords().LoadVehicles(vehicles);
    vehicles.SortByName();
    const bool fileNamesVehicles = m_Importer.Mapping().Column(CImportMapping::FieldVehicle) >= 0;
    if (fileNamesVehicles)
        m_Vehicle->addItem(ChoiceText(ChoiceFileVehicles), QVariant::fromValue<qulonglong>(0));
    int active = fileNamesVehicles ? 0 : -1;
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        const CVehicle* vehicle = vehicles.Get(i);
        m_Vehicle->addItem(QString::fromUtf16(vehicle->GetName()),
                           QVariant::fromValue<qulonglong>(vehicle->GetRefID()));
        if (vehicle->GetRefID() == activeVehicle && active < 0)
            active = m_Vehicle->count() - 1;
    }
    m_Vehicle->setCurrentIndex(std::max(0, active));
}

void CDlgImport::ApplyChoices() {
    CImportMapping& mapping = m_Importer.Mapping();
    mapping.decimalComma = m_Decimal->currentIndex() == 1;
    mapping.dateFormat = static_cast<CImportMapping::DateFormat>(std::max(0, m_DateFormat->currentIndex()));
    mapping.serviceType = m_ServiceType->currentIndex() == 1 ? CEntry::EntryExpense : CEntry::EntryRepair;

    // The vehicle: the file's, a stored one picked from the list, or a new name typed in.
    const QString text = m_Vehicle->currentText().trimmed();
    const int index = m_Vehicle->findText(text, Qt::MatchFixedString);
    const ULONG refID = index >= 0 ? static_cast<ULONG>(m_Vehicle->itemData(index).toULongLong()) : 0;
    const bool fileVehicles = index >= 0 && refID == 0;
    m_Importer.targetVehicle = refID;
    m_Importer.targetVehicleName = index >= 0 ? QString() : text;
    m_Importer.overrideFileVehicles = !fileVehicles;

    const bool service = mapping.GetKind() == CImportMapping::KindServiceLog;
    m_ServiceType->setVisible(service);
    m_ServiceTypeLabel->setVisible(service);

    QStringList notes;
    if (m_Importer.OpenFailure().IsProblem())
        notes << ImportText(m_Importer.OpenFailure());
    else
        notes << CImportMapping::KindName(mapping.GetKind());
    if (m_Importer.Detected().dateAmbiguous)
        notes << LoadStringResource(IDS_IMPORT_DATES_AMBIGUOUS);
    if (m_Importer.Reader().IsLatin1())
        notes << LoadStringResource(IDS_IMPORT_LATIN1);
    m_Note->setText(notes.join(u'\n'));

    QStringList columns;
    const QStringList& header = m_Importer.Header();
    for (int column = 0; column < header.size(); ++column) {
        const CImportMapping::Field field = mapping.FieldOf(column);
        columns
            << (field == CImportMapping::FieldCount
                    ? QStringLiteral("%1 \u2192 \u2014").arg(header[column])
                    : QStringLiteral("%1 \u2192 %2").arg(header[column], CImportMapping::FieldName(field)));
    }
    m_Columns->setText(columns.join(QStringLiteral(";  ")));

    // A changed choice needs a fresh check of the whole file.
    m_Importer.ForgetCheck();
    m_ErrorTitle->hide();
    m_Errors->hide();
    m_GoodRowsOnly->hide();
    m_GoodRowsOnly->setChecked(false);
    ShowPreview();
}

void CDlgImport::ShowPreview() {
    using F = CImportMapping;
    const F::Field fields[] = {F::FieldDate,     F::FieldType,        F::FieldOdometer,
                               F::FieldQuantity, F::FieldUnitPrice,   F::FieldAmount,
                               F::FieldVendor,   F::FieldDescription, F::FieldNotes};
    m_Preview->clear();
    m_Preview->setColumnCount(static_cast<int>(std::size(fields)) + 1);
    QStringList titles{QStringLiteral("#")};
    for (F::Field field : fields)
        titles << F::FieldName(field);
    m_Preview->setHorizontalHeaderLabels(titles);
    const auto rows = m_Importer.Mapping().Usable() && !m_Importer.OpenFailure().IsProblem()
                          ? m_Importer.Preview(kPreviewRows)
                          : std::vector<CEntryImporter::PreviewRow>();
    m_Preview->setRowCount(static_cast<int>(rows.size()));
    const QLocale locale;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CEntryImporter::PreviewRow& preview = rows[static_cast<std::size_t>(r)];
        m_Preview->setItem(r, 0, new QTableWidgetItem(QString::number(preview.row.line)));
        if (preview.problem.IsProblem()) {
            auto* item = new QTableWidgetItem(ImportText(preview.problem));
            item->setForeground(palette().color(QPalette::Active, QPalette::LinkVisited));
            m_Preview->setItem(r, 1, item);
            m_Preview->setSpan(r, 1, 1, m_Preview->columnCount() - 1);
            continue;
        }
        const CImportRow& row = preview.row;
        const bool trip = row.type == CEntry::EntryTrip;
        const QStringList cells{
            ShortDateText(row.date),
            QString::fromLatin1(EntryTypeName(row.type)),
            locale.toString(static_cast<qlonglong>(row.odometer)),
            trip || row.custom1 != 0.0f ? Number(row.custom1) : QString(),
            trip || row.custom2 != 0.0f ? Number(row.custom2) : QString(),
            Number(row.amount),
            row.vendor,
            row.name,
            QString(row.notes).replace(u'\n', u' '),
        };
        for (int c = 0; c < cells.size(); ++c)
            m_Preview->setItem(r, c + 1, new QTableWidgetItem(cells[c]));
    }
    m_Preview->resizeColumnsToContents();
}

void CDlgImport::ShowErrors() {
    m_ErrorTitle->setText(ImportErrorsHeading(m_Importer));
    m_Errors->setPlainText(ImportErrorLines(m_Importer).join(u'\n'));
    const qint64 good = m_Importer.RowCount() - m_Importer.ErrorCount();
    m_GoodRowsOnly->setText(FormatStringResource(IDS_IMPORT_GOOD_ROWS, {QString::number(good)}));
    m_GoodRowsOnly->setChecked(false);
    m_ErrorTitle->show();
    m_Errors->show();
    // A file that cannot be read to its end has no good rows to offer.
    m_GoodRowsOnly->setVisible(good > 0 && !m_Importer.Errors().front().StopsTheFile());
}

bool CDlgImport::OnProgress(qint64 done, qint64 total) {
    if (total > 0)
        m_Progress->setValue(static_cast<int>(done * 1000 / total));
    QCoreApplication::processEvents();
    return !m_CancelRequested;
}

void CDlgImport::OnDone() {
    if (m_Running)
        return;
    if (m_Importer.OpenFailure().IsProblem()) {
        CPrompter::Instance().MessageBox(this, ImportText(m_Importer.OpenFailure()),
                                         LoadStringResource(IDS_IMPORT_TITLE), CPrompter::ButtonsOK,
                                         CPrompter::IconWarning);
        return;
    }
    m_Importer.skipBadRows = m_GoodRowsOnly->isVisible() && m_GoodRowsOnly->isChecked();
    m_Running = true;
    m_CancelRequested = false;
    m_Progress->setValue(0);
    m_Progress->show();
    for (QWidget* control : std::initializer_list<QWidget*>{m_Delimiter, m_Decimal, m_DateFormat, m_Vehicle,
                                                            m_ServiceType, m_GoodRowsOnly})
        control->setEnabled(false);
    const CEntryImporter::Result result =
        m_Importer.Import([this](qint64 done, qint64 total) { return OnProgress(done, total); });
    m_Running = false;
    m_Progress->hide();
    for (QWidget* control : std::initializer_list<QWidget*>{m_Delimiter, m_Decimal, m_DateFormat, m_Vehicle,
                                                            m_ServiceType, m_GoodRowsOnly})
        control->setEnabled(true);

    CPrompter& prompter = CPrompter::Instance();
    const QString title = LoadStringResource(IDS_IMPORT_TITLE);
    switch (result) {
    case CEntryImporter::ResultOK:
        prompter.MessageBox(this, ImportText(m_Importer.GetSummary()), title, CPrompter::ButtonsOK,
                            CPrompter::IconInformation);
        done(ID_DONE);
        return;
    case CEntryImporter::ResultRefused:
        ShowErrors();
        return;
    case CEntryImporter::ResultCancelled:
        prompter.MessageBox(this, LoadStringResource(IDS_IMPORT_CANCELLED), title, CPrompter::ButtonsOK,
                            CPrompter::IconInformation);
        done(ID_CANCEL);
        return;
    case CEntryImporter::ResultBusy:
        prompter.MessageBox(this, LoadStringResource(IDS_IMPORT_BUSY), QString(), CPrompter::ButtonsOK,
                            CPrompter::IconWarning);
        return;
    case CEntryImporter::ResultFailed:
        prompter.MessageBox(this, LoadStringResource(IDS_IMPORT_FAILED), QString(), CPrompter::ButtonsOK,
                            CPrompter::IconWarning);
        return;
    }
}

void CDlgImport::OnCancel() {
    if (m_Running) {
        m_CancelRequested = true;
        return;
    }
    CFullScreenDialog::OnCancel();
}
