// Turns the screenshot tour's pictures into the help's pictures: at most 800 pixels wide and
// with a 256-colour palette, so that the whole guide stays small enough to ship inside the
// program.
//   lumaro --home HOME --screenshots /tmp/tour
//   g++ -std=c++20 -fPIC help_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o help-pictures
//   ./help-pictures /tmp/tour resources/home/帮助/图片
#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: help-pictures TOUR_FOLDER HELP_PICTURES_FOLDER\n", stderr);
        return 2;
    }
    const QDir from(QString::fromLocal8Bit(argv[1]));
    const QString to = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(to);
    int written = 0;
    for (const QString &name : from.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        QImage image(from.filePath(name));
        if (image.isNull())
            continue;
        if (image.width() > 800)
            image = image.scaledToWidth(800, Qt::SmoothTransformation);
        image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AutoColor);
        if (image.save(to + QLatin1Char('/') + name, "PNG", 0))
            ++written;
    }
    std::printf("%d pictures\n", written);
    return written > 0 ? 0 : 1;
}
