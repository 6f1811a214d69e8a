#include "widgets/AppIcons.h"

#include "core/ResourceIds.h"

// The resources live in a static library: they must be pulled in by name.
static void InitResources() {
    Q_INIT_RESOURCE(carvelle);
}

QString IconResourcePath(int id) {
    switch (id) {
    case IDI_PROGRAM:
        return QStringLiteral(":/icons/carvelle.svg");
    case IDB_PRODUCT:
        return QStringLiteral(":/icons/product.svg");
    case IDI_REPAIR:
        return QStringLiteral(":/icons/repair.svg");
    case IDI_REMINDER:
        return QStringLiteral(":/icons/reminder.svg");
    case IDI_FUEL:
        return QStringLiteral(":/icons/fuel.svg");
    case IDI_EXPENSE:
        return QStringLiteral(":/icons/expense.svg");
    case IDI_TRIP:
        return QStringLiteral(":/icons/trip.svg");
    case IDI_DROP_ARROW:
        return QStringLiteral(":/icons/droparrow.svg");
    default:
        return QString();
    }
}

QIcon LoadIconResource(int id) {
    static const bool initialised = (InitResources(), true);
    (void)initialised;
    const QString path = IconResourcePath(id);
    return path.isEmpty() ? QIcon() : QIcon(path);
}
