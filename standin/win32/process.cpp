#include "standin/process.h"

#include "win32/module_table.h"

namespace win32 {

Process& CurrentProcess() {
  static Process process;
  return process;
}

void ResetProcess() {
  CurrentProcess() = Process{};
  ClearPseudoModulesAndFileNames();
}

}  // namespace win32
