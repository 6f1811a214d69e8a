#include "stats/CDlgOptions.h"

#include "stats/Units.h"

#include "resources/CStringTable.h"
#include "resources/ResourceIds.h"
#include "shell/AppGlobals.h"
#include "shell/CAppSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int kMaxRateLength = 31;

QComboBox* MakeList(QWidget* parent, int id, std::initializer_list<int> names, DWORD current) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("ctl%1").arg(id));
    for (int name : names)
        list->addItem(LoadStringResource(name));
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
    m_Distance = MakeList(this, IDC_UNIT_DISTANCE, {IDS_MILES, IDS_KILOMETRES}, settings.UnitDistance);
    m_Volume =
        MakeList(this, IDC_UNIT_VOLUME, {IDS_GALLONS_US, IDS_GALLONS_UK, IDS_LITRES}, settings.UnitVolume);
    m_Economy = MakeList(
        this, IDC_UNIT_ECONOMY,
        {IDS_ECONOMY_MPG_US, IDS_ECONOMY_MPG_UK, IDS_ECONOMY_KM_PER_LITRE, IDS_ECONOMY_MILES_PER_LITRE},
        settings.UnitFuelEconomy);
    m_Currency = new QLineEdit(CurrencySymbol(), this);
    m_Currency->setObjectName(QStringLiteral("ctl%1").arg(IDC_CURRENCY));
    m_Currency->setEnabled(false);
    m_MileageRate = new QLineEdit(MileageRateText(settings.MileageRate), this);
    m_MileageRate->setObjectName(QStringLiteral("ctl%1").arg(IDC_MILEAGE_RATE));
    m_MileageRate->setMaxLength(kMaxRateLength);

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
    if (text.size() > kMaxRateLength)
        return std::nullopt;
    // The C library's locale plays no part: the locale's separator becomes "." first.
    QString typed = text;
    const QString separator = QLocale().decimalPoint();
    if (separator != QStringLiteral("."))
        typed.replace(separator, QStringLiteral("."));
    const std::string bytes = typed.toStdString();
    const char* begin = bytes.data();
    const char* const end = begin + bytes.size();
    while (begin != end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0.0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    // A zero that does not start with "0" ("-0") is refused, as the field always did.
    if (error != std::errc() || (value == 0.0 && *begin != '0'))
        return std::nullopt;
    for (const char* rest = stop; rest != end; ++rest) {
        if (*rest != ' ' && *rest != '\t')
            return std::nullopt;
    }
    const float rate = static_cast<float>(value);
    if (!std::isfinite(value) || !std::isfinite(rate))
        return std::nullopt;
    return rate;
}

QString CDlgOptions::MileageRateText(float rate) {
    QString text = QString::number(static_cast<double>(rate), 'g', 6);
    text.replace(QStringLiteral("."), QLocale().decimalPoint());
    return text;
}

void CDlgOptions::OnDone() {
    const std::optional<float> rate = ParseMileageRate(m_MileageRate->text());
    if (!rate) {
        QApplication::beep();
        m_MileageRate->setFocus();
        m_MileageRate->selectAll();
        return;
    }
    CAppSettings& settings = TheSettings();
    settings.MileageRate = *rate;
    settings.UnitDistance = static_cast<DWORD>(m_Distance->currentIndex());
    settings.UnitVolume = static_cast<DWORD>(m_Volume->currentIndex());
    settings.UnitFuelEconomy = static_cast<DWORD>(m_Economy->currentIndex());
    done(1);
}
