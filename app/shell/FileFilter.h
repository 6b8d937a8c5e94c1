#pragma once
// File-type filters given as "description|patterns|description|patterns||" (patterns
// separated by ';'), turned into the name filter Qt's file dialog reads.

#include <QString>

// "pro(*.pro)|*.pro|All Files(*.*)|*.*||" gives "pro (*.pro);;All Files (*)". A description's
// own trailing "(...)" is replaced by the patterns, "*.*" (any file) becomes "*", a
// description without patterns is dropped, and an empty filter gives an empty string.
QString qtFileFilter(const QString& pairs);
