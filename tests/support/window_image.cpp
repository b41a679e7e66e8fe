// Reading a window's pixels with xwd and naming what they show.
#include "support/window_image.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/game_process.h"

const char* const barrel = "backdrop cannon cannon backdrop";

std::string window_image(const std::string& window)
{
    // A file of its own, as the pipe's bytes are binary.
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/marbloom-window-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) {
        throw std::runtime_error("no temporary file for the window's image");
    }
    close(fd);
    std::string output;
    const int status =
        run_command("xwd -silent -id " + window + " | xwdtopnm >" + path + " 2>/dev/null", output);
    std::ifstream in(path, std::ios::binary);
    std::string image(std::istreambuf_iterator<char>(in), {});
    std::remove(path.c_str());
    if (status != 0) {
        throw std::runtime_error("xwd could not read window " + window);
    }
    return image;
}

namespace {

// A binary PPM's pixel, whatever its size ("P6\nW H\n255\n", as xwdtopnm and the web driver write).
const unsigned char* rgb(const std::string& image, int x, int y)
{
    int width = 0;
    int height = 0;
    int end = 0;
    if (std::sscanf(image.c_str(), "P6 %d %d 255%n", &width, &height, &end) != 2 || end == 0 || x < 0 ||
        y < 0 || x >= width || y >= height) {
        throw std::out_of_range("no pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") in the image");
    }
    const std::size_t header = static_cast<std::size_t>(end) + 1;
    return reinterpret_cast<const unsigned char*>(
        &image.at(header + (static_cast<std::size_t>(y) * width + x) * 3));
}

}  // namespace

int grey(const std::string& image, int x, int y)
{
    const unsigned char* p = rgb(image, x, y);
    return p[0] == p[1] && p[1] == p[2] ? p[0] : -1;
}

std::string pixel(const std::string& image, int x, int y)
{
    const unsigned char* p = rgb(image, x, y);
    const int level = grey(image, x, y);
    if (level >= 150 && level <= 235) {
        return "backdrop";
    }
    if (level >= 7 && level <= 17) {
        return "cannon";
    }
    if (p[0] >= 140 && p[1] <= 90 && p[2] <= 90) {
        return "projectile";
    }
    return "rgb(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) + ")";
}

std::string across_barrel(const std::string& image, int centre)
{
    return pixel(image, centre - 14, 542) + " " + pixel(image, centre - 11, 542) + " " +
           pixel(image, centre + 10, 542) + " " + pixel(image, centre + 13, 542);
}
