#include "data/program_folder.h"

#include "common/errors.h"
#include "common/shipped_files.h"
#include "data/bundled_draws.h"
#include "data/draw_import.h"
#include "data/lottery_store.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumaro {

namespace {

QString WithTrailingSlash(QString path)
{
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

void MakeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        throw IoError::cannotWrite(path, QStringLiteral("无法创建文件夹"));
}

const QString kWheelsFolder = QStringLiteral("旋转矩阵/");

// The files a new program folder is made from (ShippedPath("home")) are copied out once; a
// file that exists already (perhaps changed by the user) is kept. The shipped wheeling matrices (thousands of
// small files) stay where the program keeps them and are read from there.
bool SameContent(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    return first.readAll() == second.readAll();
}

void CopyShippedFiles(const QString &target)
{
    const QString root = ShippedPath(QStringLiteral("home"));
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(root.size() + 1);
        if (relative.startsWith(kWheelsFolder))
            continue;
        const QString destination = target + relative;
        // The guide belongs to the program, not the user: a newer program brings its own.
        // Everything else the user may have changed stays as it is.
        if (QFileInfo::exists(destination)) {
            if (!relative.startsWith(QStringLiteral("帮助/")) || SameContent(source, destination))
                continue;
            QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner);
            QFile::remove(destination);
        }
        MakeFolder(QFileInfo(destination).absolutePath());
        if (!QFile::copy(source, destination))
            throw IoError::cannotWrite(destination, QStringLiteral("无法复制程序文件"));
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

// The licence of a bundled history goes with the draws: beside the database that stores them
// ("数据库/LICENSE-ssq.txt"). It is the program's text, so an older copy is replaced.
void CopyLicence(const QString &resource, const QString &folder)
{
    const QString destination = folder + QLatin1Char('/') + QFileInfo(resource).fileName();
    if (QFileInfo::exists(destination)) {
        if (SameContent(resource, destination))
            return;
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(destination);
    }
    if (!QFile::copy(resource, destination))
        throw IoError::cannotWrite(destination, QStringLiteral("无法复制程序文件"));
    QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

// Makes the database under a temporary name and renames it into place once it is complete, so
// that a start killed half-way leaves no database rather than a partial one; the next start then
// makes it again.
void CreateDatabase(const QString &path, StartingDraws draws)
{
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
    try {
        LotteryStore::createDatabase(partial, InitialLotteries());
        if (draws == StartingDraws::Bundled) {
            LotteryStore store(partial);
            for (const BundledHistory &history : BundledHistories()) {
                QFile file(history.resource);
                if (!file.open(QIODevice::ReadOnly))
                    throw IoError::cannotRead(history.resource, file.errorString());
                ImportDraws(store, history.lottery, file.readAll());
                if (!history.licence.isEmpty())
                    CopyLicence(history.licence, QFileInfo(path).absolutePath());
            }
            store.close();
        }
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw IoError::cannotWrite(path, QStringLiteral("无法创建数据库"));
    }
}

} // namespace

ProgramFolder::ProgramFolder(const QString &path)
    : m_path(WithTrailingSlash(QDir(path).absolutePath()))
{ }

ProgramFolder ProgramFolder::resolve(const QString &homeOption)
{
    if (!homeOption.isEmpty())
        return ProgramFolder(homeOption);
    const QString env = qEnvironmentVariable("LUMARO_HOME");
    if (!env.isEmpty())
        return ProgramFolder(env);
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return ProgramFolder(dataHome + QStringLiteral("/Lumaro"));
}

void ProgramFolder::ensureCreated(StartingDraws draws) const
{
    MakeFolder(m_path);
    for (const char *sub : {"数据库", "附属", "图片", "帮助", "旋转矩阵"})
        MakeFolder(m_path + QString::fromUtf8(sub));
    CopyShippedFiles(m_path);
    if (!QFileInfo::exists(databaseFile()))
        CreateDatabase(databaseFile(), draws);
}

QString ProgramFolder::wheelMatrixFile(const QString &name) const
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QString();
    const QString own = wheelsFolder() + name;
    if (QFileInfo::exists(own))
        return own;
    if (!m_shippedWheels)
        return QString();
    const QString shipped = ShippedPath(QStringLiteral("home/")) + kWheelsFolder + name;
    return QFileInfo::exists(shipped) ? shipped : QString();
}

QString ShellFolderPath(const QString &valueName)
{
    QStandardPaths::StandardLocation location;
    if (valueName == QLatin1String("Desktop"))
        location = QStandardPaths::DesktopLocation;
    else if (valueName == QLatin1String("Personal") || valueName == QLatin1String("My Documents"))
        location = QStandardPaths::DocumentsLocation;
    else if (valueName == QLatin1String("My Pictures"))
        location = QStandardPaths::PicturesLocation;
    else if (valueName == QLatin1String("My Music"))
        location = QStandardPaths::MusicLocation;
    else
        return QString();
    const QString path = QStandardPaths::writableLocation(location);
    return path;
}

QString DesktopFolder()
{
    return ShellFolderPath(QStringLiteral("Desktop"));
}

} // namespace lumaro
