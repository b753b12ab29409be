#include "app/preview.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "core/log.h"
#include "core/run_mode.h"
#include "archive/file_system.h"
#include "image/tga_decoder.h"
#include "platform/platform.h"
#include "platform/preview_window.h"

namespace hg {

void flipRows(Image& image) {
    const size_t row = static_cast<size_t>(image.width) * static_cast<size_t>(image.components);
    if (row == 0 || image.pixels.size() < row * static_cast<size_t>(image.height)) return;
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.pixels.begin() + static_cast<std::ptrdiff_t>(row * top),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(row * (top + 1)),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(row * bottom));
}

namespace {

// The baked picture as RGB, top row first; a dark grey card when it is missing or damaged, so the
// preview area still shows that the saver answered.
Image previewPicture(const FileSystem& files) {
    if (auto bytes = files.get(kPreviewPicture)) {
        if (auto image = decodeTga(*bytes)) {
            flipRows(*image);
            if (image->components == 3) return *image;
            Image rgb{image->width, image->height, 3, {}};
            rgb.pixels.reserve(static_cast<size_t>(image->width) * image->height * 3);
            for (size_t i = 0; i + 3 < image->pixels.size(); i += 4)
                rgb.pixels.insert(rgb.pixels.end(), image->pixels.begin() + static_cast<std::ptrdiff_t>(i),
                                  image->pixels.begin() + static_cast<std::ptrdiff_t>(i + 3));
            return rgb;
        }
    }
    Image card{160, 120, 3, {}};
    card.pixels.assign(160 * 120 * 3, 0x20);
    return card;
}

}  // namespace

int runPreview(uint64_t parentWindow, const FileSystem& files, Log& log) {
    platform::installQuitSignals();
    log.writeLine(std::to_string(parentWindow));
    const Image picture = previewPicture(files);
    auto window = platform::openPreviewWindow(parentWindow, picture);
    log.writeLine("Creating window...");
    if (!window) {
        log.writeLine("Create Window failed!");
        setRunMode(RunMode::Quit);
        return 1;
    }
    log.writeLine("Window is create");
    log.writeLine("OpenGL initialized");
    while (runMode() == RunMode::Preview) {
        if (!window->pump()) setRunMode(RunMode::Quit);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}

}  // namespace hg
