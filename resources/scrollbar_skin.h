// Resource id of the scroll-bar skin, shared by the resource script and the code.
#pragma once

#define IDB_SCROLLBAR_SKIN 231
