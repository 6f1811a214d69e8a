#include "widgets/CDocListComboBox.h"

#include "widgets/AppIcons.h"
#include "widgets/DrawTitleBand.h"

#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <memory>

namespace {

constexpr int kArrowWidth = 14;
constexpr int kLeftInset = 0;

int Margin(const QWidget& on) {
    return IsHighResolution(on) ? 4 : 2;
}

} // namespace

CDocListComboBox::CDocListComboBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sortDropDown"));
    setFocusPolicy(Qt::TabFocus);
    setFont(SmallBoldFont());
    m_Arrow = LoadIconResource(IDI_DROP_ARROW);
}

CDocListComboBox::~CDocListComboBox() = default;

void CDocListComboBox::SetMenu(int menuId, int popupIndex) {
    m_MenuId = menuId;
    m_PopupIndex = popupIndex;
}

void CDocListComboBox::SetPrompt(const QString& prompt) {
    m_Prompt = prompt;
}

void CDocListComboBox::SetRadioGroup(int group, int first, int last, int checked) {
    if (group >= 0 && group < 2)
        m_Groups[group] = RadioGroup{first, last, checked};
}

void CDocListComboBox::SetChecked(int group, int checked) {
    if (group >= 0 && group < 2)
        m_Groups[group].checked = checked;
}

void CDocListComboBox::SetCurrentText(const QString& text) {
    m_CurrentText = text;
    if (!m_MenuOpen)
        update();
}

void CDocListComboBox::SetSortIndicator(std::optional<Qt::SortOrder> order) {
    m_Order = order;
    update();
}

int CDocListComboBox::WidthFor(const QWidget& on, const QString& text) {
    return kArrowWidth + kLeftInset + Margin(on) + QFontMetrics(SmallBoldFont()).horizontalAdvance(text) + 1;
}

QSize CDocListComboBox::sizeHint() const {
    return QSize(WidthFor(*this, ShownText()), TitleBandHeight());
}

int CDocListComboBox::ContentLeft() const {
    return width() - WidthFor(*this, ShownText());
}

bool CDocListComboBox::OnText(const QPoint& point) const {
    const int left = ContentLeft();
    const int textWidth = QFontMetrics(SmallBoldFont()).horizontalAdvance(ShownText());
    return point.x() >= left && point.x() < left + textWidth + kLeftInset + Margin(*this) && point.y() >= 0 &&
           point.y() < height();
}

void CDocListComboBox::OpenMenu() {
    std::unique_ptr<QMenu> menu = LoadMenuResource(m_MenuId, this);
    QMenu* popup = menu ? MenuPopup(*menu, m_PopupIndex) : nullptr;
    if (!popup)
        return;
    m_MenuOpen = true;
    update();
    repaint();
    for (const RadioGroup& group : m_Groups) {
        if (group.checked == 0)
            continue;
        // An exclusive group draws its items as radio items.
        auto* radio = new QActionGroup(popup);
        for (QAction* action : popup->actions()) {
            const int id = action->data().toInt();
            if (id >= group.first && id <= group.last) {
                action->setCheckable(true);
                action->setChecked(id == group.checked);
                radio->addAction(action);
            }
        }
    }
    const QPoint at = mapToGlobal(QPoint(ContentLeft() + kLeftInset, height()));
    QAction* chosen = CPrompter::Instance().TrackPopupMenu(*popup, at);
    const int command = chosen ? chosen->data().toInt() : 0;
    menu.reset();
    m_MenuOpen = false;
    update();
    if (command != 0)
        emit CommandChosen(command);
}

void CDocListComboBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool altDown = key == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F4 ||
        altDown) {
        event->accept();
        OpenMenu();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CDocListComboBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (OnText(event->position().toPoint())) {
        m_Pressed = true;
        update();
    } else {
        OpenMenu();
    }
}

void CDocListComboBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_Pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_Pressed = false;
    if (OnText(event->position().toPoint()))
        OpenMenu();
    else
        update();
}

void CDocListComboBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    const QString text = ShownText();
    const QFontMetrics metrics(SmallBoldFont());
    const int left = ContentLeft() + kLeftInset;
    const int textWidth = metrics.horizontalAdvance(text);
    painter.setFont(SmallBoldFont());
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QRect(left, 0, textWidth + 1, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    if (m_Order) {
        // A small triangle in the text's colour, pointing the way the values grow.
        const qreal centre = left + textWidth + kArrowWidth / 2.0;
        const qreal half = 3.5;
        const qreal middle = height() / 2.0;
        const qreal tip = *m_Order == Qt::AscendingOrder ? middle - 2.5 : middle + 2.5;
        const qreal base = *m_Order == Qt::AscendingOrder ? middle + 2.5 : middle - 2.5;
        const QPointF triangle[] = {{centre - half, base}, {centre + half, base}, {centre, tip}};
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::ButtonText));
        painter.drawPolygon(triangle, 3);
        painter.restore();
    } else {
        const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        m_Arrow.paint(&painter, left + textWidth + (kArrowWidth - 7) / 2, (height() - iconSize) / 2, iconSize,
                      iconSize);
    }
    if (m_Pressed || hasFocus()) {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(ContentLeft(), 0, width() - ContentLeft() - 1, height() - 1));
    }
}
