#include "widgets/CCustomPropertySheet.h"

#include "widgets/CPropertyPage.h"

#include "core/CStringTable.h"
#include "widgets/CPrompter.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

CCustomPropertySheet::CCustomPropertySheet(int titleId, QWidget* parent)
    : CFullScreenDialog(titleId, LoadStringResource(titleId),
                        parent ? parent : QApplication::activeWindow()) {
    m_Tabs = new QTabWidget(this);
    m_Tabs->setObjectName(QStringLiteral("tabs"));
    m_Tabs->setTabPosition(QTabWidget::South);
    m_Tabs->setDocumentMode(true);
    Body()->addWidget(m_Tabs, 1);
    connect(m_Tabs, &QTabWidget::currentChanged, this, &CCustomPropertySheet::OnTabChanged);
    // The tabs, then Done and Cancel, come after the fields of the page: the page's controls are
    // made later and join the end of the chain, which Tab runs round.
    QWidget* previous = m_Tabs->tabBar();
    for (int index = 1;; ++index) {
        auto* key = findChild<QToolButton*>(QStringLiteral("softkey%1").arg(index));
        if (!key)
            break;
        setTabOrder(previous, key);
        previous = key;
    }
}

CCustomPropertySheet::~CCustomPropertySheet() = default;

void CCustomPropertySheet::AddPageWidget(std::unique_ptr<CPropertyPage> page) {
    CPropertyPage* added = page.release();
    m_Pages.push_back(added);
    m_Switching = true; // the first page becomes current without being "left"
    m_Tabs->addTab(added, added->Caption());
    m_Switching = false;
}

CPropertyPage* CCustomPropertySheet::ActivePage() const {
    return m_Current >= 0 && m_Current < PageCount() ? Page(m_Current) : nullptr;
}

void CCustomPropertySheet::Activate(int index) {
    m_Current = index;
    CPropertyPage* page = Page(index);
    page->EnsureInitialized();
    CatchEnterIn(page);
    page->MarkShown();
    page->OnSetActive();
}

void CCustomPropertySheet::InitializePages() {
    int labels = 0;
    for (CPropertyPage* page : m_Pages) {
        page->EnsureInitialized();
        labels = qMax(labels, page->LabelColumnWidth());
    }
    for (CPropertyPage* page : m_Pages)
        page->SetLabelColumnWidth(labels);
}

bool CCustomPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= PageCount())
        return false;
    m_Tabs->setCurrentIndex(index);
    return m_Current == index;
}

void CCustomPropertySheet::OnTabChanged(int index) {
    if (m_Switching || index < 0)
        return;
    if (CPropertyPage* leaving = ActivePage(); leaving && m_Current != index && !leaving->OnKillActive()) {
        // The page refused to be left: back to it, without asking it again.
        m_Switching = true;
        m_Tabs->setCurrentIndex(m_Current);
        m_Switching = false;
        return;
    }
    Activate(index);
    // Typing goes on in the page the user turned to.
    Page(index)->FocusFirstField();
}

int CCustomPropertySheet::DoModal() {
    if (PageCount() == 0)
        return 2;
    InitializePages();
    m_Switching = true;
    m_Tabs->setCurrentIndex(0);
    m_Switching = false;
    Activate(0);
    Page(0)->FocusFirstField();
    return CPrompter::Instance().RunModal(*this);
}

long long CCustomPropertySheet::QuerySiblings() {
    for (CPropertyPage* page : m_Pages) {
        if (const long long answer = page->OnQuerySiblings())
            return answer;
    }
    return 0;
}

void CCustomPropertySheet::OnDone() {
    // The current page is left first, as when the user picks another tab.
    if (CPropertyPage* current = ActivePage(); current && !current->OnKillActive())
        return;
    for (int index = 0; index < PageCount(); ++index) {
        CPropertyPage* page = Page(index);
        if (!page->WasShown())
            continue; // never shown: it keeps the values it was given
        // A page that refuses becomes the current tab, so the field it points at can be seen.
        if (index != m_Current) {
            m_Switching = true;
            m_Tabs->setCurrentIndex(index);
            m_Switching = false;
            m_Current = index;
        }
        if (!page->OnApply())
            return;
    }
    done(ID_DONE);
}

void CCustomPropertySheet::OnCancel() {
    for (CPropertyPage* page : m_Pages) {
        if (page->IsInitialized())
            page->OnCancel();
    }
    done(ID_CANCEL);
}
