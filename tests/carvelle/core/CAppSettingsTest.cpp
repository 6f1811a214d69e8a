#include "core/CAppSettings.h"

#include "platform/Registry.h"

#include <QLocale>

#include "support/TempConfigHome.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const std::string kPrefix =
    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Ferrox Software\\Carvelle]\n";

const std::vector<std::string> kWriteOrder = {"DBPath",        "LastActiveVehicle", "SortAscending",
                                              "LastColSorted", "ViewEntryType",     "UnitDistance",
                                              "UnitVolume",    "UnitFuelEconomy",   "UnitSetupMsgShown",
                                              "MileageRate",   "ViewDateRangeType"};

void ExpectDefaults(const CAppSettings& s) {
    EXPECT_EQ(s.DBPath, u"");
    EXPECT_EQ(s.LastActiveVehicle, 0u);
    EXPECT_EQ(s.SortAscending, 1u);
    EXPECT_EQ(s.LastColSorted, 0);
    EXPECT_EQ(s.ViewEntryType, 0u);
    EXPECT_EQ(s.ViewDateRangeType, 0u);
    EXPECT_EQ(s.UnitDistance, 0u);
    EXPECT_EQ(s.UnitVolume, 0u);
    EXPECT_EQ(s.UnitFuelEconomy, 0u);
    EXPECT_EQ(s.UnitSetupMsgShown, 0u);
    EXPECT_FLOAT_EQ(s.MileageRate, 0.36f);
}

std::vector<std::string> StoredNames() {
    CRegistryKey key;
    return key.Open() ? key.ValueNames() : std::vector<std::string>{};
}

TEST(CAppSettingsTest, FirstStartGivesDefaultsAndExitWritesThemAll) {
    TempConfigHome env;
    {
        CAppSettings s;
        ExpectDefaults(s);
        EXPECT_FALSE(s.IsLoaded());
        s.LoadSettings();
        EXPECT_TRUE(s.IsLoaded());
        ExpectDefaults(s);
        EXPECT_FALSE(env.SettingsExist()) << "loading writes nothing";
    }
    EXPECT_EQ(StoredNames(), kWriteOrder);
    EXPECT_EQ(env.ReadSettings(), kPrefix + "\"DBPath\"=\"\"\n"
                                            "\"LastActiveVehicle\"=dword:00000000\n"
                                            "\"SortAscending\"=dword:00000001\n"
                                            "\"LastColSorted\"=dword:00000000\n"
                                            "\"ViewEntryType\"=dword:00000000\n"
                                            "\"UnitDistance\"=dword:00000000\n"
                                            "\"UnitVolume\"=dword:00000000\n"
                                            "\"UnitFuelEconomy\"=dword:00000000\n"
                                            "\"UnitSetupMsgShown\"=dword:00000000\n"
                                            "\"MileageRate\"=hex:ec,51,b8,3e\n"
                                            "\"ViewDateRangeType\"=dword:00000000\n\n");
}

TEST(CAppSettingsTest, OnlyAnInstanceThatLoadedWritesAtExit) {
    TempConfigHome env;
    {
        CAppSettings s;
        s.UnitVolume = 2;
    }
    EXPECT_FALSE(env.SettingsExist());
    {
        CAppSettings s;
        s.LoadSettings();
        s.UnitVolume = 2;
        s.DiscardOnExit(); // handed over to the running copy
    }
    EXPECT_FALSE(env.SettingsExist());
}

TEST(CAppSettingsTest, EveryValueRoundTrips) {
    TempConfigHome env;
    {
        CAppSettings s;
        s.LoadSettings();
        s.DBPath = u"/home/me/Mes \"véhicules\"\\Δ 車.dat";
        s.LastActiveVehicle = 0xDEADBEEFu;
        s.SortAscending = 0;
        s.LastColSorted = -1;
        s.ViewEntryType = 4;
        s.ViewDateRangeType = 3;
        s.UnitDistance = 1;
        s.UnitVolume = 2;
        s.UnitFuelEconomy = 3;
        s.UnitSetupMsgShown = 1;
        s.MileageRate = 0.5f;
    }
    CAppSettings s;
    s.LoadSettings();
    EXPECT_EQ(s.DBPath, u"/home/me/Mes \"véhicules\"\\Δ 車.dat");
    EXPECT_EQ(s.LastActiveVehicle, 0xDEADBEEFu);
    EXPECT_EQ(s.SortAscending, 0u);
    EXPECT_EQ(s.LastColSorted, -1);
    EXPECT_EQ(s.ViewEntryType, 4u);
    EXPECT_EQ(s.ViewDateRangeType, 3u);
    EXPECT_EQ(s.UnitDistance, 1u);
    EXPECT_EQ(s.UnitVolume, 2u);
    EXPECT_EQ(s.UnitFuelEconomy, 3u);
    EXPECT_EQ(s.UnitSetupMsgShown, 1u);
    EXPECT_EQ(s.MileageRate, 0.5f);
    EXPECT_EQ(StoredNames(), kWriteOrder);
}

TEST(CAppSettingsTest, ValuesOfTheWrongTypeOrSizeAreIgnored) {
    TempConfigHome env;
    env.WriteSettings(kPrefix + "\"UnitVolume\"=\"2\"\n"
                                "\"UnitDistance\"=hex:01,00,00,00\n"
                                "\"SortAscending\"=hex(4):00,00\n"
                                "\"ViewEntryType\"=dword:00000002\n"
                                "\"MileageRate\"=dword:3f000000\n"
                                "\"DBPath\"=dword:00000001\n");
    CAppSettings s;
    s.DBPath = u"/kept.dat";
    s.LoadSettings();
    EXPECT_EQ(s.UnitVolume, 0u) << "US gallons";
    EXPECT_EQ(s.UnitDistance, 0u);
    EXPECT_EQ(s.SortAscending, 1u);
    EXPECT_EQ(s.ViewEntryType, 2u);
    EXPECT_FLOAT_EQ(s.MileageRate, 0.36f);
    EXPECT_EQ(s.DBPath, u"/kept.dat") << "a path that cannot be read leaves the field";

    // The mileage rate counts only as exactly 4 bytes of binary holding a number.
    const std::pair<std::string, float> rates[] = {
        {"hex:00,00,00,3f", 0.5f},  {"hex:00,00,00,3f,00", 0.36f},
        {"hex:00,00,3f", 0.36f},    {"hex:00,00,c0,7f", 0.36f}, // NaN
        {"hex:00,00,80,7f", 0.36f},                             // infinity
    };
    for (const auto& [stored, expected] : rates) {
        env.WriteSettings(kPrefix + "\"MileageRate\"=" + stored + "\n\"DBPath\"=hex(1):61,00\n");
        CAppSettings r;
        r.DBPath = u"/kept.dat";
        r.LoadSettings();
        EXPECT_FLOAT_EQ(r.MileageRate, expected) << stored;
        EXPECT_EQ(r.DBPath, u"/kept.dat") << "an unterminated path leaves the field";
        r.DiscardOnExit();
    }
    s.DiscardOnExit();
}

TEST(CAppSettingsTest, CustomDateRangeIsNeverWritten) {
    TempConfigHome env;
    {
        CAppSettings s;
        s.LoadSettings();
        s.ViewDateRangeType = 3;
    }
    {
        CAppSettings s;
        s.LoadSettings();
        EXPECT_EQ(s.ViewDateRangeType, 3u);
        s.ViewDateRangeType = 5;
        s.SaveSettings(); // through Options
        s.ViewDateRangeType = 5;
    }
    {
        CAppSettings s;
        s.LoadSettings();
        EXPECT_EQ(s.ViewDateRangeType, 3u) << "the previous preset stays";
        s.DiscardOnExit();
    }
    // With nothing stored before, the next start has all dates.
    std::filesystem::remove(env.SettingsFile());
    {
        CAppSettings s;
        s.LoadSettings();
        s.ViewDateRangeType = 5;
    }
    CAppSettings s;
    s.LoadSettings();
    EXPECT_EQ(s.ViewDateRangeType, 0u);
    s.DiscardOnExit();
}

TEST(CAppSettingsTest, SaveDBPathWritesThePathAlone) {
    TempConfigHome env;
    {
        // A first connection, before any full write.
        CAppSettings s;
        s.DBPath = u"/first.dat";
        s.SaveDBPath();
        EXPECT_EQ(StoredNames(), std::vector<std::string>{"DBPath"});
    }
    env.WriteSettings(kPrefix + "\"DBPath\"=\"/old.dat\"\n"
                                "\"UnitVolume\"=dword:00000002\n"
                                "\"MileageRate\"=hex:00,00,00,3f\n"
                                "\"LastPrice\"=hex:00,00,60,40\n"
                                "\"SomethingElse\"=\"kept\"\n");
    CAppSettings s;
    s.LoadSettings();
    s.UnitVolume = 1; // changed in memory only
    s.DBPath = u"/new.dat";
    s.SaveDBPath();
    s.DiscardOnExit(); // as if the program ended abnormally
    EXPECT_EQ(env.ReadSettings(), kPrefix + "\"DBPath\"=\"/new.dat\"\n"
                                            "\"UnitVolume\"=dword:00000002\n"
                                            "\"MileageRate\"=hex:00,00,00,3f\n"
                                            "\"LastPrice\"=hex:00,00,60,40\n"
                                            "\"SomethingElse\"=\"kept\"\n\n");
}

TEST(CAppSettingsTest, BrokenFileGivesDefaultsAndIsRewrittenWhole) {
    TempConfigHome env;
    const std::string broken[] = {
        "",
        kPrefix + "\"DBPath\"=\"/home/me/My Veh", // cut off in the first value
        kPrefix.substr(0, 40),
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
    };
    for (const std::string& content : broken) {
        env.WriteSettings(content);
        {
            CAppSettings s;
            s.LoadSettings();
            ExpectDefaults(s);
        }
        EXPECT_EQ(StoredNames(), kWriteOrder);
        CAppSettings again;
        again.LoadSettings();
        ExpectDefaults(again);
        again.DiscardOnExit();
    }
    // A cut-off later value keeps the values before it.
    env.WriteSettings(kPrefix +
                      "\"DBPath\"=\"/a.dat\"\n\"UnitVolume\"=dword:00000002\n\"UnitDistance\"=dword:0");
    CAppSettings s;
    s.LoadSettings();
    EXPECT_EQ(s.DBPath, u"/a.dat");
    EXPECT_EQ(s.UnitVolume, 2u);
    EXPECT_EQ(s.UnitDistance, 0u);
    s.DiscardOnExit();
}

TEST(CAppSettingsTest, LongStoredPathIsCutToTheFieldSize) {
    TempConfigHome env;
    std::u16string path = u"/" + std::u16string(300, u'é');
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create());
        key.SetString("DBPath", path);
        ASSERT_TRUE(key.Commit());
    }
    CAppSettings s;
    s.LoadSettings();
    EXPECT_EQ(s.DBPath, path.substr(0, CAppSettings::MaxDBPathLength));

    // Never half of a surrogate pair.
    path = std::u16string(CAppSettings::MaxDBPathLength - 1, u'a') + u"𝄞";
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create());
        key.SetString("DBPath", path);
        ASSERT_TRUE(key.Commit());
    }
    s.LoadSettings();
    EXPECT_EQ(s.DBPath, path.substr(0, CAppSettings::MaxDBPathLength - 1));
    s.DiscardOnExit();
}

TEST(CAppSettingsTest, LastPrice) {
    TempConfigHome env;
    CAppSettings s;
    EXPECT_FALSE(s.ReadLastPrice()) << "no file";
    s.WriteLastPrice(3.5f);
    EXPECT_EQ(s.ReadLastPrice(), 3.5f);
    EXPECT_EQ(env.ReadSettings(), kPrefix + "\"LastPrice\"=hex:00,00,60,40\n\n");

    // A full write keeps it.
    s.LoadSettings();
    s.SaveSettings();
    EXPECT_EQ(s.ReadLastPrice(), 3.5f);
    s.DiscardOnExit();

    for (const char* stored : {"dword:40600000", "hex:00,00,60", "\"3.5\"", "hex:00,00,c0,ff"}) {
        env.WriteSettings(kPrefix + "\"LastPrice\"=" + stored + "\n");
        EXPECT_FALSE(s.ReadLastPrice()) << stored;
    }
}

TEST(CAppSettingsTest, FileIsFoundAtTheTimeOfEachCall) {
    TempConfigHome first;
    CAppSettings s;
    s.LoadSettings();
    s.UnitVolume = 1;
    s.SaveSettings();
    {
        TempConfigHome second; // a later change of the environment is followed
        s.UnitVolume = 2;
        s.SaveSettings();
        CAppSettings r;
        r.LoadSettings();
        EXPECT_EQ(r.UnitVolume, 2u);
        r.DiscardOnExit();
    }
    CAppSettings r;
    r.LoadSettings();
    EXPECT_EQ(r.UnitVolume, 1u);
    r.DiscardOnExit();
    s.DiscardOnExit();
}

} // namespace

TEST(CAppSettingsTest, FirstStartPreselectsTheUnitsOfTheLocale) {
    struct Case {
        QLocale locale;
        DWORD distance, volume, economy;
    };
    const Case cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), 1, 2, 4},
        {QLocale(QLocale::French, QLocale::France), 1, 2, 4},
        {QLocale(QLocale::English, QLocale::UnitedStates), 0, 0, 0},
        {QLocale(QLocale::Spanish, QLocale::UnitedStates), 0, 0, 0},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), 0, 2, 1},
        {QLocale(QLocale::Japanese, QLocale::Japan), 1, 2, 2},
        {QLocale::c(), 0, 0, 0},
    };
    TempConfigHome env;
    const QLocale old;
    for (const Case& c : cases) {
        QLocale::setDefault(c.locale);
        CAppSettings s;
        s.LoadSettings();
        s.DiscardOnExit();
        EXPECT_EQ(s.UnitDistance, c.distance) << c.locale.name().toStdString();
        EXPECT_EQ(s.UnitVolume, c.volume) << c.locale.name().toStdString();
        EXPECT_EQ(s.UnitFuelEconomy, c.economy) << c.locale.name().toStdString();
    }
    // Units the user has chosen stay, wherever the program starts next.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    env.WriteSettings(kPrefix + "\"UnitVolume\"=dword:00000001\n");
    CAppSettings s;
    s.LoadSettings();
    s.DiscardOnExit();
    EXPECT_EQ(s.UnitDistance, 0u);
    EXPECT_EQ(s.UnitVolume, 1u);
    EXPECT_EQ(s.UnitFuelEconomy, 0u);
    QLocale::setDefault(old);
}

TEST(CAppSettingsTest, WindowPlaceAndDialogSizesRoundTripAndDamagedOnesAreIgnored) {
    TempConfigHome env;
    {
        CAppSettings s;
        s.LoadSettings();
        s.MainWindow = CAppSettings::WindowPlacement{-1200, 35, 640, 480, true};
        s.DialogSizes[212] = {500, 300};
        s.DialogSizes[32807] = {640, 720};
    }
    {
        CAppSettings s;
        s.LoadSettings();
        s.DiscardOnExit();
        ASSERT_TRUE(s.MainWindow.has_value());
        EXPECT_EQ(s.MainWindow->Left, -1200);
        EXPECT_EQ(s.MainWindow->Top, 35);
        EXPECT_EQ(s.MainWindow->Width, 640);
        EXPECT_EQ(s.MainWindow->Height, 480);
        EXPECT_TRUE(s.MainWindow->Maximized);
        EXPECT_EQ(s.DialogSizes,
                  (std::map<int, std::pair<LONG, LONG>>{{212, {500, 300}}, {32807, {640, 720}}}));
    }
    env.WriteSettings(kPrefix + "\"WindowLeft\"=dword:00000010\n"
                                "\"WindowTop\"=dword:00000010\n"
                                "\"WindowWidth\"=dword:00000000\n"
                                "\"WindowHeight\"=dword:00000100\n"
                                "\"DialogSize212\"=hex:f4,01,00,00\n"
                                "\"DialogSize213\"=hex:00,00,00,80,2c,01,00,00\n"
                                "\"DialogSizeX\"=hex:f4,01,00,00,2c,01,00,00\n"
                                "\"DialogSize214\"=hex:f4,01,00,00,2c,01,00,00\n");
    CAppSettings s;
    s.LoadSettings();
    s.DiscardOnExit();
    EXPECT_FALSE(s.MainWindow.has_value()) << "no width";
    EXPECT_EQ(s.DialogSizes, (std::map<int, std::pair<LONG, LONG>>{{214, {500, 300}}}));
}
