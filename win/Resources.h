// Resource numbers shared by the resource script and the code that loads the resources.
#pragma once

#define IDI_KOVELINT 1
// Picture slot N of the set is the bitmap IDB_PICTURE_BASE + N.
#define IDB_PICTURE_BASE 100
