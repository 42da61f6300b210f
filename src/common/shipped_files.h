#pragma once

#include <QString>

namespace lumaro {

// Where the files the program ships are read from: the folder of a new program folder's files
// ("home/…"), the bundled draw histories ("draws/…"). A development build embeds them in the
// program (":/home/…"); the package build installs them under /usr/share/lumaro/ and reads them
// from there, so they are not carried twice.
QString ShippedPath(const QString &relative);

} // namespace lumaro
