#pragma once

#include <QIcon>
#include <QPixmap>

// The application icon: a counting chamber with an alpha track, drawn at run time so every size
// is sharp. Needs a running QGuiApplication.
namespace nivra::res {

QPixmap appIconPixmap(int size);

// The icon in the sizes the window system asks for (16, 24, 32, 48 and 64 pixels).
QIcon appIcon();

} // namespace nivra::res
