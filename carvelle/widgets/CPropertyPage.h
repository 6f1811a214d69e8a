#pragma once
// One tab of the editing sheet. A page holds copies of a record's fields as plain members; its
// controls are made when the sheet opens and move values to and from the members. The sheet
// drives every page through the same steps: initialisation, activation and deactivation when the
// tabs change, apply when the user confirms (only a page that was shown) and cancel when not.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class CCustomPropertySheet;
class QGridLayout;
class CEditEx;
class QLabel;
class QLineEdit;
class QPushButton;

class CPropertyPage : public QWidget {
    Q_OBJECT

public:
    CPropertyPage(int templateId, const QString& caption);
    ~CPropertyPage() override;

    int TemplateId() const { return m_TemplateId; }
    const QString& Caption() const { return m_Caption; }
    bool IsInitialized() const { return m_Initialized; }
    // Makes the controls and fills them from the members, once.
    void EnsureInitialized();
    // Once the page has been the current tab; only then does Done ask it to apply.
    bool WasShown() const { return m_Shown; }
    void MarkShown() { m_Shown = true; }

    // The width the labels of the page's form need, and the width the sheet gives them all, so
    // that the fields line up from tab to tab.
    virtual int LabelColumnWidth() const;
    virtual void SetLabelColumnWidth(int width);

    // Each time the page becomes the current tab.
    virtual void OnSetActive() {}
    // Leaving the page for another tab or for Done; false keeps the page.
    virtual bool OnKillActive() { return true; }
    // Done: reads the controls into the members; false keeps the sheet open on this page.
    virtual bool OnApply() { return true; }
    // Cancel: the arrow-key hops are released.
    virtual void OnCancel() { ReleaseHops(); }
    // Another page asks through the sheet; 0 means "not mine".
    virtual long long OnQuerySiblings() { return 0; }
    // The field that takes the focus when the page becomes the current tab.
    virtual QWidget* FirstField() const { return nullptr; }
    // Gives the first field the focus with its text selected, ready to be typed over.
    void FocusFirstField();

protected:
    virtual void OnInitDialog() = 0;

    CCustomPropertySheet* Sheet() const;
    // The page's form: labels in the first column, fields in the second, buttons in the third.
    QGridLayout* Form();
    // A label in the bold label font, named after its field ("dateLabel" for "date"). Tab visits
    // the field, then the button, in the order the rows are added.
    QLabel* AddRow(const QString& text, QWidget* field, QWidget* button = nullptr);
    // Puts the control next in the page's Tab order.
    void ChainTab(QWidget* control);
    // A push button that never takes Enter from the fields.
    QPushButton* MakeButton(const char* name, const QString& text);
    // Names a control after what it holds, so tests and its label find it.
    template <class W> static W* Named(W* control, const char* name) {
        control->setObjectName(QLatin1String(name));
        return control;
    }
    // The name of the label of a field.
    static QString LabelName(const QWidget* field);
    // Lets the arrow keys hop from the edit's ends to its neighbours, until ReleaseHops.
    void Hop(QLineEdit* edit, QWidget* previous, QWidget* next);
    void ReleaseHops();
    // An information message captioned with the sheet's title; the focus then goes to the field.
    void Inform(int textId, QWidget* field);

private:
    int m_TemplateId;
    QString m_Caption;
    bool m_Initialized = false;
    bool m_Shown = false;
    QGridLayout* m_Form = nullptr;         // owned by the page's layout
    QWidget* m_LastInTabOrder = nullptr;   // a child widget
    std::vector<QPointer<CEditEx>> m_Hops; // owned by their edits
};
