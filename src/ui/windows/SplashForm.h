#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class TForm;
class TImage;
class TVeltraneProject;
struct IniFileStruct;

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

// The picture the splash shows, as a full path: the project's own when it names one that exists,
// otherwise the skin's ([Images] Splash in [Path] Images of the "Shell" folder). Changes nothing, so
// asking twice gives the same answer.
QString ChooseSplashPicture(const TVeltraneProject* Project, const IniFileStruct& Settings,
                            const QString& ProgramFolder);

// Shows the splash with Picture for ShowTime seconds and returns whether it is up.
using TShowSplash = std::function<bool(quint16 ShowTime, const QString& Picture)>;

// The main window's decision right after the project is loaded: chooses the picture, then shows the
// splash (through Show, or ShowSplashWindow when it is empty) when the start flags ask for it, the
// project's ShowTime is positive and the picture exists. Otherwise (and when the splash does not come
// up, as with a picture that cannot be decoded) the ShowSplash start flag is removed, so start-up has
// nothing to close. Returns whether the splash is up.
bool DecideAndShowSplash(const TShowSplash& Show = {});

// Builds the splash from Picture, the design settings and the project's creator, applies
// "controls.ini" to it, shows it centred without activating it and holds it for ShowTime seconds.
// Returns with the window still visible; false, with no window, when the picture cannot be read.
bool ShowSplashWindow(quint16 ShowTime, const QString& Picture);

// Closes and frees the splash; nothing happens when none is up.
void CloseSplash();
