#pragma once

#include <string>
#include <utility>

namespace formats {

// The images an XPS page may paint: PNG and JPEG. XPS readers size an image by its resolution
// (an image of 96 pixels per inch is as many units wide as it has pixels), so every image is
// stamped with 96 pixels per inch and the page states the size it is drawn at.
struct XpsImage {
    // The image with its resolution set to 96 pixels per inch, and "png" or "jpg"; empty for
    // bytes that are neither a PNG nor a JPEG.
    static std::string prepare(const std::string& bytes, std::string& extension);
    // An SVG luminance mask as an image whose alpha channel carries the luminance, which is what
    // an XPS opacity mask reads; empty for anything but a PNG.
    static std::string luminanceToAlpha(const std::string& png);
    // Width and height in pixels; {0, 0} when unknown.
    static std::pair<int, int> pixelSize(const std::string& bytes);
};

}
