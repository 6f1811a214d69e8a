#include "widgets/AppIcons.h"

#include "core/ResourceIds.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(AppIcons, EveryIconRendersSomethingAtListSizes) {
    for (int id : {IDI_PROGRAM, IDB_PRODUCT, IDI_REPAIR, IDI_REMINDER, IDI_FUEL, IDI_EXPENSE, IDI_TRIP,
                   IDI_DROP_ARROW, IDI_CHARTS}) {
        const QIcon icon = LoadIconResource(id);
        ASSERT_FALSE(icon.isNull()) << id;
        for (int size : {16, 32}) {
            const QImage image = icon.pixmap(size, size).toImage();
            ASSERT_FALSE(image.isNull()) << id;
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    opaque += image.pixelColor(x, y).alpha() > 128 ? 1 : 0;
                }
            }
            EXPECT_GT(opaque, 4) << "icon " << id << " at " << size;
        }
    }
    EXPECT_TRUE(LoadIconResource(4242).isNull());
}

TEST(AppIcons, OutlinesAndArrowsTakeTheInkOfThePalette) {
    const QPalette old = QGuiApplication::palette();
    for (const QColor ink : {QColor(Qt::black), QColor(Qt::white)}) {
        QPalette palette = old;
        palette.setColor(QPalette::WindowText, ink);
        QGuiApplication::setPalette(palette);
        const QImage arrow = LoadIconResource(IDI_DROP_ARROW).pixmap(16, 16).toImage();
        // The arrow's middle, at the top of the triangle.
        EXPECT_EQ(arrow.pixelColor(3, 7).rgb(), ink.rgb()) << ink.name().toStdString();
    }
    QGuiApplication::setPalette(old);
}
