#include "support/test_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace lumaro::test {

TestHome::TestHome()
    : m_folder(m_dir.path() + QStringLiteral("/home"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    m_folder.ensureCreated(StartingDraws::None);
    m_store = std::make_unique<LotteryStore>(m_folder.databaseFile());
}

QString HistoryFile(const QString &name)
{
    const QString path = QStringLiteral(LUMARO_HISTORIES "/") + name;
    if (!QFileInfo::exists(path))
        throw std::runtime_error(QString(QStringLiteral("missing draw history ") + path).toStdString());
    return path;
}

QString TestDataFile(const QString &name)
{
    return QStringLiteral(LUMARO_TEST_DATA "/") + name;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QString(QStringLiteral("cannot read ") + path).toStdString());
    return file.readAll();
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(QString(QStringLiteral("cannot write ") + path).toStdString());
    file.write(content);
}

} // namespace lumaro::test
