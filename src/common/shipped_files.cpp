#include "common/shipped_files.h"

namespace lumaro {

QString ShippedPath(const QString &relative)
{
#ifdef LUMARO_SHARED_DATA_DIR
    return QString::fromUtf8(LUMARO_SHARED_DATA_DIR) + QLatin1Char('/') + relative;
#else
    return QStringLiteral(":/") + relative;
#endif
}

} // namespace lumaro
