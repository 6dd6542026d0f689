#ifndef TESSIVO_CLI_PRIVATEDISPLAY_H
#define TESSIVO_CLI_PRIVATEDISPLAY_H

#include "Failure.h"

#include <string>
#include <sys/types.h>

// A virtual X display of the process's own: an Xvfb server on a display
// number the server picks itself (-displayfd), so that two runs never race
// for one. The facade view is a QGLWidget and needs a GL context: Qt's
// offscreen platform has none without an X display (the view crashes) and,
// with one, draws into a drawable of the wrong size; Qt 5's EGL platforms
// (minimalegl, eglfs) find no window surface or frame buffer on Mesa's
// surfaceless EGL. The xcb platform on Xvfb with Mesa is where the tests
// compare the view's pixels, and gives the same pixels here. Nothing is shown
// on the user's screen. The server stops with the object, and with the
// process if that dies first.
class PrivateDisplay
{
public:
    PrivateDisplay() = default;
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay &) = delete;
    PrivateDisplay &operator=(const PrivateDisplay &) = delete;

    // Starts the server with one screen of the given size (24-bit colour)
    // and points DISPLAY at it. Fails when Xvfb is not installed or does not
    // come up within a few seconds.
    bool start(int width, int height, Failure *failure = nullptr);

    // ":<number>" once started.
    const std::string &name() const { return m_name; }

private:
    void stop();

    pid_t m_server = -1;
    std::string m_name;
};

#endif
