#pragma once

#include <QString>

namespace lumaro {

// Whether a new database starts with the draw histories bundled with the program (what users
// get) or with every lottery empty (what most tests want).
enum class StartingDraws { Bundled, None };

// The program folder: where the database, the auxiliary files, pictures, help and wheeling
// matrices live. Every path inside it uses "/" and the folder itself ends with "/".
class ProgramFolder {
public:
    ProgramFolder() = default;
    explicit ProgramFolder(const QString &path);

    // --home DIR if given, else $LUMARO_HOME, else $XDG_DATA_HOME/Lumaro/ (~/.local/share/Lumaro/).
    static ProgramFolder resolve(const QString &homeOption = QString());

    // Creates the folder on first use: the sub-folders, the files shipped with the program
    // (never overwriting one the user has) and a new database with the built-in lotteries and,
    // unless told otherwise, the bundled draw histories (with the licence a history comes under
    // beside the database, 数据库/LICENSE-ssq.txt). An existing database is never touched.
    void ensureCreated(StartingDraws draws = StartingDraws::Bundled) const;

    const QString &path() const { return m_path; }
    QString file(const QString &relative) const { return m_path + relative; }
    QString databaseFile() const { return m_path + QStringLiteral("数据库/彩票数据.db"); }
    QString auxiliaryFolder() const { return m_path + QStringLiteral("附属/"); }
    QString picturesFolder() const { return m_path + QStringLiteral("图片/"); }
    QString helpFolder() const { return m_path + QStringLiteral("帮助/"); }
    QString wheelsFolder() const { return m_path + QStringLiteral("旋转矩阵/"); }
    // Where a wheeling matrix of that file name is read from: the program folder's 旋转矩阵/
    // (matrices the user added or had computed), else the set shipped inside the program.
    // Empty when neither has it.
    QString wheelMatrixFile(const QString &name) const;
    // Whether wheelMatrixFile() falls back to the shipped set; a folder that does not sees only
    // the matrices in its own 旋转矩阵/ (how the computation of a missing matrix is tried out).
    void setShippedWheelsUsed(bool used) { m_shippedWheels = used; }
    bool isEmpty() const { return m_path.isEmpty(); }

private:
    QString m_path;
    bool m_shippedWheels = true;
};

// The named shell folder of the user ("Desktop", "Personal", "My Documents" …), or an empty
// text when it is not known.
QString ShellFolderPath(const QString &valueName);
// ShellFolderPath("Desktop"): where ticket-file dialogs start.
QString DesktopFolder();

} // namespace lumaro
