#include "exchange/CImportProfile.h"

#include "exchange/ImportValues.h"

#include <algorithm>

namespace {

using F = CImportFields;

// Names are written as people see them and compared as NormaliseHeader makes them.
QStringList Words(const QString& list) {
    QStringList words;
    for (const QString& word : list.split(u'|', Qt::SkipEmptyParts)) {
        const QString name = ImportValues::NormaliseHeader(word);
        if (!name.isEmpty() && !words.contains(name))
            words << name;
    }
    return words;
}

// The words for each field in the languages the programs write: English, German, French,
// Spanish, Italian, Portuguese, Polish, Russian and Dutch.
const QString kDate = QStringLiteral("date|day|datetime|date/time|datum|fecha|data|дата");
const QString kTime = QStringLiteral("time|zeit|uhrzeit|heure|hora|ora|godzina|czas|время|tijd");
const QString kOdometer = QStringLiteral(
    "odometer|odo|mileage|odometer reading|kilometerstand|km-stand|tachostand|kilométrage|compteur|"
    "odomètre|odómetro|kilometraje|cuentakilómetros|odometro|chilometraggio|contachilometri|odômetro|"
    "hodômetro|quilometragem|przebieg|stan licznika|licznik|одометр|пробег|показания одометра|km-stand|"
    "zählerstand|kilometerteller|tellerstand|odometer (km)|odometer (mi)");
const QString kQuantity = QStringLiteral(
    "quantity|qty|volume|litres|liters|gallons|fuel amount|fuelamount|fill amount|fillup volume|"
    "fuel consumed|amount of fuel|menge|volumen|liter|tankmenge|kraftstoffmenge|quantité|cantidad|litros|"
    "quantità|litri|quantidade|ilość|objętość|litry|количество|объем|литры|литров|spritmenge|"
    "getankte menge|getankt|fuel quantity|fuel volume|kg|kwh|energy|energie|énergie|energía|"
    "quantité de carburant|cantidad de combustible|quantità di carburante|hoeveelheid|liters getankt|"
    "объём|литры топлива");
const QString kUnitPrice = QStringLiteral(
    "price per unit|unit price|price/unit|volumeprice|volume price|price per litre|price per liter|"
    "price per gallon|price/l|price/gal|cost per unit|preis pro liter|literpreis|preis/l|preis je liter|"
    "einzelpreis|prix unitaire|prix au litre|prix par litre|prix/l|precio por litro|precio unitario|"
    "precio/l|prezzo al litro|prezzo unitario|prezzo/l|preço por litro|preço unitário|preço/l|"
    "cena za litr|cena jednostkowa|cena/l|цена за литр|цена за единицу|цена/л|preis/liter|"
    "preis pro einheit|prix du litre|prix par unité|precio por galón|price per kg|price per kwh|"
    "preis pro kg|preis pro kwh|prijs per liter|literprijs|prijs per eenheid");
const QString kTotal = QStringLiteral(
    "total|total cost|total price|totalcost|cost|amount|sum|gesamt|gesamtpreis|gesamtkosten|gesamtbetrag|"
    "kosten|betrag|summe|coût|coût total|prix total|montant|coste|costo|costo total|coste total|importe|"
    "precio total|totale|costo totale|importo|spesa|prezzo totale|custo|custo total|valor|valor total|"
    "preço total|koszt|koszt całkowity|kwota|suma|cena całkowita|стоимость|сумма|итого|общая стоимость|"
    "total amount|amount paid|paid|preis gesamt|endbetrag|kosten gesamt|coût total ttc|montant total|"
    "importe total|valor pago|totaal|totaalprijs|bedrag|kosten totaal");
const QString kLonePrice = QStringLiteral("price|preis|prix|precio|prezzo|preço|cena|цена|prijs");
const QString kVendor = QStringLiteral(
    "vendor|station|location|gas station|fuel station|fueling station|petrol station|place|shop|"
    "tankstelle|ort|händler|werkstatt|station-service|lieu|fournisseur|garage|gasolinera|estación|lugar|"
    "proveedor|taller|distributore|stazione|luogo|fornitore|officina|posto|posto de combustível|local|"
    "fornecedor|oficina|stacja|stacja paliw|miejsce|dostawca|warsztat|азс|заправка|место|поставщик|"
    "автосервис|tankstation|locatie|leverancier|plaats");
const QString kDescription = QStringLiteral(
    "description|service|services|item|service type|sub service types|expense type|title|cost title|"
    "beschreibung|bezeichnung|leistung|intitulé|descripción|concepto|descrizione|descrição|opis|"
    "описание|наименование|omschrijving|beschrijving|titel");
const QString kNotes = QStringLiteral(
    "notes|note|comment|comments|remarks|memo|notiz|notizen|bemerkung|bemerkungen|kommentar|remarque|"
    "remarques|commentaire|commentaires|notas|nota|comentario|comentarios|observaciones|commento|commenti|"
    "observações|comentário|notatki|notatka|uwagi|komentarz|заметки|примечание|примечания|комментарий|"
    "opmerking|opmerkingen|notitie|notities");
const QString kVehicle = QStringLiteral(
    "vehicle|vehicle name|car|car name|auto|fahrzeug|véhicule|vehículo|veicolo|veículo|pojazd|samochód|"
    "автомобиль|машина|транспортное средство|voertuig");
const QString kName = QStringLiteral("name|nom|nombre|nome|nazwa|название|имя");
const QString kPartial = QStringLiteral(
    "partial|partial fill|partial fillup|partial fuelup|teilbetankung|teilweise|partiel|plein partiel|"
    "parcial|parziale|częściowe|częściowo|частичная|частично|gedeeltelijk|gedeeltelijk getankt");
const QString kFull = QStringLiteral(
    "full|filled|full tank|fill to full|is fill to full|voll|volltank|tank voll|vollgetankt|plein|"
    "réservoir plein|lleno|depósito lleno|tanque lleno|pieno|serbatoio pieno|cheio|tanque cheio|pełny|"
    "do pełna|pełny bak|полный|полный бак|filled tank|tank filled|full fill|full fillup|full fill-up|"
    "vol|volle tank|volgetankt");
const QString kMissed = QStringLiteral(
    "missed|missed fillup|missed fuelup|missed last|previous missed fill-ups|vergessen|übersprungen|"
    "manqué|oublié|omitido|olvidado|mancato|saltato|perdido|esquecido|pominięte|pominięty|пропущено|"
    "пропуск|gemist|overgeslagen");
const QString kType = QStringLiteral("type|entry type");

// Section markers, by what their tables hold.
const QString kSkipMarkers = QStringLiteral(
    "categor|kategor|catégor|categorí|tire|tyre|reifen|pneu|neumát|gomme|opon|шин|gps|trip|fahrt|voyage|"
    "viaje|viaggi|viage|podróż|поездк|reminder|erinnerung|rappel|recordatorio|promemoria|lembrete|przypom|"
    "напомин|valuation|version|setting|einstellung|paramètre|ajuste|impostazion|configura|ustawien|"
    "настрой|fuelprice|fueltype|statistic|statistik|statistiq|estadíst|statistich|estatíst|statystyk|"
    "статист|income|einnahme|revenu|ingreso|entrat|receita|przych|доход");
const QString kVehicleMarkers =
    QStringLiteral("vehicle|fahrzeug|véhicule|vehículo|veicolo|veículo|pojazd|samoch|автомоб|машин");
const QString kExpenseMarkers = QStringLiteral(
    "cost|expense|kosten|ausgabe|dépense|frais|gasto|spes|despesa|custo|wydat|koszt|расход|затрат");
const QString kServiceMarkers = QStringLiteral(
    "service|maintenance|repair|wartung|reparatur|inspektion|entretien|réparation|servicio|mantenimiento|"
    "manutenzione|tagliando|serviço|manutenção|serwis|napraw|обслуживан|ремонт|сервис");
const QString kFuelMarkers =
    QStringLiteral("fuel|log|refuel|fill|tank|ravitaillement|plein|carburant|repost|combustible|rifornimento|"
                   "abastecimento|paliw|заправ|топлив");

QStringList Join(std::initializer_list<QString> lists) {
    QString all;
    for (const QString& list : lists)
        all += list + u'|';
    return Words(all);
}

} // namespace

// The known exports. Where a program writes a column under several names (its languages), every
// name is listed; columns it writes that have no place here are listed as unused, so that the
// names alone do not give them a meaning.
struct ProfileTable {
    std::vector<CImportProfile> profiles;

    CImportProfile& Add(const QString& name, CImportFields::Kind kind) {
        CImportProfile profile;
        profile.m_Name = name;
        profile.m_Kind = kind;
        profiles.push_back(profile);
        return profiles.back();
    }
    static void Column(CImportProfile& profile, int field, std::initializer_list<QString> names) {
        profile.m_Columns.push_back({field, Join(names)});
    }

    ProfileTable() {
        using P = CImportProfile;
        {
            P& p = Add(QStringLiteral("Carvelle"), F::KindOwn);
            p.m_Required = {F::FieldDate, F::FieldType, F::FieldOdometer};
            Column(p, F::FieldVehicle, {QStringLiteral("vehicle")});
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldType, {QStringLiteral("type")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldQuantity, {QStringLiteral("quantity")});
            Column(p, F::FieldUnitPrice, {QStringLiteral("unitprice")});
            Column(p, F::FieldAmount, {QStringLiteral("amount")});
            Column(p, F::FieldVendor, {QStringLiteral("vendor")});
            Column(p, F::FieldDescription, {QStringLiteral("description")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, F::FieldPartial, {QStringLiteral("partial")});
            Column(p, F::FieldMissed, {QStringLiteral("missed")});
        }
        {
            P& p = Add(QStringLiteral("Fuelly fuel-ups"), F::KindFuelLog);
            p.m_Distinct = Words(QStringLiteral("fuelup_date"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_Price = F::PriceUnit;
            Column(p, F::FieldVehicle, {QStringLiteral("car_name")});
            Column(p, F::FieldDate, {QStringLiteral("fuelup_date")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldQuantity, {QStringLiteral("gallons|litres|liters|quantity|volume")});
            Column(p, F::FieldUnitPrice, {QStringLiteral("price")});
            Column(p, F::FieldPartial, {QStringLiteral("partial_fuelup")});
            Column(p, F::FieldMissed, {QStringLiteral("missed_fuelup")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, P::Unused, {QStringLiteral("miles|kilometers|city_percentage|tags|mpg|brand")});
        }
        {
            P& p = Add(QStringLiteral("Fuelly services"), F::KindServiceLog);
            p.m_Distinct = Words(QStringLiteral("service_date"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_Price = F::PriceTotal;
            Column(p, F::FieldVehicle, {QStringLiteral("car_name")});
            Column(p, F::FieldDate, {QStringLiteral("service_date")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldAmount, {QStringLiteral("price")});
            Column(p, F::FieldDescription, {QStringLiteral("service_type|sub_service_types")});
            Column(p, F::FieldVendor, {QStringLiteral("shop|location|vendor")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, P::Unused, {QStringLiteral("tags")});
        }
        {
            // Fuelio writes its column names in the user's language; "Price" is what was paid.
            // Its column names go into the user's language; these technical ones do not.
            P& p = Add(QStringLiteral("Fuelio fuel log"), F::KindFuelLog);
            p.m_Distinct = Words(QStringLiteral("volumeprice|tanknumber|excludedistance|tankcalc"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_Price = F::PriceTotal;
            Column(p, F::FieldDate, {kDate});
            Column(p, F::FieldOdometer, {kOdometer});
            Column(p, F::FieldQuantity,
                   {QStringLiteral("fuel|kraftstoff|carburant|combustible|carburante|"
                                   "combustível|paliwo|топливо"),
                    kQuantity});
            Column(p, F::FieldFull, {kFull});
            Column(p, F::FieldUnitPrice, {QStringLiteral("volumeprice"), kUnitPrice});
            Column(p, F::FieldAmount, {kLonePrice, kTotal});
            Column(p, F::FieldVendor,
                   {QStringLiteral("city|stadt|ville|ciudad|città|cidade|miasto|город"), kVendor});
            Column(p, F::FieldNotes, {kNotes});
            Column(p, F::FieldMissed, {kMissed});
            Column(p, P::Unused,
                   {QStringLiteral("l/100km|km/l|mpg|latitude|longitude|tanknumber|fueltype|stationid|"
                                   "excludedistance|uniqueid|tankcalc|weather")});
        }
        {
            P& p = Add(QStringLiteral("Fuelio costs"), F::KindServiceLog);
            p.m_Distinct = Words(QStringLiteral("costtitle|costtypeid"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_ServiceType = CEntry::EntryExpense;
            p.m_ServiceTypeFixed = true;
            p.m_Price = F::PriceTotal;
            Column(p, F::FieldDescription, {QStringLiteral("costtitle"), kDescription});
            Column(p, F::FieldDate, {kDate});
            Column(p, F::FieldOdometer, {kOdometer});
            Column(p, F::FieldAmount, {kLonePrice, kTotal});
            Column(p, F::FieldNotes, {kNotes});
            Column(p, P::Unused,
                   {QStringLiteral("costtypeid|flag|idr|read|remindodo|reminddate|istemplate|repeatodo|"
                                   "repeatmonths|isincome|uniqueid")});
        }
        {
            P& p = Add(QStringLiteral("Fuelio vehicle"), F::KindVehicles);
            p.m_Distinct = Words(QStringLiteral("distunit|fuelunit|tank1capacity|importcsvdateformat"));
            p.m_Required = {F::FieldVehicle};
            Column(p, F::FieldVehicle, {kName, kVehicle});
        }
        // Drivvo marks its tables "##Refuelling", "##Expense", "##Service" and names the columns
        // in the user's language; its "Price" is per unit.
        {
            P& p = Add(QStringLiteral("Drivvo refuelling"), F::KindFuelLog);
            p.m_Markers = Words(QStringLiteral(
                "refuelling|refueling|refuellings|betankung|betankungen|tanken|ravitaillement|"
                "ravitaillements|"
                "repostaje|repostajes|abastecimiento|rifornimento|rifornimenti|abastecimento|abastecimentos|"
                "tankowanie|tankowania|заправка|заправки"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_Price = F::PriceUnit;
            Column(p, F::FieldOdometer, {kOdometer});
            Column(p, F::FieldDate, {kDate});
            Column(p, P::Unused,
                   {QStringLiteral("fuel|fuel type|kraftstoff|kraftstoffart|carburant|combustible|"
                                   "carburante|combustível|paliwo|rodzaj paliwa|топливо|reason|grund|raison|"
                                   "motivo|powód|причина")});
            Column(p, F::FieldUnitPrice, {kLonePrice, kUnitPrice});
            Column(p, F::FieldAmount, {kTotal});
            Column(p, F::FieldQuantity, {kQuantity});
            Column(p, F::FieldFull, {kFull});
            Column(p, F::FieldVendor, {kVendor});
            Column(p, F::FieldNotes, {kNotes});
        }
        {
            P& p = Add(QStringLiteral("Drivvo expenses"), F::KindServiceLog);
            p.m_Markers = Words(QStringLiteral("expense|expenses|ausgabe|ausgaben|dépense|dépenses|gasto|"
                                               "gastos|spesa|spese|despesa|despesas|"
                                               "wydatek|wydatki|расход|расходы"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_ServiceType = CEntry::EntryExpense;
            p.m_ServiceTypeFixed = true;
            p.m_Price = F::PriceTotal;
            Column(p, F::FieldOdometer, {kOdometer});
            Column(p, F::FieldDate, {kDate});
            Column(p, F::FieldDescription,
                   {QStringLiteral("expense type|type of expense|ausgabenart|type de dépense|tipo de gasto|"
                                   "tipo di spesa|tipo de despesa|rodzaj wydatku|тип расхода"),
                    kDescription});
            Column(p, F::FieldAmount, {kTotal, kLonePrice});
            Column(p, F::FieldVendor, {kVendor});
            Column(p, F::FieldNotes, {kNotes});
            Column(p, P::Unused, {QStringLiteral("reason|grund|raison|motivo|powód|причина")});
        }
        {
            P& p = Add(QStringLiteral("Drivvo services"), F::KindServiceLog);
            p.m_Markers = Words(QStringLiteral(
                "service|services|wartung|inspektion|entretien|servicio|servicios|mantenimiento|manutenzione|"
                "tagliando|serviço|serviços|manutenção|serwis|обслуживание|сервис"));
            p.m_Required = {F::FieldDate, F::FieldOdometer};
            p.m_ServiceType = CEntry::EntryRepair;
            p.m_ServiceTypeFixed = true;
            p.m_Price = F::PriceTotal;
            Column(p, F::FieldOdometer, {kOdometer});
            Column(p, F::FieldDate, {kDate});
            Column(p, F::FieldDescription,
                   {QStringLiteral("service type|type of service|serviceart|wartungsart|type d'entretien|"
                                   "tipo de servicio|tipo di servizio|tipo de serviço|rodzaj serwisu|"
                                   "тип обслуживания"),
                    kDescription});
            Column(p, F::FieldAmount, {kTotal, kLonePrice});
            Column(p, F::FieldVendor, {kVendor});
            Column(p, F::FieldNotes, {kNotes});
            Column(p, P::Unused, {QStringLiteral("reason|grund|raison|motivo|powód|причина")});
        }
        // Road Trip starts its file with a title line and heads each table with a line of capitals.
        {
            P& p = Add(QStringLiteral("Road Trip fuel records"), F::KindFuelLog);
            p.m_Titles = Words(QStringLiteral("roadtripcsv"));
            p.m_Distinct = Words(QStringLiteral("fill amount|fill units"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldQuantity};
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldQuantity, {QStringLiteral("fill amount")});
            Column(p, F::FieldUnitPrice, {QStringLiteral("price per unit")});
            Column(p, F::FieldAmount, {QStringLiteral("total price")});
            Column(p, F::FieldPartial, {QStringLiteral("partial fill")});
            Column(p, F::FieldNotes, {QStringLiteral("note")});
            Column(p, F::FieldVendor, {QStringLiteral("location")});
            Column(
                p, P::Unused,
                {QStringLiteral("trip distance|fill units|mpg|l/100km|km/l|octane|payment|conditions|reset|"
                                "categories|flags|currency code|currency rate|latitude|longitude|id|"
                                "tank number|fuel economy")});
        }
        {
            P& p = Add(QStringLiteral("Road Trip maintenance records"), F::KindServiceLog);
            p.m_Titles = Words(QStringLiteral("roadtripcsv"));
            p.m_Distinct = Words(QStringLiteral("repeat odometer|repeat months"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldDescription};
            p.m_ServiceType = CEntry::EntryRepair;
            p.m_ServiceTypeFixed = true;
            Column(p, F::FieldDescription, {QStringLiteral("description")});
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldAmount, {QStringLiteral("cost")});
            Column(p, F::FieldNotes, {QStringLiteral("note")});
            Column(p, F::FieldVendor, {QStringLiteral("location")});
            Column(
                p, P::Unused,
                {QStringLiteral("repeat odometer|repeat months|type|subtype|categories|flags|currency code|"
                                "currency rate|id")});
        }
        {
            P& p = Add(QStringLiteral("My Fuel Manager"), F::KindFuelLog);
            p.m_Titles = Words(QStringLiteral("myfuelmanager"));
            p.m_Distinct = Words(QStringLiteral("fillup volume"));
            // Its costs file has the same title and no quantity.
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldQuantity};
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldQuantity, {QStringLiteral("fillup volume")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldAmount, {QStringLiteral("total price")});
            Column(p, F::FieldUnitPrice, {QStringLiteral("price per unit|unit price")});
            Column(p, F::FieldFull, {QStringLiteral("full|full tank")});
            Column(p, F::FieldPartial, {QStringLiteral("partial")});
            Column(p, F::FieldMissed, {QStringLiteral("missed")});
            Column(p, F::FieldVendor, {QStringLiteral("station|location")});
            Column(p, F::FieldNotes, {QStringLiteral("note|notes")});
            Column(p, F::FieldVehicle, {QStringLiteral("vehicle name|vehicle")});
            Column(p, P::Unused,
                   {QStringLiteral("currency|consumption|distance|fuel|fuel type|trip|consumption unit|"
                                   "volume unit|distance unit")});
        }
        {
            P& p = Add(QStringLiteral("My Fuel Manager costs"), F::KindServiceLog);
            p.m_Titles = Words(QStringLiteral("myfuelmanager"));
            p.m_Required = {F::FieldDate, F::FieldAmount};
            p.m_ServiceType = CEntry::EntryExpense;
            p.m_ServiceTypeFixed = true;
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldDescription, {QStringLiteral("title|type|category")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldAmount, {QStringLiteral("total price|price|cost")});
            Column(p, F::FieldVendor, {QStringLiteral("location|station")});
            Column(p, F::FieldNotes, {QStringLiteral("note|notes")});
            Column(p, F::FieldVehicle, {QStringLiteral("vehicle name|vehicle")});
            Column(p, P::Unused, {QStringLiteral("currency|distance unit")});
        }
        // Spritmonitor writes kilometres and litres, and its fill type as a code: 1 a full tank,
        // 2 a partial fill-up, 3 the first fill-up of the car, 4 one after fill-ups that were not
        // recorded.
        {
            P& p = Add(QStringLiteral("Spritmonitor fuel"), F::KindFuelLog);
            p.m_Distinct = Words(QStringLiteral("tankart|spritmenge|teil-km"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldQuantity};
            p.m_Distance = FileDistance::Kilometres;
            p.m_Volume = FileVolume::Litres;
            p.m_PartialCodes = QStringList{QStringLiteral("2")};
            p.m_MissedCodes = QStringList{QStringLiteral("4")};
            Column(p, F::FieldDate, {QStringLiteral("datum|date")});
            Column(p, F::FieldOdometer, {QStringLiteral("km-stand|kilometerstand|odometer")});
            Column(p, F::FieldQuantity, {QStringLiteral("spritmenge|menge|kraftstoffmenge|quantity")});
            Column(p, F::FieldAmount, {QStringLiteral("kosten|gesamtkosten|betrag|costs|cost|total price")});
            Column(p, F::FieldUnitPrice,
                   {QStringLiteral("preis/l|preis pro liter|literpreis|preis/liter|unit price")});
            Column(p, F::FieldPartial, {QStringLiteral("tankart|fill type|type of fill")});
            Column(p, F::FieldVendor, {QStringLiteral("tankstelle|ort|station|location")});
            Column(p, F::FieldNotes, {QStringLiteral("bemerkung|notiz|note|notes|comment")});
            Column(p, P::Unused,
                   {QStringLiteral("teil-km|trip|reifen|tires|tyres|strecke|strecken|routes|fahrweise|"
                                   "driving style|verbrauch|consumption|sorte|kraftstoffsorte|fuel type|"
                                   "klimaanlage|bordcomputer|währung|currency")});
        }
        {
            P& p = Add(QStringLiteral("Spritmonitor costs"), F::KindServiceLog);
            p.m_Distinct = Words(QStringLiteral("kostenart"));
            p.m_Required = {F::FieldDate, F::FieldAmount};
            p.m_Distance = FileDistance::Kilometres;
            p.m_ServiceType = CEntry::EntryExpense;
            p.m_ServiceTypeFixed = true;
            Column(p, F::FieldDate, {QStringLiteral("datum|date")});
            Column(p, F::FieldOdometer, {QStringLiteral("km-stand|kilometerstand|odometer")});
            Column(p, F::FieldDescription, {QStringLiteral("kostenart|bezeichnung|titel")});
            Column(p, F::FieldAmount, {QStringLiteral("kosten|gesamtkosten|betrag|costs|cost")});
            Column(p, F::FieldNotes, {QStringLiteral("bemerkung|notiz|note|notes")});
            Column(p, P::Unused, {QStringLiteral("währung|currency")});
        }
        {
            // Car Report's "price" is what was paid.
            P& p = Add(QStringLiteral("Car Report"), F::KindFuelLog);
            p.m_Distinct = Words(QStringLiteral("fuel_type"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldQuantity, F::FieldAmount};
            p.m_Price = F::PriceTotal;
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldOdometer, {QStringLiteral("mileage")});
            Column(p, F::FieldQuantity, {QStringLiteral("volume")});
            Column(p, F::FieldAmount, {QStringLiteral("price")});
            Column(p, F::FieldPartial, {QStringLiteral("partial")});
            Column(p, F::FieldNotes, {QStringLiteral("note|notes|comment")});
            Column(p, F::FieldVendor, {QStringLiteral("station")});
            Column(p, F::FieldVehicle, {QStringLiteral("car|car_name")});
            Column(p, P::Unused, {QStringLiteral("fuel_type|date_end|latitude|longitude")});
        }
        {
            P& p = Add(QStringLiteral("aCar fill-ups"), F::KindFuelLog);
            p.m_Distinct = Words(QStringLiteral("odometer reading"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldQuantity};
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldTime, {QStringLiteral("time")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer reading")});
            Column(p, F::FieldQuantity, {QStringLiteral("volume")});
            Column(p, F::FieldUnitPrice, {QStringLiteral("price per unit")});
            Column(p, F::FieldAmount, {QStringLiteral("total cost")});
            Column(p, F::FieldPartial, {QStringLiteral("partial fill-up")});
            Column(p, F::FieldMissed, {QStringLiteral("previous missed fill-ups")});
            Column(p, F::FieldVendor, {QStringLiteral("fueling station")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, F::FieldVehicle, {QStringLiteral("vehicle")});
            Column(p, P::Unused, {QStringLiteral("fuel type|fuel brand|fuel economy|distance|tags")});
        }
        {
            P& p = Add(QStringLiteral("aCar services"), F::KindServiceLog);
            p.m_Distinct = Words(QStringLiteral("odometer reading"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldDescription};
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldTime, {QStringLiteral("time")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer reading")});
            Column(p, F::FieldDescription, {QStringLiteral("services|service")});
            Column(p, F::FieldAmount, {QStringLiteral("total cost")});
            Column(p, F::FieldVendor, {QStringLiteral("service center|place")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, F::FieldVehicle, {QStringLiteral("vehicle")});
            Column(p, P::Unused, {QStringLiteral("tags")});
        }
        // Self-hosted trackers: "Filled" and "IsFillToFull" say the tank was filled up.
        {
            P& p = Add(QStringLiteral("Self-hosted tracker fuel log"), F::KindFuelLog);
            p.m_Distinct = Words(QStringLiteral("fuelamount|missedlast|isfilltofull|missedfuelup"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldQuantity};
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldQuantity, {QStringLiteral("fuelamount|fuelconsumed")});
            Column(p, F::FieldAmount, {QStringLiteral("cost")});
            Column(p, F::FieldFull, {QStringLiteral("filled|isfilltofull")});
            Column(p, F::FieldMissed, {QStringLiteral("missedlast|missedfuelup")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, P::Unused, {QStringLiteral("fueleconomy|tags|extrafields")});
        }
        {
            P& p = Add(QStringLiteral("Self-hosted tracker service log"), F::KindServiceLog);
            p.m_Distinct = Words(QStringLiteral("tags|extrafields"));
            p.m_Required = {F::FieldDate, F::FieldOdometer, F::FieldDescription};
            Column(p, F::FieldDate, {QStringLiteral("date")});
            Column(p, F::FieldOdometer, {QStringLiteral("odometer")});
            Column(p, F::FieldDescription, {QStringLiteral("description")});
            Column(p, F::FieldAmount, {QStringLiteral("cost")});
            Column(p, F::FieldNotes, {QStringLiteral("notes")});
            Column(p, P::Unused, {QStringLiteral("tags|extrafields")});
        }
    }
};

namespace {

const ProfileTable& Profiles() {
    static const ProfileTable table;
    return table;
}

struct GenericNames {
    std::vector<CImportProfile::Column> columns;
    QStringList lonePrice;
    QStringList name;
    QStringList markers[CImportProfile::HintSkip + 1];
    GenericNames() {
        columns = {
            {F::FieldVehicle, Join({kVehicle})},
            {F::FieldDate, Join({kDate, QStringLiteral("fuelup_date|service_date")})},
            {F::FieldTime, Join({kTime})},
            {F::FieldType, Join({kType})},
            {F::FieldOdometer, Join({kOdometer})},
            {F::FieldQuantity, Join({kQuantity})},
            {F::FieldUnitPrice, Join({kUnitPrice})},
            {F::FieldAmount, Join({kTotal})},
            {F::FieldVendor, Join({kVendor})},
            {F::FieldDescription, Join({kDescription})},
            {F::FieldNotes, Join({kNotes})},
            {F::FieldPartial, Join({kPartial})},
            {F::FieldFull, Join({kFull})},
            {F::FieldMissed, Join({kMissed})},
        };
        lonePrice = Words(kLonePrice);
        name = Words(kName);
        markers[CImportProfile::HintSkip] = Words(kSkipMarkers);
        markers[CImportProfile::HintVehicles] = Words(kVehicleMarkers);
        markers[CImportProfile::HintExpense] = Words(kExpenseMarkers);
        markers[CImportProfile::HintService] = Words(kServiceMarkers);
        markers[CImportProfile::HintFuel] = Words(kFuelMarkers);
    }
};

const GenericNames& Generic() {
    static const GenericNames names;
    return names;
}

// Whether the word is in the text other than as part of one of the longer words, as "шин" (tyres)
// is in "машины" (vehicles).
bool ContainsOutside(const QString& text, const QString& word, const QStringList& longer) {
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        bool inside = false;
        for (const QString& other : longer) {
            for (qsizetype from = text.indexOf(other); from >= 0 && from <= at && !inside;
                 from = text.indexOf(other, from + 1))
                inside = from + other.size() >= at + word.size();
        }
        if (!inside)
            return true;
    }
    return false;
}

} // namespace

const CImportProfile* CImportProfile::Match(const QStringList& names, const QString& marker,
                                            const QString& title, std::vector<int>& fields) {
    const CImportProfile* best = nullptr;
    int bestScore = -1;
    std::vector<int> mapped(static_cast<std::size_t>(names.size()));
    for (const CImportProfile& profile : Profiles().profiles) {
        bool named = false;
        for (const QString& word : profile.m_Titles)
            named = named || title.contains(word);
        for (const QString& word : profile.m_Markers)
            named = named || marker == word;
        for (const QString& word : profile.m_Distinct)
            named = named || names.contains(word);
        const bool gated =
            !profile.m_Titles.isEmpty() || !profile.m_Markers.isEmpty() || !profile.m_Distinct.isEmpty();
        if (gated && !named)
            continue;
        int score = 0;
        for (qsizetype i = 0; i < names.size(); ++i) {
            int field = Unknown;
            for (const Column& column : profile.m_Columns) {
                // A field takes its first column; a second of the same name is left over.
                if (column.names.contains(names[i]) &&
                    (column.field == Unused || column.field == F::FieldDescription ||
                     std::find(mapped.begin(), mapped.begin() + i, column.field) == mapped.begin() + i)) {
                    field = column.field;
                    break;
                }
            }
            mapped[static_cast<std::size_t>(i)] = field;
            if (field != Unknown)
                ++score;
        }
        const bool complete =
            std::all_of(profile.m_Required.begin(), profile.m_Required.end(), [&](int field) {
                return std::find(mapped.begin(), mapped.end(), field) != mapped.end();
            });
        if (!complete)
            continue;
        if (named)
            score += 1000;
        if (score > bestScore) {
            best = &profile;
            bestScore = score;
            fields = mapped;
        }
    }
    return best;
}

int CImportProfile::GenericField(const QString& name, bool inVehicles) {
    const GenericNames& generic = Generic();
    if (inVehicles && generic.name.contains(name))
        return F::FieldVehicle;
    for (const Column& column : generic.columns) {
        if (column.names.contains(name))
            return column.field;
    }
    return Unknown;
}

bool CImportProfile::IsLonePrice(const QString& name) {
    return Generic().lonePrice.contains(name);
}

CImportProfile::Hint CImportProfile::HintOf(const QString& marker) {
    if (marker.isEmpty())
        return HintNone;
    // Categories of costs are no costs: what has no place is looked for first.
    for (Hint hint : {HintSkip, HintVehicles, HintExpense, HintService, HintFuel}) {
        for (const QString& word : Generic().markers[hint]) {
            if (hint == HintSkip ? ContainsOutside(marker, word, Generic().markers[HintVehicles])
                                 : marker.contains(word))
                return hint;
        }
    }
    return HintNone;
}

bool CImportProfile::IsYes(const QString& value) {
    static const QStringList yes = Words(QStringLiteral(
        "1|true|yes|y|x|partial|missed|full|ja|j|oui|o|vrai|sí|si|s|vero|sim|verdadeiro|tak|t|да|д|истина"));
    const QString v = ImportValues::NormaliseHeader(value);
    return !v.isEmpty() && yes.contains(v);
}

bool CImportProfile::IsNo(const QString& value) {
    static const QStringList no =
        Words(QStringLiteral("0|false|no|n|nein|non|faux|falso|não|nao|nie|нет|ложь"));
    const QString v = ImportValues::NormaliseHeader(value);
    return !v.isEmpty() && no.contains(v);
}

int CImportProfile::UnitColumnKind(const QString& name) {
    static const QStringList distance = Words(
        QStringLiteral("distance unit|distunit|odometer unit|odo unit|entfernungseinheit|unité de distance|"
                       "unidad de distancia|unità di distanza|unidade de distância|jednostka "
                       "odległości|единица расстояния"));
    static const QStringList volume = Words(QStringLiteral(
        "fill units|fill unit|volume unit|fuel unit|quantity unit|unit|units|einheit|mengeneinheit|unité|"
        "unidad|unità|unidade|jednostka|единица|eenheid"));
    return distance.contains(name) ? 1 : volume.contains(name) ? 2 : 0;
}

bool CImportProfile::IsCurrencyColumn(const QString& name) {
    static const QStringList words = Words(QStringLiteral(
        "currency|currency code|währung|devise|monnaie|moneda|divisa|valuta|moeda|waluta|валюта"));
    return words.contains(name);
}

int CImportProfile::VehicleDetail(const QString& name) {
    static const QStringList details[] = {
        Words(
            QStringLiteral("year|model year|jahr|baujahr|année|año|anno|ano|rok|rok produkcji|год|bouwjaar")),
        Words(QStringLiteral(
            "make|brand|manufacturer|marke|hersteller|marque|marca|producent|marka|марка|merk")),
        Words(QStringLiteral("model|modell|modèle|modelo|modello|модель")),
        Words(QStringLiteral("plate|license plate|licence plate|number plate|registration|kennzeichen|"
                             "nummernschild|immatriculation|plaque|matrícula|targa|placa|"
                             "tablica rejestracyjna|номер|госномер|kenteken")),
    };
    for (int i = 0; i < 4; ++i) {
        if (details[i].contains(name))
            return i;
    }
    return -1;
}
