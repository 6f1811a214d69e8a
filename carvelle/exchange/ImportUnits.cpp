#include "exchange/ImportUnits.h"

#include "core/CStringTable.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Exact factors: the file's figures are brought over once, so the shortened ones of the
// economy figures would leave every converted fill-up a little off.
constexpr double kKilometresPerMile = 1.609344;
constexpr double kLitresPerGallonUS = 3.785411784;
constexpr double kLitresPerGallonUK = 4.54609;

// A unit word without case, spaces, dots or brackets: "Imp. gal" is "impgal".
QString Squeezed(const QString& word) {
    QString out;
    for (const QChar c : word.trimmed().toLower()) {
        if (c.isLetterOrNumber())
            out += c;
    }
    return out;
}

bool In(const QString& word, const char16_t* const* list) {
    for (; *list; ++list) {
        if (word == QStringView(*list))
            return true;
    }
    return false;
}

// The words of a column's name: "Km-Stand" is "km" and "stand".
QStringList NameWords(const QString& header) {
    static const QRegularExpression kBreaks(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return header.toLower().split(kBreaks, Qt::SkipEmptyParts);
}

QString Part(int id, int index) {
    return LoadStringResource(id).split(u'|').value(index);
}

} // namespace

std::optional<FileDistance> DistanceUnitOf(const QString& text) {
    static const char16_t* const kKm[] = {u"km",         u"kms",        u"kilometer",   u"kilometers",
                                          u"kilometre",  u"kilometres", u"kilometro",   u"kilometros",
                                          u"kilómetros", u"chilometri", u"quilometros", u"quilômetros",
                                          u"kilometry",  u"км",         u"километры",   nullptr};
    static const char16_t* const kMi[] = {u"mi",    u"mile",   u"miles",  u"meile", u"meilen",
                                          u"milla", u"millas", u"miglia", u"milha", u"milhas",
                                          u"mila",  u"мили",   u"миль",   nullptr};
    const QString word = Squeezed(text);
    if (In(word, kKm))
        return FileDistance::Kilometres;
    if (In(word, kMi))
        return FileDistance::Miles;
    return std::nullopt;
}

std::optional<FileVolume> VolumeUnitOf(const QString& text) {
    static const char16_t* const kLitres[] = {u"l",     u"lt",     u"ltr",   u"ltrs",   u"litre",  u"litres",
                                              u"liter", u"liters", u"litro", u"litros", u"litri",  u"litr",
                                              u"litry", u"л",      u"литр",  u"литры",  u"литров", nullptr};
    static const char16_t* const kUS[] = {
        u"gal",      u"gals",      u"gallon", u"gallons", u"usgal",   u"galus", u"usgallon", u"usgallons",
        u"gallonus", u"gallonsus", u"galón",  u"galones", u"gallone", u"galão", u"galões",   nullptr};
    static const char16_t* const kUK[] = {
        u"ukgal",     u"galuk",      u"impgal",    u"galimp",         u"ukgallon",
        u"ukgallons", u"gallonuk",   u"gallonsuk", u"imperialgallon", u"imperialgallons",
        u"impgallon", u"impgallons", nullptr};
    static const char16_t* const kKg[] = {u"kg",        u"kgs", u"kilogram", u"kilograms",
                                          u"kilogramm", u"кг",  nullptr};
    static const char16_t* const kKWh[] = {u"kwh", u"квтч", nullptr};
    const QString word = Squeezed(text);
    if (In(word, kLitres))
        return FileVolume::Litres;
    if (In(word, kUS))
        return FileVolume::GallonsUS;
    if (In(word, kUK))
        return FileVolume::GallonsUK;
    if (In(word, kKg))
        return FileVolume::Kilograms;
    if (In(word, kKWh))
        return FileVolume::KilowattHours;
    return std::nullopt;
}

QString BracketedUnit(const QString& header) {
    const QString name = header.trimmed();
    if (!name.endsWith(u')') && !name.endsWith(u']'))
        return QString();
    const qsizetype open = name.lastIndexOf(name.endsWith(u')') ? u'(' : u'[');
    if (open < 0)
        return QString();
    const QString inside = name.mid(open + 1, name.size() - open - 2).trimmed();
    // "(optional)" and the like are remarks; a unit is short.
    if (inside.isEmpty() || Squeezed(inside).size() > 6)
        return QString();
    return inside;
}

std::optional<FileDistance> DistanceUnitInName(const QString& header) {
    if (const QString bracketed = BracketedUnit(header); !bracketed.isEmpty())
        return DistanceUnitOf(bracketed);
    for (const QString& word : NameWords(header)) {
        if (const auto unit = DistanceUnitOf(word))
            return unit;
    }
    if (Squeezed(header).startsWith(u"kilometerstand"))
        return FileDistance::Kilometres;
    return std::nullopt;
}

std::optional<FileVolume> VolumeUnitInName(const QString& header, QString* unknown, bool* plainGallons) {
    auto found = [plainGallons](const QString& word) {
        const auto unit = VolumeUnitOf(word);
        if (unit && plainGallons)
            *plainGallons = IsPlainGallons(word);
        return unit;
    };
    if (const QString bracketed = BracketedUnit(header); !bracketed.isEmpty()) {
        const auto unit = found(bracketed);
        if (!unit && unknown && !DistanceUnitOf(bracketed))
            *unknown = bracketed;
        return unit;
    }
    const QStringList words = NameWords(header);
    // "UK gal", "Imperial gallons" as two words.
    if (words.size() == 2) {
        if (const auto unit = found(words.join(QString())))
            return unit;
    }
    // A short word states the unit only at the end ("Preis/l", "Price per gallon"), not inside a
    // figure's name ("l/100km").
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i + 1 < words.size() && words[i].size() <= 3)
            continue;
        if (const auto unit = found(words[i]))
            return unit;
    }
    return std::nullopt;
}

bool IsPlainGallons(const QString& word) {
    return VolumeUnitOf(word) == FileVolume::GallonsUS && !Squeezed(word).contains(u"us");
}

TextUnits UnitsInText(const QString& text) {
    TextUnits units;
    auto read = [&units](const QString& part, bool shortWords) {
        QStringList words = NameWords(part);
        for (QString& word : words) {
            // "100km" of "l/100km" is kilometres.
            qsizetype digits = 0;
            while (digits < word.size() && word[digits].isDigit())
                ++digits;
            word.remove(0, digits);
        }
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QString& word = words[i];
            if (word == u"uk" || word == u"imperial")
                units.uk = true;
            if (word.isEmpty() || (!shortWords && word.size() < 5))
                continue;
            // "UK gallons", "US gal", "Imperial gallons" as two words.
            if (i + 1 < words.size()) {
                const QString pair = word + words[i + 1];
                if (const auto unit = VolumeUnitOf(pair); unit && !IsPlainGallons(pair)) {
                    if (units.volume == FileVolume::Unstated)
                        units.volume = *unit;
                    ++i;
                    continue;
                }
            }
            if (word == u"mpg" && shortWords) {
                if (units.distance == FileDistance::Unstated)
                    units.distance = FileDistance::Miles;
                if (units.volume == FileVolume::Unstated) {
                    units.volume = FileVolume::GallonsUS;
                    units.plainGallons = true;
                }
                continue;
            }
            if (const auto distance = DistanceUnitOf(word);
                distance && units.distance == FileDistance::Unstated)
                units.distance = *distance;
            if (const auto volume = VolumeUnitOf(word); volume && units.volume == FileVolume::Unstated) {
                units.volume = *volume;
                units.plainGallons = IsPlainGallons(word);
            }
        }
    };
    // Whether each word of a bracket is a unit's: "(km, l)" states units, "(L)" of a name does not.
    auto onlyUnits = [](const QString& part) {
        const QStringList words = NameWords(part);
        for (const QString& word : words) {
            if (!DistanceUnitOf(word) && !VolumeUnitOf(word) && word != u"uk" && word != u"us" &&
                word != u"imp" && word != u"imperial" && word != u"mpg")
                return false;
        }
        return !words.isEmpty();
    };
    static const char16_t* const kLabels[] = {
        u"units",    u"unit",    u"einheiten",  u"einheit",    u"unités",    u"unites",   u"unité",
        u"unidades", u"unità",   u"unita",      u"unidade",    u"jednostki", u"единицы",  u"eenheden",
        u"distance", u"distanz", u"entfernung", u"strecke",    u"distancia", u"distanza", u"volume",
        u"volumen",  u"volumes", u"fuel",       u"kraftstoff", u"odometer",  u"mileage",  u"quantity",
        u"menge",    u"economy", u"verbrauch",  nullptr};
    static const QRegularExpression kBracket(QStringLiteral("[(\\[]([^()\\[\\]]*)[)\\]]"));
    static const QRegularExpression kClauses(QStringLiteral("[;|\\n]"));
    for (const QString& clause : text.toLower().split(kClauses, Qt::SkipEmptyParts)) {
        // "Units: km/l", "Distance: miles": a label of units, then the units.
        if (const qsizetype colon = clause.indexOf(u':'); colon > 0) {
            const QStringList label = NameWords(clause.left(colon));
            if (!label.isEmpty() && In(label.back(), kLabels))
                read(clause.mid(colon + 1), true);
        }
        for (auto match = kBracket.globalMatch(clause); match.hasNext();) {
            const QString inside = match.next().captured(1);
            if (onlyUnits(inside))
                read(inside, true);
        }
        read(clause, false);
    }
    return units;
}

bool ParseFileUnits(const QString& text, FileDistance& distance, FileVolume& volume) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return false;
    const auto d = DistanceUnitOf(parts[0]);
    const auto v = VolumeUnitOf(parts[1]);
    if (!d || !v)
        return false;
    distance = *d;
    volume = *v;
    return true;
}

double DistanceFactor(FileDistance from, DistanceUnit to) {
    if (from == FileDistance::Unstated || from == AsFileUnit(to))
        return 1.0;
    return from == FileDistance::Miles ? kKilometresPerMile : 1.0 / kKilometresPerMile;
}

namespace {

double LitresIn(FileVolume unit) {
    switch (unit) {
    case FileVolume::Litres:
        return 1.0;
    case FileVolume::GallonsUS:
        return kLitresPerGallonUS;
    case FileVolume::GallonsUK:
        return kLitresPerGallonUK;
    default:
        return 0.0;
    }
}

} // namespace

double VolumeFactor(FileVolume from, VolumeUnit to) {
    const double source = LitresIn(from);
    const double target = LitresIn(AsFileUnit(to));
    if (source <= 0.0 || target <= 0.0)
        return 1.0;
    return source / target;
}

bool Converts(FileDistance from, DistanceUnit to) {
    return DistanceFactor(from, to) != 1.0;
}

bool Converts(FileVolume from, VolumeUnit to) {
    return VolumeFactor(from, to) != 1.0;
}

FileDistance AsFileUnit(DistanceUnit unit) {
    // Any other stored value counts as kilometres, as the economy figures take it.
    return unit == DistanceMiles ? FileDistance::Miles : FileDistance::Kilometres;
}

FileVolume AsFileUnit(VolumeUnit unit) {
    switch (unit) {
    case VolumeGallonsUS:
        return FileVolume::GallonsUS;
    case VolumeGallonsUK:
        return FileVolume::GallonsUK;
    case VolumeLitres:
        return FileVolume::Litres;
    }
    return FileVolume::Unstated;
}

QString UnitName(FileDistance unit) {
    return unit == FileDistance::Unstated
               ? QString()
               : Part(IDS_IMPORT_UNIT_NAMES, unit == FileDistance::Kilometres ? 0 : 1);
}

QString UnitName(FileVolume unit) {
    return unit == FileVolume::Unstated ? QString() : Part(IDS_IMPORT_UNIT_NAMES, static_cast<int>(unit) + 1);
}
