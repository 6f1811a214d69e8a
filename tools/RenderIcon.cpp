// Build tool: renders an SVG icon into square PNGs of the sizes the icon theme wants, so the
// package needs no SVG converter. Usage: render_icon SVG SIZE:OUTPUT...
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SVG SIZE:OUTPUT...\n", argv[0]);
        return 2;
    }
    QSvgRenderer renderer{QString::fromLocal8Bit(argv[1])};
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const qsizetype colon = argument.indexOf(u':');
        bool number = false;
        const int size = colon > 0 ? argument.left(colon).toInt(&number) : 0;
        if (!number || size <= 0 || size > 1024) {
            std::fprintf(stderr, "bad size in %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter);
        }
        const QString output = argument.mid(colon + 1);
        if (!image.save(output, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
            return 1;
        }
    }
    return 0;
}
