#pragma once

#include <string>
#include <string_view>

namespace foldwise {

// Full Unicode lowercase mapping, independent of the user's locale. Text that is not valid
// UTF-8 is returned with its bytes unchanged.
std::string lowercased(std::string_view text);

} // namespace foldwise
