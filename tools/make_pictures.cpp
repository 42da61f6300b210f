// Draws the program's own pictures: the splash, the main window background and the icon.
// Build and run once: g++ -std=c++20 -fPIC make_pictures.cpp $(pkg-config --cflags --libs Qt6Gui)
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <random>

namespace {

void DrawBalls(QPainter &p, const QRectF &area, int count, unsigned seed, double minR, double maxR, int alpha)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> x(area.left(), area.right()), y(area.top(), area.bottom()), r(minR, maxR);
    const QColor colours[] = {QColor(230, 60, 60), QColor(240, 180, 40), QColor(60, 130, 220), QColor(60, 170, 90)};
    for (int i = 0; i < count; ++i) {
        const QPointF c(x(rng), y(rng));
        const double radius = r(rng);
        QColor base = colours[i % 4];
        QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.2);
        QColor light = base.lighter(160);
        light.setAlpha(alpha);
        base.setAlpha(alpha);
        g.setColorAt(0, light);
        g.setColorAt(1, base);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, radius, radius);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    QImage splash(551, 337, QImage::Format_RGB32);
    {
        QPainter p(&splash);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 551, 337);
        g.setColorAt(0, QColor(20, 40, 90));
        g.setColorAt(1, QColor(90, 20, 40));
        p.fillRect(splash.rect(), g);
        DrawBalls(p, QRectF(440, 30, 90, 280), 9, 7, 12, 26, 220);
        p.setPen(QPen(QColor(255, 255, 255, 60), 1));
        for (int i = 0; i < 12; ++i)
            p.drawLine(0, 250 + i * 8, 551, 230 + i * 8);
    }
    splash.save(out + QStringLiteral("/flash.jpg"), "JPG", 90);

    QImage back(480, 300, QImage::Format_RGB888);
    {
        QPainter p(&back);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 0, 300);
        g.setColorAt(0, QColor(214, 218, 224));
        g.setColorAt(1, QColor(176, 182, 190));
        p.fillRect(back.rect(), g);
        DrawBalls(p, QRectF(0, 0, 480, 300), 40, 11, 4, 14, 40);
    }
    back.save(out + QStringLiteral("/back.bmp"), "BMP");

    QImage icon(256, 256, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
        QLinearGradient g(0, 0, 256, 256);
        g.setColorAt(0, QColor(200, 30, 40));
        g.setColorAt(1, QColor(120, 10, 30));
        p.fillPath(rounded, g);
        const QPointF centres[] = {{88, 96}, {168, 96}, {128, 168}};
        const QColor colours[] = {QColor(250, 200, 60), QColor(255, 255, 255), QColor(90, 160, 240)};
        for (int i = 0; i < 3; ++i) {
            QRadialGradient b(centres[i] - QPointF(12, 12), 52);
            b.setColorAt(0, colours[i].lighter(140));
            b.setColorAt(1, colours[i]);
            p.setBrush(b);
            p.setPen(Qt::NoPen);
            p.drawEllipse(centres[i], 38, 38);
        }
    }
    icon.save(out + QStringLiteral("/lumaro.png"), "PNG");
    return 0;
}
