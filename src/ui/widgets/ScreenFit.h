// Windows that fit the screen they are on: a design size is kept where the
// screen has room for it and shrinks to the screen's available area (less
// the window's frame) where it has not, and a window is placed so that its
// frame, title and menu bar lie on that area. At 200 % scaling a 1920 × 1080
// screen has 960 × 540 logical pixels, less than the main window's design.
//
// Used by the main window for its least size and its geometry, whenever it
// is shown or its screen changes.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

// `design`, each side bounded by what the available area leaves inside the
// frame (never below one pixel).
QSize FitClientSize(const QSize &design, const QRect &available, const QMargins &frame);

// The client geometry for a window that asks for `wanted`: its size bounded
// as by FitClientSize, and placed so that its frame lies on the available
// area: centred on it when `centre`, else moved in only as far as needed.
QRect FitClientGeometry(const QRect &wanted, const QRect &available, const QMargins &frame, bool centre);
