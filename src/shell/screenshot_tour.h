#pragma once

#include <QString>

namespace lumaro {

class Tfrmmain;

// Opens every window of the program on the lotteries of the program folder (七乐彩 for the
// lotto windows, 福彩3D for the digit windows) and saves one picture per window in folder.
// Message boxes are recorded instead of shown while it runs. Returns the number of pictures.
int RunScreenshotTour(Tfrmmain &window, const QString &folder);

} // namespace lumaro
