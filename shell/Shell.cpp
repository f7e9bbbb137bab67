#include "Shell.h"

#include <exception>
#include <new>

namespace pavix {

bool RunUiAction(IShell& shell, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::bad_alloc&) {
    throw;  // nothing sound can be shown once memory is gone
  } catch (const std::exception& error) {
    shell.ShowError(error.what());
    return false;
  }
}

}  // namespace pavix
