// The preview in X11: a child window of the given id at its top-left corner, painted with the
// picture whenever it is exposed.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>

#include "platform/preview_window.h"
#include "platform/x11/server_loss.h"

namespace hg::platform {

namespace {

// Xlib's default error handler ends the process. An id that names no window (BadWindow), or a
// parent that goes away while we draw, must not: errors are noted and the caller decides.
bool xErrorSeen = false;
int noteXError(Display*, XErrorEvent*) {
    xErrorSeen = true;
    return 0;
}

// The lowest bit set in a colour mask and the mask's width, for packing TrueColor pixels.
int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++shift;
    return shift;
}
int bitsOf(unsigned long mask) {
    mask >>= shiftOf(mask);
    int bits = 0;
    while (mask & 1) mask >>= 1, ++bits;
    return bits;
}
unsigned long pack(uint8_t value, unsigned long mask) {
    const int bits = bitsOf(mask);
    const unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : static_cast<unsigned long>(value) >> (8 - bits);
    return (scaled << shiftOf(mask)) & mask;
}

class X11Preview : public PreviewWindow {
public:
    X11Preview(Display* display, Window window, XImage* image, Atom deleteWindow)
        : display_(display), window_(window), image_(image), deleteWindow_(deleteWindow) {}

    ~X11Preview() override {
        if (!gone_) XDestroyWindow(display_, window_);
        XDestroyImage(image_);  // frees the pixel block too
        XSync(display_, False);
        XCloseDisplay(display_);
    }

    bool pump() override {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            switch (event.type) {
                case Expose:
                    if (event.xexpose.count == 0) paint();
                    break;
                case ClientMessage:
                    if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) open_ = false;
                    break;
                case DestroyNotify:
                    // The parent went, and our window with it: nothing is left to show.
                    if (event.xdestroywindow.window == window_) gone_ = true, open_ = false;
                    break;
                default: break;
            }
        }
        return open_;
    }

private:
    void paint() {
        GC gc = XCreateGC(display_, window_, 0, nullptr);
        XPutImage(display_, window_, gc, image_, 0, 0, 0, 0, image_->width, image_->height);
        XFreeGC(display_, gc);
        XFlush(display_);
    }

    Display* display_;
    Window window_;
    XImage* image_;
    Atom deleteWindow_;
    bool open_ = true;
    bool gone_ = false;
};

}  // namespace

std::unique_ptr<PreviewWindow> openPreviewWindow(uint64_t parent, const Image& picture) {
    if (parent == 0 || picture.components != 3 || picture.width <= 0 || picture.height <= 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    XSetErrorHandler(noteXError);
    x11::endProcessWhenServerGoes();

    XWindowAttributes attributes{};
    xErrorSeen = false;
    const Status found = XGetWindowAttributes(display, static_cast<Window>(parent), &attributes);
    XSync(display, False);
    XVisualInfo wanted{};
    wanted.visualid = found ? XVisualIDFromVisual(attributes.visual) : 0;
    int count = 0;
    XVisualInfo* visual = found && !xErrorSeen ? XGetVisualInfo(display, VisualIDMask, &wanted, &count) : nullptr;
    if (!visual || count < 1 || visual->c_class != TrueColor) {
        if (visual) XFree(visual);
        XCloseDisplay(display);
        return nullptr;
    }

    // The picture in the parent's own pixel format.
    XImage* image = XCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height), 32, 0);
    if (!image) {
        XFree(visual);
        XCloseDisplay(display);
        return nullptr;
    }
    image->data = static_cast<char*>(std::calloc(static_cast<size_t>(image->bytes_per_line) * picture.height, 1));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.pixels.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
            XPutPixel(image, x, y, pack(p[0], visual->red_mask) | pack(p[1], visual->green_mask) | pack(p[2], visual->blue_mask));
        }
    }
    XFree(visual);

    XSetWindowAttributes settings{};
    settings.colormap = attributes.colormap;
    settings.border_pixel = 0;
    settings.background_pixel = 0;
    settings.event_mask = ExposureMask | StructureNotifyMask;
    xErrorSeen = false;
    const Window window = XCreateWindow(display, static_cast<Window>(parent), 0, 0, static_cast<unsigned>(picture.width),
                                        static_cast<unsigned>(picture.height), 0, attributes.depth, InputOutput, attributes.visual,
                                        CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &settings);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XMapRaised(display, window);
    XSync(display, False);
    if (xErrorSeen) {
        XDestroyImage(image);
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11Preview>(display, window, image, deleteWindow);
}

}  // namespace hg::platform
