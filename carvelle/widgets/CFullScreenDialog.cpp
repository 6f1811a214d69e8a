#include "widgets/CFullScreenDialog.h"

#include "widgets/DrawTitleBand.h"

#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

CFullScreenDialog::CFullScreenDialog(int templateId, const QString& title, QWidget* parent, int softKeyMenu)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlg%1").arg(templateId));
    setWindowTitle(title);

    // A margin on each side, the controls below the title band.
    const int edge = qMax(2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth),
                          style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(edge, TitleBandHeight() + edge, edge, 0);
    m_Body = new QVBoxLayout();
    layout->addLayout(m_Body, 1);

    m_SoftKeys = LoadMenuResource(softKeyMenu, this);
    if (!m_SoftKeys)
        m_SoftKeys = LoadMenuResource(IDR_DONE_CANCEL, this);
    auto* keys = new QHBoxLayout();
    int index = 1;
    for (QAction* action : m_SoftKeys->actions()) {
        auto* key = new QToolButton(this);
        key->setObjectName(QStringLiteral("softkey%1").arg(index));
        key->setDefaultAction(action);
        key->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (action->menu()) {
            key->setPopupMode(QToolButton::InstantPopup);
            // The right key's popup opens aligned to its right edge, over the dialog.
            if (index > 1)
                key->setLayoutDirection(Qt::RightToLeft);
        }
        keys->addWidget(key);
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

void CFullScreenDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        QWidget* focus = focusWidget();
        const bool multiLine = qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus);
        if (!multiLine) {
            event->accept();
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

void CFullScreenDialog::showEvent(QShowEvent* event) {
    // Full screen over the main window, also when the window manager places that window only
    // after the dialog has opened (a notice at start-up).
    if (QWidget* owner = parentWidget()) {
        setGeometry(owner->window()->geometry());
        owner->window()->installEventFilter(this);
    }
    CatchEnterIn(this);
    QDialog::showEvent(event);
}

void CFullScreenDialog::hideEvent(QHideEvent* event) {
    if (QWidget* owner = parentWidget())
        owner->window()->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool CFullScreenDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        auto* combo = qobject_cast<QComboBox*>(watched->parent());
        if (enter && key->modifiers() == Qt::NoModifier && combo && !combo->view()->isVisible()) {
            OnDone();
            return true;
        }
    }
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && isVisible() && parentWidget() &&
        watched == parentWidget()->window())
        setGeometry(parentWidget()->window()->geometry());
    return QDialog::eventFilter(watched, event);
}
