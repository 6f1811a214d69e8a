#include "widgets/CFullScreenDialog.h"

#include "widgets/DrawTitleBand.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"
#include "widgets/CSoftKeyButton.h"
#include "widgets/ScreenFit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A dialog is as wide as its content needs, within these bounds (unless its content needs more).
constexpr int kLeastWidth = 360;
constexpr int kMostWidth = 640;

} // namespace

CFullScreenDialog::CFullScreenDialog(int templateId, const QString& title, QWidget* parent, int softKeyMenu)
    : QDialog(parent), m_TemplateId(templateId) {
    setObjectName(QStringLiteral("dlg%1").arg(templateId));
    setSizeGripEnabled(true);
    setWindowTitle(title);

    // A margin on each side, the controls below the title band.
    const int edge = qMax(2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth),
                          style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(edge, TitleBandHeight() + edge, edge, 0);
    m_Body = new QVBoxLayout();
    layout->addLayout(m_Body, 1);
    m_Refusal = new QLabel(this);
    m_Refusal->setObjectName(QStringLiteral("refusalLine"));
    m_Refusal->setWordWrap(true);
    m_Refusal->setTextFormat(Qt::PlainText);
    m_Refusal->hide();
    layout->addWidget(m_Refusal);

    m_SoftKeys = LoadMenuResource(softKeyMenu, this);
    if (!m_SoftKeys)
        m_SoftKeys = LoadMenuResource(IDR_DONE_CANCEL, this);
    auto* keys = new QHBoxLayout();
    int index = 1;
    for (QAction* action : m_SoftKeys->actions()) {
        auto* key = new CSoftKeyButton(this);
        key->setObjectName(QStringLiteral("softkey%1").arg(index));
        // A popup key opens its popup's commands directly: as the key's default action it would
        // open a menu holding only the popup's own item. The right key's popup lines up with its
        // right edge, over the dialog.
        if (QMenu* popup = action->menu()) {
            key->setText(action->text());
            key->SetPopup(popup, index > 1);
        } else {
            key->setDefaultAction(action);
        }
        keys->addWidget(key);
        m_SoftKeyButtons.push_back(key);
        if (index == 1)
            keys->addStretch(1);
        ++index;
    }
    ForEachCommand(*m_SoftKeys, [this](QAction& action, int id) {
        connect(&action, &QAction::triggered, this, [this, id] { OnSoftKeyCommand(id); });
    });
    layout->addLayout(keys);
}

CFullScreenDialog::~CFullScreenDialog() = default;

void CFullScreenDialog::FillToEdges() {
    layout()->setContentsMargins(0, TitleBandHeight(), 0, 0);
    layout()->setSpacing(0);
}

void CFullScreenDialog::CatchEnterIn(QWidget* root) {
    for (QComboBox* combo : root->findChildren<QComboBox*>()) {
        if (combo->lineEdit() && !combo->property("enterIsDone").toBool()) {
            combo->setProperty("enterIsDone", true);
            combo->lineEdit()->installEventFilter(this);
        }
    }
}

void CFullScreenDialog::OnSoftKeyCommand(int id) {
    if (id == ID_DONE)
        OnDone();
    else if (id == ID_CANCEL)
        OnCancel();
}

void CFullScreenDialog::OnDone() {
    done(ID_DONE);
}

void CFullScreenDialog::OnCancel() {
    done(ID_CANCEL);
}

void CFullScreenDialog::reject() {
    OnCancel();
}

bool CFullScreenDialog::IsPushButton(const QWidget* widget) {
    return qobject_cast<const QPushButton*>(widget) || qobject_cast<const QToolButton*>(widget);
}

void CFullScreenDialog::ShowRefusal(QWidget* field, const QString& reason) {
    m_RefusedField = field;
    // The palette's own red is too dark on a dark window; this one reads on both.
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    QPalette colours = m_Refusal->palette();
    colours.setColor(QPalette::WindowText, dark ? QColor(0xFF, 0x8A, 0x80) : QColor(0xB7, 0x1C, 0x1C));
    m_Refusal->setPalette(colours);
    m_Refusal->setText(reason);
    m_Refusal->setVisible(!reason.isEmpty());
}

void CFullScreenDialog::ClearRefusal(QWidget* field) {
    if (field != m_RefusedField)
        return;
    m_RefusedField = nullptr;
    m_Refusal->clear();
    m_Refusal->hide();
}

QString CFullScreenDialog::RefusalText() const {
    return m_Refusal->isVisible() ? m_Refusal->text() : QString();
}

void CFullScreenDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        QWidget* focus = focusWidget();
        // The button the user is on, not Done: Enter on Cancel must never store anything.
        if (auto* button = qobject_cast<QAbstractButton*>(focus); button && IsPushButton(button)) {
            event->accept();
            if (button->isEnabled() && !event->isAutoRepeat())
                button->click();
            return;
        }
        const bool multiLine = qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus);
        if (!multiLine) {
            event->accept();
            // A held key does not confirm twice.
            if (!event->isAutoRepeat())
                OnDone();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CFullScreenDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawTitleBand(painter, *this, windowTitle(), TitleBandDialog);
}

void CFullScreenDialog::SizeToContent() {
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    QSize size = sizeHint().expandedTo(least);
    size.setWidth(
        std::clamp(size.width(), std::min(kLeastWidth, kMostWidth), std::max(kMostWidth, least.width())));
    if (layout() && layout()->hasHeightForWidth())
        size.setHeight(std::max(size.height(), layout()->totalHeightForWidth(size.width())));
    if (m_FirstSize.isValid())
        size = m_FirstSize.expandedTo(least);
    const auto stored = TheSettings().DialogSizes.find(m_TemplateId);
    if (stored != TheSettings().DialogSizes.end())
        size = QSize(stored->second.first, stored->second.second).expandedTo(least);
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : this->screen();
    if (screen) {
        // The window manager's frame comes on top of this size and is not known before the
        // dialog shows: room is left for a usual title bar and border.
        const QRect room = screen->availableGeometry();
        const QSize inside = room.marginsRemoved(AssumedFrame()).size();
        size = size.boundedTo(inside);
        // Content that cannot fit even at its least size (large text on a small screen) is
        // squeezed rather than pushing the soft keys off the screen.
        if (!FitsInside(least, room, AssumedFrame()))
            setMinimumSize(least.boundedTo(inside));
    }
    resize(size);
    m_OpenedSize = size;
}

void CFullScreenDialog::CentreOverOwner() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : this->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    QRect placed(QPoint(0, 0), size());
    placed.moveCenter(owner ? owner->geometry().center() : room.center());
    // With its frame inside the screen, also when the owner hangs over an edge.
    placed = FitInside(placed, room, FrameOf(*this), minimumSize());
    if (placed.size() != size())
        resize(placed.size());
    move(placed.topLeft() - QPoint(FrameOf(*this).left(), FrameOf(*this).top()));
}

QWidget* CFullScreenDialog::FirstControl() const {
    for (QWidget* widget = nextInFocusChain(); widget && widget != this;
         widget = widget->nextInFocusChain()) {
        const bool softKey =
            std::find(m_SoftKeyButtons.begin(), m_SoftKeyButtons.end(), widget) != m_SoftKeyButtons.end();
        if (!softKey && widget->window() == this && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isEnabled() && widget->isVisibleTo(this))
            return widget;
    }
    return nullptr;
}

void CFullScreenDialog::showEvent(QShowEvent* event) {
    if (!m_Sized) {
        m_Sized = true;
        SizeToContent();
    }
    // The soft keys are made before the controls above them: a dialog that names no field to
    // start in starts in its first control, not on Done.
    if (!focusWidget()) {
        if (QWidget* first = FirstControl())
            first->setFocus(Qt::TabFocusReason);
    }
    // Centred over the main window, also when the window manager places that window only after
    // the dialog has opened (a notice at start-up).
    CentreOverOwner();
    if (QWidget* owner = parentWidget())
        owner->window()->installEventFilter(this);
    CatchEnterIn(this);
    QDialog::showEvent(event);
}

void CFullScreenDialog::hideEvent(QHideEvent* event) {
    if (QWidget* owner = parentWidget())
        owner->window()->removeEventFilter(this);
    if (m_Sized && size() != m_OpenedSize)
        TheSettings().DialogSizes[m_TemplateId] = {size().width(), size().height()};
    QDialog::hideEvent(event);
}

bool CFullScreenDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        auto* combo = qobject_cast<QComboBox*>(watched->parent());
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && combo &&
            !combo->view()->isVisible()) {
            OnDone();
            return true;
        }
    }
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && isVisible() && parentWidget() &&
        watched == parentWidget()->window())
        CentreOverOwner();
    return QDialog::eventFilter(watched, event);
}
