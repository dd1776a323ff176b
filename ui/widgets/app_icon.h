#pragma once
#include <QIcon>

// The application's icon, drawn at the sizes window managers ask for: a rising line over three bars.
QIcon AppIcon();
