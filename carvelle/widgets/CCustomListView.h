#pragma once
// The base of every list of the program: report-style rows with record pointers as item data,
// a context menu from menu 207 opened by right click, the menu key or press-and-hold, the
// empty-list text, and rows drawn by the derived list when it asks for that.
//
// Rows live in a light model: the record's address, an optional text and icon. A list of
// 100,000 records costs a few bytes per row, and a derived list may compute its texts on demand.

#include <QIcon>
#include <QTreeView>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <vector>

class QMenu;
class QStyleOptionViewItem;

class CCustomListView : public QTreeView {
    Q_OBJECT

public:
    // Row state bits.
    enum { StateSelected = 0x1, StateFocused = 0x2 };

    explicit CCustomListView(QWidget* parent = nullptr);
    ~CCustomListView() override;

    // Receives the commands chosen from the context menu (the owning view's command handler).
    void SetCommandHandler(std::function<void(int)> handler) { m_CommandHandler = std::move(handler); }

    // Position of this list's popup in menu 207; -1 means no context menu.
    int ContextMenuIndex() const { return m_ContextMenuIndex; }
    void SetContextMenuIndex(int index) { m_ContextMenuIndex = index; }

    // Rows routed to DrawRow/MeasureRow instead of the standard drawing.
    bool IsOwnerDrawn() const { return m_OwnerDrawn; }
    void SetOwnerDrawn(bool ownerDrawn);

    // Columns: titles and initial widths.
    void SetColumns(const QStringList& titles, const QList<int>& widths);

    // Rows: addressed by index; the item data is the address of the record that the row shows.
    int GetRowCount() const;
    // A row may carry a tag of the derived list's choosing (an index into its own tables).
    int InsertRow(int row, const QString& text, const QIcon& icon, void* data, std::uint32_t tag = 0);
    // Replaces every row at once by rows without text of their own (RowText supplies it).
    void SetRows(const std::vector<void*>& data, const std::vector<QIcon>& icons,
                 const std::vector<std::uint32_t>& tags = {});
    std::uint32_t GetRowTag(int row) const;
    void SetRowText(int row, const QString& text);
    QString GetRowText(int row) const;
    QIcon GetRowIcon(int row) const;
    void DeleteRow(int row);
    void DeleteAllRows();
    void* GetItemData(int row) const;
    int FindItem(const void* data) const; // -1 when no row holds it
    void SetItemState(int row, int state, int mask);
    bool IsRowSelected(int row) const;
    int GetNextSelectedRow(int after = -1) const; // -1 when there is none
    int GetSelectedCount() const;
    void ClearSelection();
    void EnsureVisible(int row);
    int HitTest(const QPoint& viewportPoint) const; // -1 off the rows
    QRect RowRect(int row) const;                   // in viewport coordinates; empty off the rows
    // Gives the column the viewport width less the widths of all other columns.
    void StretchColumn(int column);
    // Puts the rows in the order of the comparison (a negative result puts a first); selected
    // and current rows stay selected and current. Equal rows keep their order.
    void SortRows(const std::function<int(int rowA, int rowB)>& compare);
    // Puts the rows in the given order: order[i] is the row that becomes row i. Selected and
    // current rows stay selected and current.
    void ReorderRows(const std::vector<int>& order);

    // Opens the context menu as a press-and-hold at this viewport point would.
    void ContextGesture(const QPoint& viewportPoint);

    // Room for the rows (a dozen at most), so that a list in a dialog opens without a scroll bar.
    QSize sizeHint() const override;

signals:
    // A click (the left button released on the row where it was pressed), not ended by a context
    // menu.
    void RowClicked(int row);
    // Enter or Return pressed in the list.
    void EnterPressed();

protected:
    // The text shown in the row's first column; by default the text it was inserted with.
    virtual QString RowText(int row) const;
    // What a cell shows beyond the first column's text and icon (other columns, alignment,
    // font); an invalid value lets the list decide. Row -1 is the column's header (alignment).
    virtual QVariant CellData(int row, int column, int role) const;
    // Enables or grays the items of the context menu before it is shown.
    virtual void PrepareContextMenu(QMenu& menu);
    // Owner-drawn rows only.
    virtual void DrawRow(QPainter& painter, const QStyleOptionViewItem& option, int row);
    virtual int MeasureRow(const QStyleOptionViewItem& option); // 0: the standard height

    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    class Delegate;
    class RowModel;

    void OpenContextMenu(int row, const QPoint& viewportPoint);
    void ShowContextMenu(const QPoint& viewportPoint);

    RowModel* m_Model = nullptr;
    Delegate* m_Delegate = nullptr;
    std::function<void(int)> m_CommandHandler;
    int m_ContextMenuIndex = -1;
    bool m_OwnerDrawn = false;
    int m_PressedRow = -1;
    bool m_PressFromTouch = false;
    bool m_GestureSincePress = false;
};
