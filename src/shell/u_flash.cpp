#include "shell/u_flash.h"

#include "data/program_folder.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace lumaro {

namespace {

QStringList ReadLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

Tfrmflash::Tfrmflash(const ProgramFolder &folder, QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_picture(folder.picturesFolder() + QStringLiteral("flash.jpg"))
    , m_lines(ReadLines(folder.auxiliaryFolder() + QStringLiteral("flash.txt")))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmflash"));
    setFixedSize(551, 337);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (m_lines.isEmpty())
        m_lines << QStringLiteral("适用：福彩36选7 体彩22选5  体彩11选5 七乐彩");
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (++m_ticks >= 5) {
            m_timer->stop();
            accept();
        }
    });
    m_timer->start();
}

void Tfrmflash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (m_picture.isNull())
        p.fillRect(rect(), QColor(30, 40, 80));
    else
        p.drawPixmap(rect(), m_picture);

    QFont title(QStringLiteral("隶书"));
    title.setFamilies({QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("Noto Serif CJK SC"),
        QStringLiteral("Noto Sans CJK SC")});
    title.setPixelSize(44);
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    p.setPen(QColor(230, 30, 30));
    p.drawText(QRect(102, 72, 420, 60), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Lumaro"));

    QFont line;
    line.setPixelSize(13);
    line.setBold(true);
    line.setItalic(true);
    p.setFont(line);
    p.setPen(QColor(255, 230, 0));
    int y = 150;
    for (const QString &text : m_lines) {
        p.drawText(QRect(102, y, 440, 20), Qt::AlignLeft | Qt::AlignVCenter, text.trimmed());
        y += 22;
    }
}

void Tfrmflash::mousePressEvent(QMouseEvent *)
{
    m_timer->stop();
    accept();
}

} // namespace lumaro
