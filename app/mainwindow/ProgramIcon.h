#pragma once
// The program's icon (window and notification area): an orange key cap on a dark tile,
// drawn at a few sizes so it stays crisp wherever the desktop shows it.

#include <QIcon>

QIcon programIcon();
