#pragma once
// The editing sheet: a modal full-screen dialog with one tab per page, the tabs along the bottom.
// It runs the page protocol: every page is initialised when the sheet opens (so that one label
// column fits them all), asked before it is left, and on Done every page that was shown is asked
// to apply (the first that refuses becomes the current tab and the sheet stays open). Cancel
// tells the pages and closes with 2. A page reached by Ctrl+Tab or a click on its tab gives its
// first field the focus. Tab runs through the page's fields, then the tabs, Done and Cancel.

#include "widgets/CFullScreenDialog.h"

#include <memory>
#include <vector>

class CPropertyPage;
class QTabWidget;

class CCustomPropertySheet : public CFullScreenDialog {
    Q_OBJECT

public:
    explicit CCustomPropertySheet(int titleId, QWidget* parent = nullptr);
    ~CCustomPropertySheet() override;

    // The sheet owns its pages from here on.
    template <class P> P* AddPage(std::unique_ptr<P> page) {
        P* added = page.get();
        AddPageWidget(std::move(page));
        return added;
    }
    int PageCount() const { return static_cast<int>(m_Pages.size()); }
    CPropertyPage* Page(int index) const { return m_Pages.at(static_cast<std::size_t>(index)); }
    CPropertyPage* ActivePage() const;
    // Moves to another tab as a click on it does: the current page may refuse.
    bool SetActivePage(int index);

    // Runs modally over the active window; 1 when the user confirmed.
    int DoModal();
    // Asks every page in turn; the first non-zero answer.
    long long QuerySiblings();

    void OnDone() override;
    void OnCancel() override;

    QTabWidget* Tabs() const { return m_Tabs; }

private:
    void AddPageWidget(std::unique_ptr<CPropertyPage> page);
    void OnTabChanged(int index);
    void Activate(int index);
    void InitializePages();

    QTabWidget* m_Tabs = nullptr;        // child widget
    std::vector<CPropertyPage*> m_Pages; // owned by the tab widget
    int m_Current = -1;
    bool m_Switching = false;
};
