// Stores a vehicle in a copy of the template and reads it back through an installed Dorvane.
// Usage: dorvane_consumer DATAFILE
#include <dorvane/Dorvane.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATAFILE\n", argv[0]);
        return 2;
    }
    CDataLayer data;
    const std::u16string path = Utf8ToWide(argv[1]);
    if (data.Connect(path.c_str()) != CDataLayer::ConnectOK) {
        std::fprintf(stderr, "cannot connect to %s\n", argv[1]);
        return 1;
    }
    std::unique_ptr<CVehicle> vehicle(new CVehicle);
    vehicle->SetName(u"Wagon");
    vehicle->SetYear(2004);
    if (!data.Save(vehicle.get(), 0)) {
        std::fprintf(stderr, "save failed\n");
        return 1;
    }
    CObjectListT<CVehicle> vehicles;
    if (!data.Load(vehicles) || vehicles.GetCount() != 1 ||
        WideCompare(vehicles.Get(0)->GetName(), u"Wagon") != 0) {
        std::fprintf(stderr, "load failed\n");
        return 1;
    }
    std::printf("consumer: stored and read back \"%s (%d)\" with SQLite %s\n",
                WideToUtf8(vehicles.Get(0)->GetName()).c_str(), vehicles.Get(0)->GetYear(),
                data.GetDBLibVersion());
    return 0;
}
