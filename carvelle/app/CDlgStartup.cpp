#include "app/CDlgStartup.h"

#include "resources/CMenuResource.h"
#include "resources/CStringTable.h"
#include "resources/ResourceIds.h"
#include "shell/AppGlobals.h"
#include "shell/CAppSettings.h"
#include "shell/CPrompter.h"
#include "views/DrawTitleBand.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const char* const kWelcomeText = "This may be the first time you are using the program, or your last used "
                                 "database is not available. Please select one of the following options.";

} // namespace

CDlgStartup::CDlgStartup(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg%1").arg(IDD_STARTUP));
    setWindowTitle(LoadStringResource(IDS_WELCOME_TITLE));

    // A margin on each side, the controls below the title band. Two frame widths (the handheld's
    // measure) crowd the text against the window edge on a desktop; the style's own margin reads better.
    const int edge = qMax(2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth),
                          style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(edge, TitleBandHeight() + edge, edge, 0);

    m_Text = new QLabel(QString::fromUtf8(kWelcomeText), this);
    m_Text->setObjectName(QStringLiteral("ctl%1").arg(IDC_STARTUP_TEXT));
    m_Text->setWordWrap(true);
    m_Text->setFont(NormalFont());
    layout->addWidget(m_Text);

    m_Group = new QGroupBox(QStringLiteral("Startup Options"), this);
    m_Group->setObjectName(QStringLiteral("ctl%1").arg(IDC_STARTUP_GROUP));
    auto* groupLayout = new QVBoxLayout(m_Group);
    m_CreateNewButton = new QRadioButton(QStringLiteral("Create a new database file"), m_Group);
    m_CreateNewButton->setObjectName(QStringLiteral("ctl%1").arg(IDC_CREATE_NEW));
    m_OpenExistingButton = new QRadioButton(QStringLiteral("Open an existing database file"), m_Group);
    m_OpenExistingButton->setObjectName(QStringLiteral("ctl%1").arg(IDC_OPEN_EXISTING));
    groupLayout->addWidget(m_CreateNewButton);
    groupLayout->addWidget(m_OpenExistingButton);
    layout->addWidget(m_Group);
    layout->addStretch(1);

    // The soft keys at the bottom: "Done" and "Cancel" of menu 221.
    m_SoftKeys = LoadMenuResource(IDR_DONE_CANCEL, this);
    auto* keys = new QHBoxLayout();
    int index = 1;
    for (QAction* action : m_SoftKeys->actions()) {
        auto* key = new QToolButton(this);
        key->setObjectName(QStringLiteral("softkey%1").arg(index));
        key->setDefaultAction(action);
        key->setToolButtonStyle(Qt::ToolButtonTextOnly);
        keys->addWidget(key);
        if (index == 1)
            keys->addStretch(1);
        ++index;
        const int id = action->data().toInt();
        connect(action, &QAction::triggered, this, [this, id] {
            if (id == ID_DONE)
                OnDone();
            else if (id == ID_CANCEL)
                OnCancel();
        });
    }
    layout->addLayout(keys);

    m_CreateNewButton->setChecked(true);
}

CDlgStartup::~CDlgStartup() = default;

QString CDlgStartup::QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() && pattern.isEmpty())
            break; // the double end mark
        QStringList patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const QString qtPatterns = patterns.join(QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; a description that shows them already is kept.
        if (description.contains(QLatin1Char('(')) && description.endsWith(QLatin1Char(')')))
            entries << description;
        else
            entries << QStringLiteral("%1 (%2)").arg(description, qtPatterns);
    }
    return entries.join(QStringLiteral(";;"));
}

void CDlgStartup::OnDone() {
    const bool createNew = m_CreateNewButton->isChecked();
    const QString filter = QtFileFilter(LoadStringResource(IDS_DATA_FILE_FILTER));
    CAppSettings& settings = TheSettings();
    const QString initial = QString::fromStdU16String(settings.DBPath);
    CPrompter& prompter = CPrompter::Instance();
    const QString chosen = createNew ? prompter.GetSaveFileName(this, filter, initial)
                                     : prompter.GetOpenFileName(this, filter, initial);
    if (chosen.isEmpty())
        return; // the user may choose again
    settings.DBPath = chosen.toStdU16String();
    m_CreateNew = createNew;
    done(1);
}

void CDlgStartup::OnCancel() {
    done(2);
}

void CDlgStartup::reject() {
    OnCancel();
}

void CDlgStartup::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawTitleBand(painter, *this, windowTitle(), TitleBandDialog);
}

void CDlgStartup::showEvent(QShowEvent* event) {
    // Full screen over the main window.
    if (QWidget* owner = parentWidget())
        setGeometry(owner->window()->geometry());
    QDialog::showEvent(event);
}
