#pragma once

// The cipher module is exported by name from the program's own executable (there is no separate
// DLL). Marked classes keep their members in the export table only when their objects are linked
// whole: see `cipher_objects` in cipher/CMakeLists.txt.
#define ENCRYPT_MODULE_API __declspec(dllexport)
