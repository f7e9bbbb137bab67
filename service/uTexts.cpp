#include "uTexts.h"

#include "CodePage.h"

namespace pavix::texts {

std::string System(std::string_view text) { return platform::Utf8ToSystem(text); }

}  // namespace pavix::texts
