#include "app/SoftKeyBar.h"

#include "widgets/CSoftKeyButton.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

QToolBar* AddSoftKeyBar(QMainWindow& window, QMenu& menu) {
    auto* bar = new QToolBar(&window);
    bar->setObjectName(QStringLiteral("softkeybar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    window.addToolBar(Qt::BottomToolBarArea, bar);

    // "New" at the left end, "Menu" at the right.
    const QList<QAction*> top = menu.actions();
    for (int i = 0; i < top.size() && i < 2; ++i) {
        if (i == 1) {
            auto* gap = new QWidget(bar);
            gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            bar->addWidget(gap);
        }
        auto* key = new CSoftKeyButton(bar);
        key->setObjectName(QStringLiteral("softkey%1").arg(i + 1));
        key->setText(top[i]->text());
        key->SetPopup(top[i]->menu(), i == 1);
        bar->addWidget(key);
    }
    return bar;
}

void AddMenuBarKey(QMainWindow& window) {
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    menuKey->setObjectName(QStringLiteral("accelMenuBar"));
    QObject::connect(menuKey, &QShortcut::activated, &window, [&window] {
        QMenuBar* bar = window.menuBar();
        if (!bar->actions().isEmpty())
            bar->setActiveAction(bar->actions().first());
    });
}
