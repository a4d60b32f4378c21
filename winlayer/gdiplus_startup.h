// GDI+ for the whole process: started by the first caller on any thread and deliberately never
// shut down. Worker threads may still load or draw pictures while the program ends, and a
// GDI+ shut down under them would crash; the process exit releases what it holds.
#pragma once

// True once GDI+ runs; false when it could not be started (every later call says the same).
bool EnsureGdiplusStarted();
