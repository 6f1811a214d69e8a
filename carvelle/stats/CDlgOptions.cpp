#include "stats/CDlgOptions.h"

#include "core/Units.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"
#include "core/DecimalText.h"
#include "core/ResourceIds.h"
#include "widgets/CWinDataExchangeLocale.h"
#include "widgets/SharedFonts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QComboBox* MakeList(QWidget* parent, const char* name, std::initializer_list<int> names, DWORD current) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (int textId : names)
        list->addItem(LoadStringResource(textId));
    // A stored value outside the list shows no selection.
    list->setCurrentIndex(current < static_cast<DWORD>(list->count()) ? static_cast<int>(current) : -1);
    return list;
}

QLabel* MakeLabel(QWidget* parent, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(SmallBoldFont());
    return label;
}

} // namespace

CDlgOptions::CDlgOptions(QWidget* parent)
    : CFullScreenDialog(IDD_OPTIONS, QStringLiteral("Options"), parent) {
    const CAppSettings& settings = TheSettings();
    auto* form = new QFormLayout();
    m_Distance = MakeList(this, "distanceUnit", {IDS_MILES, IDS_KILOMETRES}, settings.UnitDistance);
    m_Volume =
        MakeList(this, "volumeUnit", {IDS_GALLONS_US, IDS_GALLONS_UK, IDS_LITRES}, settings.UnitVolume);
    m_Economy = MakeList(this, "economyUnit",
                         {IDS_ECONOMY_MPG_US, IDS_ECONOMY_MPG_UK, IDS_ECONOMY_KM_PER_LITRE,
                          IDS_ECONOMY_MILES_PER_LITRE, IDS_ECONOMY_LITRES_PER_100_KM},
                         settings.UnitFuelEconomy);
    m_Currency = new QLineEdit(CurrencySymbol(), this);
    m_Currency->setObjectName(QStringLiteral("currency"));
    m_Currency->setEnabled(false);
    m_MileageRate = new QLineEdit(MileageRateText(settings.MileageRate), this);
    m_MileageRate->setObjectName(QStringLiteral("defaultMileageRate"));
    m_MileageRate->setMaxLength(kMaxNumberLength);

    form->addRow(MakeLabel(this, "Distance:"), m_Distance);
    form->addRow(MakeLabel(this, "Volume:"), m_Volume);
    form->addRow(MakeLabel(this, "Fuel economy:"), m_Economy);
    form->addRow(MakeLabel(this, "Currency:"), m_Currency);
    form->addRow(MakeLabel(this, "Mileage rate:"), m_MileageRate);
    Body()->addLayout(form);
    Body()->addStretch(1);
    m_Distance->setFocus();
}

CDlgOptions::~CDlgOptions() = default;

std::optional<float> CDlgOptions::ParseMileageRate(const QString& text) {
    return ParseDecimalText(text);
}

QString CDlgOptions::MileageRateText(float rate) {
    return FormatDecimalText(rate);
}

void CDlgOptions::OnDone() {
    const std::optional<float> rate = ParseMileageRate(m_MileageRate->text());
    if (!rate) {
        CWinDataExchangeLocale::Refuse(m_MileageRate);
        return;
    }
    CAppSettings& settings = TheSettings();
    settings.MileageRate = *rate;
    settings.UnitDistance = static_cast<DWORD>(m_Distance->currentIndex());
    settings.UnitVolume = static_cast<DWORD>(m_Volume->currentIndex());
    settings.UnitFuelEconomy = static_cast<DWORD>(m_Economy->currentIndex());
    done(ID_DONE);
}
