#pragma once
// The picture of the access point's front that the main window shows behind
// its lamps: drawn by the program itself, 318 x 439, with the lamp row near
// the bottom where the lamps of the main window sit.

#include <QImage>
#include <QPoint>

namespace FrontPanel {

constexpr int Width = 318;
constexpr int Height = 439;

// Top-left corners of the four lamps, in picture coordinates.
constexpr QPoint LanLamp{124, 383};
constexpr QPoint Wlan24Lamp{141, 383};
constexpr QPoint Wlan5Lamp{159, 383};
constexpr QPoint PowerLamp{193, 383};

QImage picture();

}  // namespace FrontPanel
