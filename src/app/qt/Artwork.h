#pragma once
// The program's own pictures, painted at run time: the program icon, the command-bar and
// bar-switch button icons, and the splash picture.

#include <QIcon>
#include <QPixmap>

namespace tonewell {

QIcon ProgramIcon();
// The icon of a command-bar or bar-switch command; a null icon for other commands.
QIcon CommandIcon(int commandId);
// The splash box's picture.
QPixmap SplashPicture();

}  // namespace tonewell
