// Resource ids of the skinned controls' pictures, shared by their resource script and the code.
#pragma once

#define IDB_HEADER_SEPARATOR 209    // between the header items: 2 x 27
#define IDB_HEADER_BACKGROUND 210   // stretched over the whole header: 8 x 27
#define IDB_MENU_IMAGES 400         // images for skinned menus: 10 x 24 each, red is transparent
#define IDB_SCROLL_WINDOW_SKIN 401  // skinned scroll-bar windows: 9 x 3 cells of 16 x 16
