// ImageCanvas in a build without a PNG encoder (the Windows build): the
// picture is drawn as everywhere, but it cannot be saved as PNG.
#include "ImageCanvas.h"

namespace tovrel {

std::string ImageCanvas::EncodePng() const { return {}; }

bool ImageCanvas::SavePng(const std::string&, std::string* error) const {
    if (error) *error = "this build saves no PNG pictures";
    return false;
}

}  // namespace tovrel
