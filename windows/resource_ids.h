#pragma once

// The IDs of the program's resources, shared by cronalba.rc.in and the code. A plain #define,
// which the resource compiler reads too.

// The icon that Explorer, the title bar and the task bar show.
#define CRONALBA_ICON 1
