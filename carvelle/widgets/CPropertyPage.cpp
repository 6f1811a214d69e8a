#include "widgets/CPropertyPage.h"

#include "widgets/CCustomPropertySheet.h"
#include "widgets/CEditEx.h"

#include "core/CStringTable.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPropertyPage::CPropertyPage(int templateId, const QString& caption)
    : m_TemplateId(templateId), m_Caption(caption) {
    setObjectName(QStringLiteral("page%1").arg(templateId));
}

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::EnsureInitialized() {
    if (m_Initialized)
        return;
    m_Initialized = true;
    OnInitDialog();
}

CCustomPropertySheet* CPropertyPage::Sheet() const {
    for (QWidget* parent = parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* sheet = qobject_cast<CCustomPropertySheet*>(parent))
            return sheet;
    }
    return nullptr;
}

QGridLayout* CPropertyPage::Form() {
    if (!m_Form) {
        auto* layout = new QVBoxLayout(this);
        m_Form = new QGridLayout();
        m_Form->setColumnStretch(1, 1);
        layout->addLayout(m_Form);
        layout->addStretch(1);
    }
    return m_Form;
}

QString CPropertyPage::LabelName(const QWidget* field) {
    return field->objectName() + QStringLiteral("Label");
}

QLabel* CPropertyPage::AddRow(const QString& text, QWidget* field, QWidget* button) {
    QGridLayout* form = Form();
    const int row = form->rowCount();
    auto* label = new QLabel(text, this);
    label->setObjectName(LabelName(field));
    label->setFont(SmallBoldFont());
    label->setBuddy(field);
    form->addWidget(label, row, 0);
    form->addWidget(field, row, 1, 1, button ? 1 : 2);
    ChainTab(field);
    if (button) {
        form->addWidget(button, row, 2);
        ChainTab(button);
    }
    return label;
}

void CPropertyPage::ChainTab(QWidget* control) {
    if (m_LastInTabOrder)
        setTabOrder(m_LastInTabOrder, control);
    m_LastInTabOrder = control;
}

int CPropertyPage::LabelColumnWidth() const {
    int width = 0;
    if (m_Form) {
        for (int row = 0; row < m_Form->rowCount(); ++row) {
            QLayoutItem* item = m_Form->itemAtPosition(row, 0);
            auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
            if (label && m_Form->itemAtPosition(row, 1) != item)
                width = qMax(width, label->sizeHint().width());
        }
    }
    return width;
}

void CPropertyPage::SetLabelColumnWidth(int width) {
    if (m_Form)
        m_Form->setColumnMinimumWidth(0, width);
}

void CPropertyPage::FocusFirstField() {
    QWidget* first = FirstField();
    if (!first)
        return;
    first->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(first))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(first); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

QPushButton* CPropertyPage::MakeButton(const char* name, const QString& text) {
    auto* button = Named(new QPushButton(text, this), name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

void CPropertyPage::Hop(QLineEdit* edit, QWidget* previous, QWidget* next) {
    auto* hop = new CEditEx(previous, next);
    hop->Attach(edit);
    m_Hops.emplace_back(hop);
}

void CPropertyPage::ReleaseHops() {
    for (const QPointer<CEditEx>& hop : m_Hops) {
        if (hop)
            hop->Detach();
    }
}

void CPropertyPage::Inform(int textId, QWidget* field) {
    const CCustomPropertySheet* sheet = Sheet();
    CPrompter::Instance().MessageBox(this, LoadStringResource(textId),
                                     sheet ? sheet->windowTitle() : QString(), CPrompter::ButtonsOK,
                                     CPrompter::IconInformation);
    if (field)
        field->setFocus(Qt::OtherFocusReason);
}
