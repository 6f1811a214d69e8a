#include "views/CColumnMappingEditor.h"

#include "core/CStringTable.h"
#include "widgets/SharedFonts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace {

// Columns side by side in the grid: a name and its drop-down each.
constexpr int kPairsPerLine = 2;

} // namespace

CColumnMappingEditor::CColumnMappingEditor(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("columns"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Tab goes through the drop-downs, not the area around them.
    setFocusPolicy(Qt::NoFocus);
    m_Grid = new QWidget(this);
    m_Layout = new QGridLayout(m_Grid);
    m_Layout->setContentsMargins(0, 0, 0, 0);
    setWidget(m_Grid);
}

QWidget* CColumnMappingEditor::First() const {
    return m_Lists.empty() ? nullptr : m_Lists.front();
}

QWidget* CColumnMappingEditor::Last() const {
    return m_Lists.empty() ? nullptr : m_Lists.back();
}

void CColumnMappingEditor::SetMapping(const CImportMapping& mapping, bool enabled) {
    m_Filling = true;
    const QStringList& header = mapping.Header();
    if (static_cast<qsizetype>(m_Lists.size()) != header.size()) {
        // Another table: the grid is made anew.
        while (QLayoutItem* item = m_Layout->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        m_Lists.clear();
        QStringList choices{LoadStringResource(IDS_IMPORT_NOT_USED)};
        for (int field = 0; field < CImportMapping::FieldCount; ++field)
            choices << CImportMapping::FieldName(static_cast<CImportMapping::Field>(field));
        for (qsizetype column = 0; column < header.size(); ++column) {
            auto* name = new QLabel(m_Grid);
            auto* list = new QComboBox(m_Grid);
            list->setObjectName(QStringLiteral("column%1").arg(column));
            list->addItems(choices);
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(10);
            name->setBuddy(list);
            const int line = static_cast<int>(column) / kPairsPerLine;
            const int place = static_cast<int>(column) % kPairsPerLine * 2;
            m_Layout->addWidget(name, line, place);
            m_Layout->addWidget(list, line, place + 1);
            const int index = static_cast<int>(column);
            connect(list, &QComboBox::activated, this, [this, index](int choice) {
                if (!m_Filling)
                    emit FieldChosen(index, choice == 0 ? CImportMapping::FieldCount
                                                        : static_cast<CImportMapping::Field>(choice - 1));
            });
            m_Lists.push_back(list);
        }
        for (int place = 1; place < kPairsPerLine * 2; place += 2)
            m_Layout->setColumnStretch(place, 1);
        for (std::size_t i = 1; i < m_Lists.size(); ++i)
            QWidget::setTabOrder(m_Lists[i - 1], m_Lists[i]);
        // Three lines of columns show at least, six columns, whatever the size of the text.
        if (!m_Lists.empty()) {
            const int lines =
                std::min(3, (static_cast<int>(m_Lists.size()) + kPairsPerLine - 1) / kPairsPerLine);
            setMinimumHeight(
                lines * (m_Lists.front()->sizeHint().height() + std::max(0, m_Layout->verticalSpacing())));
        }
    }
    for (std::size_t column = 0; column < m_Lists.size(); ++column) {
        auto* name = qobject_cast<QLabel*>(m_Layout
                                               ->itemAtPosition(static_cast<int>(column) / kPairsPerLine,
                                                                static_cast<int>(column) % kPairsPerLine * 2)
                                               ->widget());
        const QString title = header.value(static_cast<qsizetype>(column)).trimmed();
        // Short, so that two columns side by side fit a small screen; the tip has the whole name.
        name->setText(title.size() > 24 ? title.left(23) + u'\u2026' : title);
        name->setToolTip(title);
        const CImportMapping::Field field = mapping.FieldOf(static_cast<int>(column));
        m_Lists[column]->setCurrentIndex(field == CImportMapping::FieldCount ? 0 : field + 1);
        m_Lists[column]->setEnabled(enabled);
        // What is not used stands back.
        name->setEnabled(enabled && field != CImportMapping::FieldCount);
    }
    m_Filling = false;
}
