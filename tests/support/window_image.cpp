// Reading a window's pixels with xwd and naming what they show.
#include "support/window_image.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

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

Rgb rgb_at(const std::string& image, int x, int y)
{
    int w = 0;
    int h = 0;
    int end = 0;
    if (std::sscanf(image.c_str(), "P6 %d %d 255%n", &w, &h, &end) != 2 || end == 0 || x < 0 || y < 0 ||
        x >= w || y >= h) {
        throw std::out_of_range("no pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") in the image");
    }
    const auto* p = reinterpret_cast<const unsigned char*>(
        &image.at(static_cast<std::size_t>(end) + 1 + (static_cast<std::size_t>(y) * w + x) * 3));
    return {p[0], p[1], p[2]};
}

std::string ppm_image(int columns, int rows, const std::string& rgb)
{
    return "P6\n" + std::to_string(columns) + " " + std::to_string(rows) + "\n255\n" + rgb;
}

bool is_projectile_red(Rgb c) { return c.r >= 140 && c.g <= 90 && c.b <= 90; }

namespace {

// The frames that the comparisons read: an 800 x 600 window's.
constexpr int width = 800;
constexpr int height = 600;

// Whether every channel of the two differs by no more than `share` of the full range.
bool within(Rgb a, Rgb b, double share)
{
    return std::abs(a.r - b.r) <= share * 255 && std::abs(a.g - b.g) <= share * 255 &&
           std::abs(a.b - b.b) <= share * 255;
}

// Whether any pixel of `marks` lies within `reach` pixels along x (step 1) or y (step width).
std::vector<char> spread(const std::vector<char>& marks, int reach, int step, int count)
{
    std::vector<char> near(marks.size(), 0);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const int at = static_cast<int>(i / static_cast<std::size_t>(step)) % count;
        for (int d = -reach; d <= reach && !near[i]; ++d) {
            near[i] = at + d >= 0 && at + d < count && marks[i + static_cast<std::size_t>(d * step)];
        }
    }
    return near;
}

}  // namespace

int grey(const std::string& image, int x, int y)
{
    const Rgb p = rgb_at(image, x, y);
    return p.r == p.g && p.g == p.b ? p.r : -1;
}

std::string pixel(const std::string& image, int x, int y)
{
    const Rgb p = rgb_at(image, x, y);
    const int level = grey(image, x, y);
    if (level >= 150 && level <= 235) {
        return "backdrop";
    }
    if (level >= 7 && level <= 17) {
        return "cannon";
    }
    if (is_projectile_red(p)) {
        return "projectile";
    }
    return "rgb(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

std::string across_barrel(const std::string& image, int centre)
{
    return pixel(image, centre - 14, 542) + " " + pixel(image, centre - 11, 542) + " " +
           pixel(image, centre + 10, 542) + " " + pixel(image, centre + 13, 542);
}

FrameAgreement frame_agreement(const std::string& expected, const std::string& actual)
{
    std::vector<char> shows(width * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            shows[y * width + x] = pixel(expected, x, y) != "backdrop" || pixel(actual, x, y) != "backdrop";
        }
    }
    const std::vector<char> near = spread(spread(shows, 8, 1, width), 8, width, height);
    int agreeing = 0, shown = 0, shown_agreeing = 0, flawed = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb e = rgb_at(expected, x, y);
            const Rgb a = rgb_at(actual, x, y);
            const bool agrees = within(e, a, 0.03);
            agreeing += agrees;
            shown += near[y * width + x];
            shown_agreeing += agrees && near[y * width + x];
            if (x == 0 || y == 0 || x + 1 == width || y + 1 == height || within(e, a, 1.0 / 8)) {
                continue;
            }
            int backdrop = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    backdrop += pixel(expected, x + dx, y + dy) == "backdrop";
                }
            }
            flawed += backdrop == 0 || backdrop == 9;
        }
    }
    return {static_cast<double>(agreeing) / (width * height),
            shown == 0 ? 1.0 : static_cast<double>(shown_agreeing) / shown, flawed};
}

std::string frame_difference(const std::string& expected, const std::string& actual)
{
    std::string image;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb e = rgb_at(expected, x, y);
            const char faded = static_cast<char>(128 + (e.r + e.g + e.b) / 6);
            const bool agrees = within(e, rgb_at(actual, x, y), 0.03);
            image += agrees ? std::string(3, faded) : std::string("\xff\0\0", 3);
        }
    }
    return ppm_image(width, height, image);
}
