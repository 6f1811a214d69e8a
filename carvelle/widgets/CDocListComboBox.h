#pragma once
// The entry list's header drop-down: the sort column's name and an arrow; a click (or Space,
// Enter, Alt+Down, F4) opens the "Sort By" menu with the column and direction radio-checked.
// While the menu is open it reads "Sort By". The chosen command is handed on as CommandChosen.
// With a sort direction set, the arrow shows it (up ascending, down descending).

#include <QIcon>
#include <QWidget>

#include <optional>

class CDocListComboBox : public QWidget {
    Q_OBJECT

public:
    explicit CDocListComboBox(QWidget* parent = nullptr);
    ~CDocListComboBox() override;

    // The menu 207 popup to open, the prompt shown while it is open, and the two radio groups.
    void SetMenu(int menuId, int popupIndex);
    void SetPrompt(const QString& prompt);
    void SetRadioGroup(int group, int first, int last, int checked);
    void SetChecked(int group, int checked); // 0 for none

    void SetCurrentText(const QString& text);
    // The direction the arrow shows; none draws the plain drop arrow.
    void SetSortIndicator(std::optional<Qt::SortOrder> order);
    std::optional<Qt::SortOrder> SortIndicator() const { return m_Order; }
    QString CurrentText() const { return m_CurrentText; }
    // What the control shows now: the prompt while the menu is open, else the current text.
    QString ShownText() const { return m_MenuOpen ? m_Prompt : m_CurrentText; }

    // The width the control needs to show the text on that widget's screen.
    static int WidthFor(const QWidget& on, const QString& text);

    void OpenMenu();

    QSize sizeHint() const override;

signals:
    void CommandChosen(int command);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct RadioGroup {
        int first = 0;
        int last = 0;
        int checked = 0;
    };

    int ContentLeft() const;
    bool OnText(const QPoint& point) const;

    QIcon m_Arrow;
    QString m_Prompt;
    QString m_CurrentText;
    int m_MenuId = 0;
    int m_PopupIndex = 0;
    RadioGroup m_Groups[2];
    bool m_Pressed = false;
    bool m_MenuOpen = false;
    std::optional<Qt::SortOrder> m_Order;
};
