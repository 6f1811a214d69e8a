#include "editing/CDlgKeywords.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/KeywordOrder.h"
#include "core/ResourceIds.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"
#include "widgets/CWinDataExchangeLocale.h"
#include "widgets/SharedFonts.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setEnabled(false);
    // None is the default: Enter presses the focused one and is Done elsewhere.
    button->setAutoDefault(false);
    return button;
}

LONG ItemID(const QListWidgetItem* item) {
    return static_cast<LONG>(item->data(Qt::UserRole).toInt());
}

} // namespace

QString CDlgKeywords::TitleFor(CKeyword::Type type) {
    switch (type) {
    case CKeyword::KeywordTripCategory:
        return LoadStringResource(IDS_KEYWORDS_CATEGORIES);
    case CKeyword::KeywordRepair:
        return LoadStringResource(IDS_KEYWORDS_REPAIRS);
    case CKeyword::KeywordExpense:
        return LoadStringResource(IDS_KEYWORDS_EXPENSES);
    case CKeyword::KeywordFuelVendor:
        return LoadStringResource(IDS_KEYWORDS_FUEL_VENDORS);
    default:
        return QStringLiteral("Manage Keywords");
    }
}

CDlgKeywords::CDlgKeywords(CKeyword::Type type, QWidget* parent)
    : CFullScreenDialog(IDD_KEYWORDS, TitleFor(type), parent), m_Type(type) {
    m_Name = new QLineEdit(this);
    m_Name->setObjectName(QStringLiteral("keywordName"));
    m_Name->setMaxLength(kMaxNameLength);
    m_List = new QListWidget(this);
    m_List->setObjectName(QStringLiteral("keywordList"));
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setFont(NormalFont());
    m_Add = MakeButton(this, "keywordAdd", "Add");
    m_Rename = MakeButton(this, "keywordRename", "Edit");
    m_Delete = MakeButton(this, "keywordDelete", "Delete");

    // The name along the top with Add at its right, Edit and Delete under Add, the list below
    // the name filling the rest.
    auto* grid = new QGridLayout();
    grid->addWidget(m_Name, 0, 0);
    grid->addWidget(m_Add, 0, 1);
    grid->addWidget(m_List, 1, 0, 3, 1);
    grid->addWidget(m_Rename, 1, 1);
    grid->addWidget(m_Delete, 2, 1);
    grid->setRowStretch(3, 1);
    Body()->addLayout(grid, 1);
    setTabOrder(m_Name, m_Add);
    setTabOrder(m_Add, m_List);
    setTabOrder(m_List, m_Rename);
    setTabOrder(m_Rename, m_Delete);

    connect(m_Name, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_Add->setEnabled(!text.isEmpty()); });
    connect(m_Name, &QLineEdit::inputRejected, this, [this] {
        CWinDataExchangeLocale::ExplainRejectedKey(
            m_Name, FormatStringResource(IDS_KEYWORD_TOO_LONG, {QString::number(kMaxNameLength)}));
    });
    m_Name->installEventFilter(this);
    m_List->installEventFilter(this);
    connect(m_List, &QListWidget::itemSelectionChanged, this, &CDlgKeywords::OnSelectionChanged);
    connect(m_List, &QListWidget::itemDoubleClicked, this, [this] { OnDone(); });
    connect(m_Add, &QPushButton::clicked, this, &CDlgKeywords::OnAdd);
    connect(m_Rename, &QPushButton::clicked, this, &CDlgKeywords::OnRename);
    connect(m_Delete, &QPushButton::clicked, this, &CDlgKeywords::OnDelete);

    FillList();
    m_Name->setFocus();
}

CDlgKeywords::~CDlgKeywords() = default;

void CDlgKeywords::FillList() {
    m_List->clear();
    CObjectListT<CKeyword> keywords;
    if (!TheRecords().LoadKeywords(keywords, m_Type))
        return;
    QStringList names;
    for (int i = 0; i < keywords.GetCount(); ++i) {
        const CKeyword* keyword = keywords.Get(i);
        const QString name = QString::fromUtf16(keyword->GetName());
        const int row = SortedKeywordIndex(names, name);
        names.insert(row, name);
        auto* item = new QListWidgetItem(name);
        item->setData(Qt::UserRole, static_cast<int>(keyword->GetID()));
        m_List->insertItem(row, item);
    }
}

QListWidgetItem* CDlgKeywords::SelectedItem() const {
    const QList<QListWidgetItem*> selected = m_List->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool CDlgKeywords::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == m_Name && enter && modifiers == Qt::NoModifier) {
            OnEnterName();
            return true;
        }
        if (watched == m_List && key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
            OnDelete();
            return true;
        }
    }
    return CFullScreenDialog::eventFilter(watched, event);
}

void CDlgKeywords::OnEnterName() {
    const QString name = m_Name->text();
    QListWidgetItem* item = SelectedItem();
    if (name.isEmpty())
        return;
    if (item && item->text() == name)
        OnDone();
    else if (item && m_Picked)
        OnRename();
    else
        OnAdd();
}

void CDlgKeywords::SayExists(const QString& name) {
    ShowRefusal(m_Name, FormatStringResource(IDS_KEYWORD_EXISTS, {name}));
    const QPointer<QLineEdit> field(m_Name);
    connect(
        m_Name, &QLineEdit::textChanged, this,
        [this, field] {
            if (field)
                ClearRefusal(field);
        },
        Qt::SingleShotConnection);
}

void CDlgKeywords::OnSelectionChanged() {
    QListWidgetItem* item = SelectedItem();
    m_Picked = item != nullptr && !m_Adding;
    if (item)
        m_Name->setText(item->text());
    m_Rename->setEnabled(item != nullptr);
    m_Delete->setEnabled(item != nullptr);
}

bool CDlgKeywords::IsDuplicate(const QString& name) const {
    CObjectListT<CKeyword> keywords;
    if (!TheRecords().LoadKeywords(keywords, m_Type))
        return true;
    for (int i = 0; i < keywords.GetCount(); ++i) {
        if (QString::fromUtf16(keywords.Get(i)->GetName()) == name)
            return true;
    }
    return false;
}

void CDlgKeywords::OnAdd() {
    const QString name = m_Name->text();
    if (name.isEmpty())
        return;
    auto keyword = std::make_unique<CKeyword>();
    keyword->SetType(m_Type);
    keyword->SetName(reinterpret_cast<LPCWSTR>(name.utf16()));
    if (IsDuplicate(name)) {
        SayExists(name);
    } else if (TheRecords().Save(*keyword)) {
        QStringList names;
        for (int row = 0; row < m_List->count(); ++row)
            names.append(m_List->item(row)->text());
        auto* item = new QListWidgetItem(name);
        item->setData(Qt::UserRole, static_cast<int>(keyword->GetID()));
        m_List->insertItem(SortedKeywordIndex(names, name), item);
        m_Adding = true;
        m_List->setCurrentItem(item);
        m_Adding = false;
    }
    m_Name->setFocus();
}

void CDlgKeywords::OnRename() {
    QListWidgetItem* item = SelectedItem();
    const QString name = m_Name->text();
    if (!item || name.isEmpty())
        return;
    auto keyword = std::make_unique<CKeyword>();
    keyword->SetID(ItemID(item));
    keyword->SetType(m_Type);
    keyword->SetName(reinterpret_cast<LPCWSTR>(name.utf16()));
    // An item without a stored row is never written: saving it would add a new keyword.
    if (keyword->GetID() == 0)
        return;
    if (IsDuplicate(name)) {
        if (name != item->text())
            SayExists(name);
        return;
    }
    if (!TheRecords().Save(*keyword))
        return;
    // The item keeps its place until the list is filled again.
    item->setText(name);
    m_List->setCurrentItem(item);
    m_List->setFocus();
}

void CDlgKeywords::OnDelete() {
    QListWidgetItem* item = SelectedItem();
    if (!item)
        return;
    if (CPrompter::Instance().MessageBox(this, FormatStringResource(IDS_DELETE_KEYWORD, {item->text()}),
                                         LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsYesNo,
                                         CPrompter::IconWarning) != CPrompter::IDYES)
        return;
    auto keyword = std::make_unique<CKeyword>();
    keyword->SetID(ItemID(item));
    keyword->SetType(m_Type);
    // One row by its ID: a keyword without one is refused, never the whole table.
    if (!TheRecords().Delete(*keyword))
        return;
    const int row = m_List->row(item);
    delete m_List->takeItem(row);
    if (m_List->count() > 0)
        m_List->setCurrentRow(row > 0 ? row - 1 : 0);
    m_List->setFocus();
    OnSelectionChanged();
}

void CDlgKeywords::OnDone() {
    QListWidgetItem* item = SelectedItem();
    if (!item)
        return;
    m_Result = item->text();
    m_Chosen = true;
    done(ID_DONE);
}
