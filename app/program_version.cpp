#include "app/program_version.h"

#include <windows.h>

em_utility::file_version RunningProgramVersion() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return em_utility::file_version();
  return em_utility::get_file_version(path);
}
