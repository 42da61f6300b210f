#pragma once

#include <QString>
#include <QUrl>

namespace lumaro {

class ProgramFolder;

// Web addresses of the program, from 附属/站点.ini. A host that is not configured is empty.
QString ConfiguredHost(const ProgramFolder &folder, const QString &key);
// host + path, or an empty URL when the host is not configured.
QUrl SiteUrl(const ProgramFolder &folder, const QString &key, const QString &path = QString());

} // namespace lumaro
