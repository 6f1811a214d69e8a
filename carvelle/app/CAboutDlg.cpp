#include "app/CAboutDlg.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/AppIcons.h"
#include "widgets/SharedFonts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef CARVELLE_VERSION_TEXT
#define CARVELLE_VERSION_TEXT "1.0.0"
#endif
#ifndef CARVELLE_BUILD_NUMBER
#define CARVELLE_BUILD_NUMBER 1
#endif

namespace {

// The product picture is twice as wide as it is high.
constexpr QSize kPictureSize(160, 80);

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    setObjectName(QStringLiteral("dlg%1").arg(IDD_ABOUTBOX));
    setWindowTitle(product);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout();
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setPixmap(LoadIconResource(IDB_PRODUCT).pixmap(kPictureSize));
    top->addWidget(picture, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout();
    auto* name = new QLabel(product, this);
    name->setObjectName(QStringLiteral("aboutProduct"));
    name->setFont(BoldFont());
    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    auto* notice = new QLabel(LoadStringResource(IDS_ABOUT_NOTICE), this);
    notice->setObjectName(QStringLiteral("aboutNotice"));
    // The built program links Qt Charts, so it goes out under the GPL v3.
    auto* licence = new QLabel(LoadStringResource(IDS_ABOUT_LICENCE), this);
    licence->setObjectName(QStringLiteral("aboutLicence"));
    licence->setWordWrap(true);
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addWidget(notice);
    texts->addWidget(licence);
    texts->addStretch(1);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("aboutOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::VersionText() {
    return FormatStringResource(
        IDS_ABOUT_VERSION, {QStringLiteral(CARVELLE_VERSION_TEXT), QString::number(CARVELLE_BUILD_NUMBER)});
}
