#include "app/CDlgStartup.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QVBoxLayout>

namespace {

const char* const kWelcomeText = "This may be the first time you are using the program, or your last used "
                                 "database is not available. Please select one of the following options.";

} // namespace

CDlgStartup::CDlgStartup(QWidget* parent)
    : CFullScreenDialog(IDD_STARTUP, LoadStringResource(IDS_WELCOME_TITLE), parent) {
    QVBoxLayout* layout = Body();
    m_Text = new QLabel(QString::fromUtf8(kWelcomeText), this);
    m_Text->setObjectName(QStringLiteral("startupText"));
    m_Text->setWordWrap(true);
    m_Text->setFont(NormalFont());
    layout->addWidget(m_Text);

    m_Group = new QGroupBox(QStringLiteral("Startup Options"), this);
    m_Group->setObjectName(QStringLiteral("startupOptions"));
    auto* groupLayout = new QVBoxLayout(m_Group);
    m_CreateNewButton = new QRadioButton(QStringLiteral("Create a new database file"), m_Group);
    m_CreateNewButton->setObjectName(QStringLiteral("createNew"));
    m_OpenExistingButton = new QRadioButton(QStringLiteral("Open an existing database file"), m_Group);
    m_OpenExistingButton->setObjectName(QStringLiteral("openExisting"));
    groupLayout->addWidget(m_CreateNewButton);
    groupLayout->addWidget(m_OpenExistingButton);
    layout->addWidget(m_Group);
    layout->addStretch(1);

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
    done(ID_DONE);
}
