#pragma once
// Preview mode: the preview picture in the window the command line names, until a close request
// or a quit signal. No OpenGL, no loading beyond the one picture, no sound.
#include <cstdint>

#include "core/image.h"

namespace hg {

class FileSystem;
class Log;

// The picture the preview shows, a small painting of the room baked with the content.
inline constexpr const char* kPreviewPicture = "Notification/preview.tga";

// Returns the exit code: 1 when the picture could not be placed, 0 after a close or a quit.
int runPreview(uint64_t parentWindow, const FileSystem& files, Log& log);

// Turns the picture upside down (TGA rows come bottom first, screens want the top first).
void flipRows(Image& image);

}  // namespace hg
