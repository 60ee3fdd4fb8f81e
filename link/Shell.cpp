#include "Shell.h"

namespace tovrel::shell {

std::string RadioItem(std::string_view group, int index) {
    std::string name(group);
    name += '[';
    name += std::to_string(index);
    name += ']';
    return name;
}

}  // namespace tovrel::shell
