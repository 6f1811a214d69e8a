#include "views/CDlgImport.h"

#include "views/CColumnMappingEditor.h"

#include "exchange/CEntryImporter.h"
#include "exchange/ImportText.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "core/VehicleLookup.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// The item of exactly that text, else the one item it names case aside; -1 when none or several.
int FindVehicleChoice(const QComboBox& box, const QString& text) {
    const int exact = box.findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (exact >= 0)
        return exact;
    const QString folded = FoldedVehicleName(text);
    int found = -1;
    for (int i = 0; i < box.count(); ++i) {
        if (FoldedVehicleName(box.itemText(i)) == folded) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}

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
enum MoreLabel { LabelTable, LabelPrice };
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

QLabel* MakeLabel(QWidget* parent, const QString& text) {
    auto* widget = new QLabel(text, parent);
    widget->setFont(SmallBoldFont());
    return widget;
}

QLabel* MakeLabel(QWidget* parent, Label label) {
    return MakeLabel(parent, LabelText(label));
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    // Long choices ("The vehicles named in the file") must not widen the dialog past a small
    // screen: the open list shows them whole.
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(12);
    return list;
}

// The units a file may be in, in the order of FileDistance and FileVolume after Unstated.
constexpr FileDistance kDistances[] = {FileDistance::Kilometres, FileDistance::Miles};
constexpr FileVolume kVolumes[] = {FileVolume::Litres, FileVolume::GallonsUS, FileVolume::GallonsUK,
                                   FileVolume::Kilograms, FileVolume::KilowattHours};

// A number as the preview shows it: the user's locale, no more decimals than it has.
QString Number(double value) {
    return QLocale().toString(value, 'g', 7);
}

// A table as the list of tables names it: where it starts, its marker or first column names, and
// what it is read as.
QString TableText(const CEntryImporter::Table& table) {
    QString name = table.marker;
    if (name.isEmpty())
        name = table.mapping.Header().mid(0, 3).join(QStringLiteral(", "));
    if (name.size() > 40)
        name = name.left(39) + u'\u2026';
    const qint64 line = table.markerLine > 0 ? table.markerLine : table.headerLine;
    return QStringLiteral("%1: %2 \u2014 %3")
        .arg(QString::number(line), name, CImportMapping::KindName(table.mapping.GetKind()));
}

constexpr int kPreviewRows = 10;
constexpr char kDelimiters[] = {',', ';', '\t'};

} // namespace

CDlgImport::CDlgImport(CEntryImporter& importer, const QString& fileName, ULONG activeVehicle,
                       QWidget* parent)
    : CFullScreenDialog(IDD_IMPORT, LoadStringResource(IDS_IMPORT_TITLE), parent), m_Importer(importer),
      m_ActiveVehicle(activeVehicle) {
    const QStringList more = LoadStringResource(IDS_IMPORT_MORE_LABELS).split(u'|');
    const QStringList unitLabels = LoadStringResource(IDS_IMPORT_UNIT_LABELS).split(u'|');
    // The choices in two columns, so that the columns and rows below keep their room on a small
    // screen.
    auto* form = new QGridLayout();
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);
    auto* file = new QLabel(this);
    file->setObjectName(QStringLiteral("file"));
    file->setText(fontMetrics().elidedText(QFileInfo(fileName).fileName(), Qt::ElideMiddle,
                                           fontMetrics().averageCharWidth() * 48));
    file->setToolTip(fileName);

    m_Table = MakeList(this, "table", {});
    m_TableLabel = MakeLabel(this, more.value(LabelTable));
    m_Delimiter = MakeList(this, "delimiter",
                           {ChoiceText(ChoiceComma), ChoiceText(ChoiceSemicolon), ChoiceText(ChoiceTab)});
    m_Decimal = MakeList(this, "decimal", {ChoiceText(ChoicePoint), ChoiceText(ChoiceDecimalComma)});
    QStringList formats;
    for (int f = 0; f < CImportMapping::DateFormatCount; ++f)
        formats << CImportMapping::DateFormatName(static_cast<CImportMapping::DateFormat>(f));
    m_DateFormat = MakeList(this, "dateFormat", formats);
    QStringList distances;
    for (FileDistance unit : kDistances)
        distances << UnitName(unit);
    m_FileDistance = MakeList(this, "fileDistance", distances);
    QStringList volumes;
    for (FileVolume unit : kVolumes)
        volumes << UnitName(unit);
    m_FileVolume = MakeList(this, "fileVolume", volumes);
    m_Vehicle = MakeList(this, "vehicle", {});
    // A name that no vehicle has yet makes one.
    m_Vehicle->setEditable(true);
    m_Vehicle->setInsertPolicy(QComboBox::NoInsert);
    // Otherwise the box itself turns a typed "Golf" into a listed "GOLF" when editing ends.
    m_Vehicle->completer()->setCaseSensitivity(Qt::CaseSensitive);
    m_ServiceType = MakeList(this, "serviceType", {ChoiceText(ChoiceRepairs), ChoiceText(ChoiceExpenses)});
    m_ServiceTypeLabel = MakeLabel(this, LabelService);
    m_Price = MakeList(this, "price", LoadStringResource(IDS_IMPORT_PRICE_CHOICES).split(u'|'));
    m_PriceLabel = MakeLabel(this, more.value(LabelPrice));
    auto place = [form](QWidget* label, QWidget* field, int row, int side) {
        form->addWidget(label, row, side * 2);
        form->addWidget(field, row, side * 2 + 1);
    };
    place(MakeLabel(this, LabelFile), file, 0, 0);
    place(m_TableLabel, m_Table, 0, 1);
    place(MakeLabel(this, LabelDelimiter), m_Delimiter, 1, 0);
    place(MakeLabel(this, LabelDecimal), m_Decimal, 1, 1);
    place(MakeLabel(this, LabelDateFormat), m_DateFormat, 2, 0);
    place(MakeLabel(this, LabelInto), m_Vehicle, 2, 1);
    place(MakeLabel(this, unitLabels.value(0)), m_FileDistance, 3, 0);
    place(MakeLabel(this, unitLabels.value(1)), m_FileVolume, 3, 1);
    place(m_ServiceTypeLabel, m_ServiceType, 4, 0);
    place(m_PriceLabel, m_Price, 4, 1);
    const QStringList flag = LoadStringResource(IDS_IMPORT_FLAG_CHOICE).split(u'|');
    // Several codes may mean partial ("2" and "3" of a fill type), so each value has a check box;
    // the first line is the yes/no reading.
    m_FlagValue = new QListWidget(this);
    m_FlagValue->setObjectName(QStringLiteral("flagValues"));
    m_FlagValue->setSelectionMode(QAbstractItemView::NoSelection);
    m_FlagValue->setFixedHeight(4 * (fontMetrics().height() + 4) + 2 * m_FlagValue->frameWidth());
    m_FlagValueLabel = MakeLabel(this, flag.value(0));
    m_FlagValueLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(m_FlagValueLabel, m_FlagValue, 5, 0);
    // The choices and the notes scroll together: on a small screen or with large text the
    // columns and the rows below keep their room.
    m_Note = new QLabel(this);
    m_Note->setObjectName(QStringLiteral("note"));
    m_Note->setWordWrap(true);
    m_Note->setFont(BoldFont());
    m_Note->setTextFormat(Qt::PlainText);
    m_Note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* choices = new QWidget(this);
    auto* choicesLayout = new QVBoxLayout(choices);
    choicesLayout->setContentsMargins(0, 0, 0, 0);
    choicesLayout->addLayout(form);
    choicesLayout->addWidget(m_Note);
    choicesLayout->addStretch(1);
    auto* top = new QScrollArea(this);
    top->setObjectName(QStringLiteral("choices"));
    top->setWidgetResizable(true);
    top->setFrameShape(QFrame::NoFrame);
    top->setWidget(choices);
    top->setMinimumHeight(3 * m_Delimiter->sizeHint().height());
    Body()->addWidget(top, 1);

    Body()->addWidget(MakeLabel(this, LabelColumns));
    m_Columns = new CColumnMappingEditor(this);
    Body()->addWidget(m_Columns, 1);

    Body()->addWidget(MakeLabel(this, LabelRows));
    m_Preview = new QTableWidget(this);
    m_Preview->setObjectName(QStringLiteral("preview"));
    m_Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_Preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_Preview->verticalHeader()->hide();
    m_Preview->setWordWrap(false);
    // Its heading and five rows at least.
    m_Preview->setMinimumHeight(m_Preview->verticalHeader()->defaultSectionSize() * 6 +
                                2 * m_Preview->frameWidth());
    Body()->addWidget(m_Preview, 2);

    m_ErrorTitle = new QLabel(this);
    m_ErrorTitle->setObjectName(QStringLiteral("errorTitle"));
    m_ErrorTitle->setWordWrap(true);
    m_ErrorTitle->setFont(SmallBoldFont());
    m_Errors = new QPlainTextEdit(this);
    m_Errors->setObjectName(QStringLiteral("errors"));
    m_Errors->setReadOnly(true);
    m_Errors->setLineWrapMode(QPlainTextEdit::WidgetWidth);
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
    m_Updating = true;
    for (int i = 0; i < 3; ++i) {
        if (kDelimiters[i] == m_Importer.Reader().Delimiter())
            m_Delimiter->setCurrentIndex(i);
    }
    m_Decimal->setCurrentIndex(m_Importer.decimalComma ? 1 : 0);
    m_DateFormat->setCurrentIndex(m_Importer.dateFormat);
    m_ServiceType->setCurrentIndex(m_Importer.serviceType == CEntry::EntryExpense ? 1 : 0);
    FillTables();
    ShowUnits();
    FillVehicles(activeVehicle);
    m_Updating = false;

    auto changed = [this] {
        if (!m_Updating)
            ApplyChoices();
    };
    connect(m_Delimiter, &QComboBox::currentIndexChanged, this, [this] {
        if (m_Updating)
            return;
        m_Importer.SetDelimiter(kDelimiters[std::max(0, m_Delimiter->currentIndex())]);
        m_Updating = true;
        // The columns read anew tell their dates and numbers anew.
        m_Decimal->setCurrentIndex(m_Importer.decimalComma ? 1 : 0);
        m_DateFormat->setCurrentIndex(m_Importer.dateFormat);
        FillTables();
        m_Vehicle->clear();
        FillVehicles(m_ActiveVehicle);
        m_Updating = false;
        ApplyChoices();
    });
    connect(m_Table, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_Updating)
            ShowTable();
    });
    connect(m_Decimal, &QComboBox::currentIndexChanged, this, changed);
    connect(m_DateFormat, &QComboBox::currentIndexChanged, this, changed);
    connect(m_ServiceType, &QComboBox::currentIndexChanged, this, changed);
    // Only the user's own choice overrides what the file states, row by row where it does.
    connect(m_FileDistance, &QComboBox::activated, this, [this](int index) {
        m_Importer.fileDistance = kDistances[std::clamp(index, 0, 1)];
        m_Importer.ApplyChoices();
        ShowTable();
    });
    connect(m_FileVolume, &QComboBox::activated, this, [this](int index) {
        m_Importer.fileVolume = kVolumes[std::clamp(index, 0, static_cast<int>(std::size(kVolumes)) - 1)];
        m_Importer.ApplyChoices();
        ShowTable();
    });
    connect(m_Vehicle, &QComboBox::currentTextChanged, this, changed);
    connect(m_Price, &QComboBox::activated, this, [this](int choice) {
        if (CImportMapping* mapping = ShownMapping()) {
            mapping->SetPriceReading(choice == 0 ? CImportMapping::PriceUnit : CImportMapping::PriceTotal,
                                     CImportMapping::ReasonUser);
            ShowTable();
        }
    });
    connect(m_FlagValue, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_Updating || Shown() < 0)
            return;
        QStringList codes;
        if (m_FlagValue->row(item) != 0 || item->checkState() != Qt::Checked) {
            for (int row = 1; row < m_FlagValue->count(); ++row) {
                if (m_FlagValue->item(row)->checkState() == Qt::Checked)
                    codes << m_FlagValue->item(row)->text();
            }
        }
        m_Importer.SetFlagValues(static_cast<std::size_t>(Shown()), CImportMapping::FieldPartial, codes);
        ShowTable();
    });
    connect(m_Columns, &CColumnMappingEditor::FieldChosen, this,
            [this](int column, CImportMapping::Field field) {
                if (Shown() < 0)
                    return;
                m_Importer.SetField(static_cast<std::size_t>(Shown()), column, field);
                // A new date or number column may tell their form anew.
                m_Updating = true;
                m_Decimal->setCurrentIndex(m_Importer.decimalComma ? 1 : 0);
                m_DateFormat->setCurrentIndex(m_Importer.dateFormat);
                m_Updating = false;
                ShowTable();
            });
    ApplyChoices();
    m_DateFormat->setFocus();
}

CDlgImport::~CDlgImport() = default;

void CDlgImport::FillTables() {
    m_Table->clear();
    const auto& tables = m_Importer.Tables();
    for (const CEntryImporter::Table& table : tables)
        m_Table->addItem(TableText(table));
    m_Table->setCurrentIndex(std::max(0, m_Importer.FirstImported()));
    const bool several = tables.size() > 1;
    m_Table->setVisible(several);
    m_TableLabel->setVisible(several);
}

void CDlgImport::ShowUnits() {
    const CImportMapping& mapping = ShownMapping() ? *ShownMapping() : m_Importer.Mapping();
    FileDistance distance = mapping.DistanceIn();
    if (distance == FileDistance::Unstated)
        distance = AsFileUnit(m_Importer.userDistance);
    FileVolume volume = mapping.VolumeIn();
    if (volume == FileVolume::Unstated)
        volume = AsFileUnit(m_Importer.userVolume);
    m_FileDistance->setCurrentIndex(static_cast<int>(
        std::find(std::begin(kDistances), std::end(kDistances), distance) - std::begin(kDistances)));
    m_FileVolume->setCurrentIndex(
        static_cast<int>(std::find(std::begin(kVolumes), std::end(kVolumes), volume) - std::begin(kVolumes)));
}

void CDlgImport::ShowFlagValues(const CImportMapping& mapping) {
    const int column = mapping.Column(CImportMapping::FieldPartial);
    m_FlagValue->setVisible(column >= 0);
    m_FlagValueLabel->setVisible(column >= 0);
    if (column < 0)
        return;
    QStringList values{LoadStringResource(IDS_IMPORT_FLAG_CHOICE).split(u'|').value(1)};
    values << m_Importer.DistinctValues(static_cast<std::size_t>(Shown()), column, 20);
    const QStringList& chosen = mapping.FlagValues(CImportMapping::FieldPartial);
    for (const QString& code : chosen) {
        if (!values.contains(code))
            values << code;
    }
    const bool wasUpdating = std::exchange(m_Updating, true);
    // The list is kept while its values stay, so a click does not rebuild the list it came from.
    QStringList shown;
    for (int row = 0; row < m_FlagValue->count(); ++row)
        shown << m_FlagValue->item(row)->text();
    if (shown != values) {
        m_FlagValue->clear();
        for (const QString& value : values) {
            auto* item = new QListWidgetItem(value, m_FlagValue);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        }
    }
    for (int row = 0; row < m_FlagValue->count(); ++row) {
        QListWidgetItem* item = m_FlagValue->item(row);
        const bool on = row == 0 ? chosen.isEmpty() : chosen.contains(item->text());
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    m_Updating = wasUpdating;
}

void CDlgImport::FillVehicles(ULONG activeVehicle) {
    CObjectListT<CVehicle> vehicles;
    TheRecords().LoadVehicles(vehicles);
    vehicles.SortByName();
    const bool fileNamesVehicles = m_Importer.NamesVehicles();
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

int CDlgImport::Shown() const {
    const int index = m_Table->currentIndex();
    return index >= 0 && static_cast<std::size_t>(index) < m_Importer.Tables().size() ? index : -1;
}

CImportMapping* CDlgImport::ShownMapping() const {
    const int shown = Shown();
    return shown >= 0 ? &m_Importer.Tables()[static_cast<std::size_t>(shown)].mapping : nullptr;
}

void CDlgImport::ApplyChoices() {
    m_Importer.decimalComma = m_Decimal->currentIndex() == 1;
    m_Importer.dateFormat =
        static_cast<CImportMapping::DateFormat>(std::max(0, m_DateFormat->currentIndex()));
    m_Importer.serviceType = m_ServiceType->currentIndex() == 1 ? CEntry::EntryExpense : CEntry::EntryRepair;

    // The vehicle: the file's, a stored one picked from the list, or a new name typed in.
    const QString text = m_Vehicle->currentText().trimmed();
    const int index = FindVehicleChoice(*m_Vehicle, text);
    const ULONG refID = index >= 0 ? static_cast<ULONG>(m_Vehicle->itemData(index).toULongLong()) : 0;
    const bool fileVehicles = index >= 0 && refID == 0;
    m_Importer.targetVehicle = refID;
    m_Importer.targetVehicleName = index >= 0 ? QString() : text;
    m_Importer.overrideFileVehicles = !fileVehicles;
    m_Importer.ApplyChoices();
    ShowTable();
}

void CDlgImport::ShowTable() {
    m_Updating = true;
    // Every table's service rows follow the one choice, so its list shows where any table needs it.
    bool askService = false;
    for (const CEntryImporter::Table& table : m_Importer.Tables()) {
        askService = askService ||
                     (table.mapping.Usable() && table.mapping.GetKind() == CImportMapping::KindServiceLog &&
                      !table.mapping.ServiceTypeFixed());
    }
    m_ServiceType->setVisible(askService);
    m_ServiceTypeLabel->setVisible(askService);
    const int shown = Shown();
    for (int i = 0; i < m_Table->count(); ++i)
        m_Table->setItemText(i, TableText(m_Importer.Tables()[static_cast<std::size_t>(i)]));
    if (const CImportMapping* mapping = ShownMapping()) {
        const CEntryImporter::Table& table = m_Importer.Tables()[static_cast<std::size_t>(shown)];
        // A table that has no place, or that the file's delimiter does not split, is only shown.
        m_Columns->SetMapping(*mapping, !mapping->SkippedByMarker() && !table.otherDelimiter);
        // The drop-downs are made as the table is shown: they take their place after the choices.
        if (m_Columns->First()) {
            QWidget::setTabOrder(m_Price, m_Columns->First());
            QWidget::setTabOrder(m_Columns->Last(), m_Preview);
        }
        const bool price =
            mapping->PriceColumn() >= 0 && mapping->GetPriceReading() != CImportMapping::PriceNone;
        m_Price->setVisible(price);
        m_PriceLabel->setVisible(price);
        m_Price->setCurrentIndex(mapping->GetPriceReading() == CImportMapping::PriceUnit ? 0 : 1);
        ShowFlagValues(*mapping);
    }
    ShowUnits();
    m_Updating = false;
    ShowNotes();
    Forget();
    ShowPreview();
}

void CDlgImport::ShowNotes() {
    QStringList notes;
    // A table that lacks a column says so in its own note.
    if (m_Importer.OpenFailure().IsProblem())
        notes << ImportText(m_Importer.OpenFailure());
    notes << ImportNotes(m_Importer);
    if (m_Importer.Detected().dateAmbiguous)
        notes << LoadStringResource(IDS_IMPORT_DATES_AMBIGUOUS);
    if (m_Importer.Reader().IsLatin1())
        notes << LoadStringResource(IDS_IMPORT_LATIN1);
    m_Note->setText(notes.join(u'\n'));
}

void CDlgImport::Forget() {
    // A changed choice needs the whole file read again.
    m_ErrorTitle->hide();
    m_Errors->hide();
    m_GoodRowsOnly->hide();
    m_GoodRowsOnly->setChecked(false);
}

void CDlgImport::ShowPreview() {
    using F = CImportMapping;
    const F::Field fields[] = {F::FieldDate,      F::FieldType,   F::FieldOdometer, F::FieldQuantity,
                               F::FieldUnitPrice, F::FieldAmount, F::FieldVendor,   F::FieldDescription,
                               F::FieldNotes,     F::FieldVehicle};
    m_Preview->clear();
    m_Preview->setColumnCount(static_cast<int>(std::size(fields)) + 1);
    QStringList titles{QStringLiteral("#")};
    for (F::Field field : fields)
        titles << F::FieldName(field);
    m_Preview->setHorizontalHeaderLabels(titles);
    const CImportMapping* mapping = ShownMapping();
    const auto rows = mapping && mapping->Usable() && !m_Importer.OpenFailure().IsProblem()
                          ? m_Importer.Preview(kPreviewRows, Shown())
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
        QStringList cells;
        if (row.vehicleOnly) {
            cells = QStringList(static_cast<int>(std::size(fields)) - 1);
            cells << row.vehicle;
        } else {
            cells = {
                ShortDateText(row.date),
                QString::fromLatin1(EntryTypeName(row.type)),
                locale.toString(static_cast<qlonglong>(row.odometer)),
                trip || row.custom1 != 0.0f ? Number(row.custom1) : QString(),
                trip || row.custom2 != 0.0f ? Number(row.custom2) : QString(),
                Number(row.amount),
                row.vendor,
                row.name,
                QString(row.notes).replace(u'\n', u' '),
                row.vehicle,
            };
        }
        for (int c = 0; c < cells.size(); ++c)
            m_Preview->setItem(r, c + 1, new QTableWidgetItem(cells[c]));
    }
    m_Preview->resizeColumnsToContents();
}

void CDlgImport::ShowErrors() {
    m_ErrorTitle->setText(ImportErrorsHeading(m_Importer));
    m_Errors->setPlainText(ImportErrorLines(m_Importer, ImportReader::Dialog).join(u'\n'));
    const qint64 good = m_Importer.RowCount() - m_Importer.ErrorCount();
    m_GoodRowsOnly->setText(FormatStringResource(IDS_IMPORT_GOOD_ROWS, {QString::number(good)}));
    m_GoodRowsOnly->setChecked(false);
    m_ErrorTitle->show();
    m_Errors->show();
    // A file that cannot be read to its end has no good rows to offer.
    const bool stops = std::any_of(m_Importer.Errors().begin(), m_Importer.Errors().end(),
                                   [](const CImportProblem& problem) { return problem.StopsTheFile(); });
    m_GoodRowsOnly->setVisible(good > 0 && !stops);
}

bool CDlgImport::OnProgress(qint64 done, qint64 total) {
    if (total > 0)
        m_Progress->setValue(static_cast<int>(done * 1000 / total));
    QCoreApplication::processEvents();
    return !m_CancelRequested;
}

void CDlgImport::EnableChoices(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_Table, m_Delimiter, m_Decimal, m_DateFormat, m_FileDistance, m_FileVolume, m_Vehicle,
             m_ServiceType, m_Price, m_FlagValue, m_Columns, m_GoodRowsOnly})
        control->setEnabled(enabled);
}

void CDlgImport::OnDone() {
    if (m_Running)
        return;
    CImportProblem problem = m_Importer.OpenFailure();
    if (!problem.IsProblem())
        problem = m_Importer.TableProblem();
    if (problem.IsProblem()) {
        CPrompter::Instance().MessageBox(this, ImportText(problem), LoadStringResource(IDS_IMPORT_TITLE),
                                         CPrompter::ButtonsOK, CPrompter::IconWarning);
        return;
    }
    m_Importer.skipBadRows = m_GoodRowsOnly->isVisible() && m_GoodRowsOnly->isChecked();
    m_Running = true;
    m_CancelRequested = false;
    m_Progress->setValue(0);
    m_Progress->show();
    EnableChoices(false);
    const CEntryImporter::Result result =
        m_Importer.Import([this](qint64 done, qint64 total) { return OnProgress(done, total); });
    m_Running = false;
    m_Progress->hide();
    EnableChoices(true);

    CPrompter& prompter = CPrompter::Instance();
    const QString title = LoadStringResource(IDS_IMPORT_TITLE);
    switch (result) {
    case CEntryImporter::ResultOK:
        prompter.MessageBox(this, ImportSummaryText(m_Importer), title, CPrompter::ButtonsOK,
                            CPrompter::IconInformation);
        done(ID_DONE);
        return;
    case CEntryImporter::ResultRefused:
        ShowNotes();
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
