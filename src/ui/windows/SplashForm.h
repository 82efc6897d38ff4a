#pragma once

#include <QtGlobal>

#include <functional>

class TForm;
class TImage;

// The splash: a borderless window with the disc's logo, optionally cut to the logo's shape, and the
// disc author's details over its lower left corner. Shown while the main window is built; start-up
// closes it once every window exists.

// The splash window ("SplashF") while it is up, else nullptr. Owned by this unit until CloseSplash.
extern TForm* SplashForm;
// The picture on it, a 24-bit bitmap of the logo.
extern TImage* SplashImage;

// How the splash is held on screen: called with the hold time in milliseconds, returns when it has
// passed. The default waits on a timer, repainting the splash but taking no user input.
using TSplashHold = std::function<void(qint64 Milliseconds)>;
// Replaces the hold (tests); an empty function restores the default.
void SetSplashHold(TSplashHold Hold);

// Chooses the splash picture: the project's own when it names one that exists, otherwise the skin's
// ([Path] Images in the "Shell" folder). [Images] Splash becomes the full path chosen.
void ChooseSplashPicture();

// The main window's decision right after the project is loaded: chooses the picture, then shows the
// splash when the start flags ask for it, the project's ShowTime is positive and the picture exists.
// Otherwise (and when the picture cannot be decoded) the ShowSplash start flag is removed, so start-up
// has nothing to close. Returns whether the splash is up.
bool DecideAndShowSplash();

// Builds the splash from [Images] Splash, the design settings and the project's creator, applies
// "controls.ini" to it, shows it centred without activating it and holds it for ShowTime seconds.
// Returns with the window still visible; false, with no window, when the picture cannot be read.
bool ShowSplashWindow(quint16 ShowTime);

// Closes and frees the splash; nothing happens when none is up.
void CloseSplash();
