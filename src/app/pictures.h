#pragma once

// The program's own pictures, drawn in code: the three banners of the main
// window, the pictures of the information windows and the window icon.

#include <QIcon>
#include <QPixmap>

namespace kvx::app {

// Banner sizes in pixels, as the main window lays them out.
inline constexpr QSize kPicture1Size{132, 32};
inline constexpr QSize kPicture2Size{192, 32};
inline constexpr QSize kPicture3Size{164, 32};

// The program's mark: a ceiling loudspeaker and "KVX".
QPixmap picture1();
// A row of ceiling loudspeakers and their overlapping sound cones.
QPixmap picture2();
// The level along the floor: peaks below the loudspeakers, dips between,
// and the difference level that the slider sets.
QPixmap picture3();

// A ceiling loudspeaker seen from below, at any size.
QPixmap speakerPicture(int size);
// The sizes the window icon is drawn in; the installed icon theme files too.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QIcon programIcon();

} // namespace kvx::app
